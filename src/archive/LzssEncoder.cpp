#include "archive/LzssEncoder.h"

#include <cstring>

namespace archive {

void LzssEncoder::Reset() {
  std::memset(reversed_, 0, sizeof reversed_);
  for (auto& node : child_) node[0] = node[1] = kNil;
  for (auto& p : parent_) p = kNil;
  replaced_ = N;
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
