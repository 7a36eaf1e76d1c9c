# The installer as a vendor ships it: signed by scripts/sign. Sourced by a scenario
# after lib/common.sh; signed_copy makes a throwaway self-signed certificate, checks that
# scripts/sign refuses what it cannot use, and writes the signed copy that the scenario
# then installs from.

# signed_copy INPUT OUTPUT
signed_copy() {
  local sign="$SOURCE_DIR/scripts/sign" dir="$E2E_TMP/signing"
  mkdir -p "$dir"
  if ! openssl req -x509 -newkey rsa:2048 -nodes -subj '/CN=Korvani test signer' -days 2 \
         -keyout "$dir/key.pem" -out "$dir/cert.pem" >"$dir/openssl.log" 2>&1 ||
     ! openssl req -x509 -newkey rsa:2048 -nodes -subj '/CN=Other signer' -days 2 \
         -keyout "$dir/other-key.pem" -out "$dir/other-cert.pem" >>"$dir/openssl.log" 2>&1; then
    fail "signing: openssl could not make the test certificates"; cat "$dir/openssl.log"
    cp "$1" "$2"
    return
  fi
  echo 'not a key' >"$dir/junk.pem"
  echo 'an earlier file' >"$dir/kept.exe"

  # refused INPUT EXPECTED-MESSAGE CERT KEY CASE [OUTPUT]: a non-zero exit, the reason,
  # OUTPUT (default: a new file) untouched, no temporary file left.
  refused() {
    local rc=0 out=${6:-$dir/out.exe} before
    before=$(cat "$out" 2>/dev/null)
    "$sign" "$3" "$4" "$1" "$out" >"$dir/msg" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ] && grep -q "$2" "$dir/msg" && [ "$(cat "$out" 2>/dev/null)" = "$before" ] &&
       [ -z "$(ls -A "$dir" | grep '^\.sign')" ]; then
      pass "signing refused, $5"
    else
      fail "signing $5: exit $rc, said: $(cat "$dir/msg")"
    fi
  }
  refused "$1" "certificate '$dir/none.pem' does not exist" "$dir/none.pem" "$dir/key.pem" "no certificate"
  refused "$1" "private key '$dir/none.pem' does not exist" "$dir/cert.pem" "$dir/none.pem" "no key" \
    "$dir/kept.exe"
  refused "$1" "is not a PEM private key" "$dir/cert.pem" "$dir/junk.pem" "a key that is no key"
  refused "$1" "is not a PEM certificate" "$dir/junk.pem" "$dir/key.pem" "a certificate that is none"
  refused "$1" "does not belong to the certificate" "$dir/cert.pem" "$dir/other-key.pem" "another's key"
  refused "$dir/junk.pem" "could not sign" "$dir/cert.pem" "$dir/key.pem" "a file that is no program" \
    "$dir/kept.exe"

  if "$sign" "$dir/cert.pem" "$dir/key.pem" "$1" "$2" >"$dir/msg" 2>&1 &&
     osslsigncode verify -in "$2" -CAfile "$dir/cert.pem" >"$dir/verify" 2>&1; then
    pass "the signed installer verifies"
  else
    fail "signing or verifying failed:"; sed 's/^/    /' "$dir/msg" "$dir/verify" 2>/dev/null
    cp "$1" "$2"
  fi
  # Signing appends; what came before is unchanged but for the PE header's checksum and
  # its certificate table entry (bytes 88-91 and 168-175 after the PE signature).
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  if cmp -l "$1" "$2" 2>/dev/null | awk -v c=$((pe + 89)) -v s=$((pe + 169)) \
       '$1 < c || ($1 > c + 3 && $1 < s) || $1 > s + 7 { bad = 1 } END { exit bad }'; then
    pass "signing changed nothing of the file but the checksum and the signature entry"
  else
    fail "signing changed the program's bytes"
  fi
}
