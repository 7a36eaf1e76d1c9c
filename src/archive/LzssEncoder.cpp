#include "archive/LzssEncoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace archive {

void LzssEncoder::Reset() {
  std::memset(reversed_, 0, sizeof reversed_);
  for (auto& node : child_) node[0] = node[1] = kNil;
  for (auto& p : parent_) p = kNil;
  replaced_ = N;
}

namespace detail {

std::vector<TableEntry> AddFarMatches(MatchTable& table) {
  // The tree holds the strings 1 to 4078 bytes back (the encoder's lookahead fills the
  // other 18 ring slots). The decoder still holds the bytes written 4079 to 4096 back
  // there, and a match may read them once this entry has written them, or where they
  // are the zeros set at the start of the entry. Entry index j < 0 is ring position
  // 4078 + j: zero from -4078 on, not to be read before that (-1 matches no byte).
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(table.bytes.size());
  const std::uint8_t* b = table.bytes.data();
  constexpr std::ptrdiff_t kZeros = kFirstWritePosition;
  auto at = [b](std::ptrdiff_t j) { return j >= 0 ? int{b[j]} : j >= -kZeros ? 0 : -1; };
  std::vector<TableEntry> replaced;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const unsigned most = static_cast<unsigned>(std::min<std::ptrdiff_t>(n - i, kMaxMatch));
    unsigned length = std::max<unsigned>(table.length[i], kMatchThreshold);
    // Only a match of 3 bytes or more, longer than the tree's, counts. Past the first 4096
    // bytes the 18 slots hold bytes of the entry, and a byte that is none of them starts
    // no far match.
    if (length >= most) continue;
    if (i >= kRingSize && std::memchr(b + i - kRingSize, b[i], kMaxMatch) == nullptr) continue;
    for (std::ptrdiff_t from = i - kZeros - 1; from >= i - kRingSize && length < most; --from) {
      unsigned k = 0;
      while (k < most && at(from + k) == b[i + k]) ++k;
      if (k <= length) continue;
      if (replaced.empty() || replaced.back().at != i) {
        replaced.push_back({i, table.length[i], table.position[i]});
      }
      length = k;
      table.length[i] = static_cast<std::uint8_t>(k);
      table.position[i] = static_cast<std::uint16_t>((from + kZeros) & kRingMask);
    }
  }
  return replaced;
}

std::vector<std::uint8_t> CheapestParse(const MatchTable& table) {
  // cost[i] = the fewest bits that encode bytes i.. to the end: a literal costs 9 (its
  // flag bit and the byte), a match of any length from 3 to the longest there 17 (its
  // flag bit and two bytes). A small ring of costs suffices: no token reaches more than
  // 18 bytes ahead. Among equal costs the longer token wins (fewer tokens to decode).
  constexpr unsigned kLiteralBits = 9;
  constexpr unsigned kMatchBits = 17;
  constexpr std::size_t kWindow = 32;
  const std::size_t n = table.bytes.size();
  std::vector<std::uint8_t> choice(n);
  std::uint64_t cost[kWindow];
  cost[n % kWindow] = 0;
  for (std::size_t i = n; i-- > 0;) {
    std::uint64_t best = kLiteralBits + cost[(i + 1) % kWindow];
    unsigned chosen = 1;
    for (unsigned length = kMatchThreshold + 1; length <= table.length[i]; ++length) {
      const std::uint64_t c = kMatchBits + cost[(i + length) % kWindow];
      if (c <= best) {
        best = c;
        chosen = length;
      }
    }
    cost[i % kWindow] = best;
    choice[i] = static_cast<std::uint8_t>(chosen);
  }
  std::vector<std::uint8_t> tokens;
  for (std::size_t i = 0; i < n; i += choice[i]) tokens.push_back(choice[i]);
  return tokens;
}

std::vector<std::uint8_t> LongestMatchParse(const MatchTable& table) {
  std::vector<std::uint8_t> tokens;
  const std::size_t n = table.bytes.size();
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t length = table.length[i] > kMatchThreshold ? table.length[i] : 1;
    tokens.push_back(length);
    i += length;
  }
  return tokens;
}

std::uint64_t StreamLength(const std::vector<std::uint8_t>& tokens) {
  std::uint64_t bytes = (tokens.size() + 7) / 8;
  for (const std::uint8_t length : tokens) bytes += length == 1 ? 1 : 2;
  return bytes;
}

}  // namespace detail

}  // namespace archive
