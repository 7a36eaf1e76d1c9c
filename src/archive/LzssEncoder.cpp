#include "archive/LzssEncoder.h"

#include <cstring>

namespace archive {

void LzssEncoder::Reset() {
  std::memset(text_, 0, sizeof text_);
  for (auto& node : child_) node[0] = node[1] = kNil;
  for (auto& p : parent_) p = kNil;
  matchPosition_ = 0;
  matchLength_ = 0;
}

namespace {

// Eight bytes read as a big-endian number: two such numbers compare as the bytes do.
inline std::uint64_t LoadBigEndian64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  return __builtin_bswap64(v);
#else
  return v;
#endif
}

// Index of the highest set bit of x, which is not 0, counted from bit 63 down.
inline unsigned LeadingZeros(std::uint64_t x) {
  return static_cast<unsigned>(__builtin_clzll(x));
}

// Compares bytes 1..17 of two strings (their byte 0 is equal: both hang below the same
// root). Returns the index of the first difference, or 18 when there is none, and sets
// `above` to 1 when the key's byte there is the greater one or the strings are equal,
// as the byte-by-byte comparison would. Eight bytes at a time, read big-endian.
inline unsigned MatchingLength(const std::uint8_t* key, const std::uint8_t* other,
                               unsigned& above) {
  std::uint64_t a = LoadBigEndian64(key + 1);
  std::uint64_t b = LoadBigEndian64(other + 1);
  if (a != b) {
    above = a > b;
    return 1 + LeadingZeros(a ^ b) / 8;
  }
  a = LoadBigEndian64(key + 9);
  b = LoadBigEndian64(other + 9);
  if (a != b) {
    above = a > b;
    return 9 + LeadingZeros(a ^ b) / 8;
  }
  above = key[kMaxMatch - 1] >= other[kMaxMatch - 1];
  return key[kMaxMatch - 1] != other[kMaxMatch - 1] ? kMaxMatch - 1 : kMaxMatch;
}

}  // namespace

void LzssEncoder::InsertNode(unsigned r) {
  const std::uint8_t* key = &text_[r];
  unsigned above = 1;
  unsigned p = N + 1 + key[0];
  child_[r][0] = child_[r][1] = kNil;
  matchLength_ = 0;
  for (;;) {
    const unsigned next = child_[p][above];
    if (next == kNil) {
      child_[p][above] = static_cast<std::uint16_t>(r);
      parent_[r] = static_cast<std::uint16_t>(p);
      return;
    }
    p = next;
    const unsigned i = MatchingLength(key, &text_[p], above);
    if (i > matchLength_) {
      matchPosition_ = p;
      matchLength_ = i;
      if (i >= F) break;
    }
  }
  // r's string equals p's in all F bytes: r takes p's place in the tree.
  const unsigned up = parent_[p];
  parent_[r] = static_cast<std::uint16_t>(up);
  child_[r][0] = child_[p][0];
  child_[r][1] = child_[p][1];
  parent_[child_[p][0]] = static_cast<std::uint16_t>(r);
  parent_[child_[p][1]] = static_cast<std::uint16_t>(r);
  child_[up][child_[up][1] == p] = static_cast<std::uint16_t>(r);
  parent_[p] = kNil;
}

void LzssEncoder::DeleteNode(unsigned p) {
  const unsigned up = parent_[p];
  if (up == kNil) return;  // not in the tree
  unsigned q;
  if (child_[p][1] == kNil) {
    q = child_[p][0];
  } else if (child_[p][0] == kNil) {
    q = child_[p][1];
  } else {
    // Two children: the largest node of the left subtree takes p's place.
    q = child_[p][0];
    if (child_[q][1] != kNil) {
      do {
        q = child_[q][1];
      } while (child_[q][1] != kNil);
      child_[parent_[q]][1] = child_[q][0];
      parent_[child_[q][0]] = parent_[q];
      child_[q][0] = child_[p][0];
      parent_[child_[p][0]] = static_cast<std::uint16_t>(q);
    }
    child_[q][1] = child_[p][1];
    parent_[child_[p][1]] = static_cast<std::uint16_t>(q);
  }
  parent_[q] = static_cast<std::uint16_t>(up);
  child_[up][child_[up][1] == p] = static_cast<std::uint16_t>(q);
  parent_[p] = kNil;
}

namespace detail {

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
