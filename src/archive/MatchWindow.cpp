#include "archive/MatchWindow.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace archive::detail {

namespace {

constexpr unsigned kLiteralBits = 9;  // its flag bit and the byte
constexpr unsigned kMatchBits = 17;   // its flag bit and two bytes
constexpr std::size_t kSmallestCapacity = 128;

}  // namespace

MatchWindow::MatchWindow(std::size_t capacity)
    : capacity_(std::max(capacity, kSmallestCapacity)) {
  Reserve(std::min<std::size_t>(capacity_, kRingSize));
}

// Grows the arrays to their next size in one step each, so that none holds more than
// the window needs (a vector left to grow by itself could reach twice that).
void MatchWindow::Reserve(std::size_t positions) {
  reserved_ = positions;
  // The bytes kept before index 0, the positions, and the bytes read ahead of them.
  bytes_.reserve(kRingSize + positions + kMaxMatch);
  treeLength_.reserve(positions);
  treePosition_.reserve(positions);
  length_.reserve(positions);
  position_.reserve(positions);
  choice_.reserve(positions);
}

void MatchWindow::AddByte(std::uint8_t byte) { bytes_.push_back(byte); }

void MatchWindow::AddPosition(unsigned length, unsigned position) {
  assert(!Full());
  if (Positions() == reserved_) Reserve(std::min(reserved_ * 2, capacity_));
  treeLength_.push_back(static_cast<std::uint8_t>(length));
  treePosition_.push_back(static_cast<std::uint16_t>(position));
  length_.push_back(static_cast<std::uint8_t>(length));
  position_.push_back(static_cast<std::uint16_t>(position));
  AddFarMatch(Positions() - 1);
}

void MatchWindow::AddFarMatch(std::size_t index) {
  // The tree holds the strings 1 to 4078 bytes back (the encoder's lookahead fills the
  // other 18 ring slots). The decoder still holds the bytes written 4079 to 4096 back
  // there, and a match may read them once this entry has written them, or where they
  // are the zeros set at the start of the entry. Input position j < 0 is ring position
  // 4078 + j: zero from -4078 on, not to be read before that (-1 matches no byte).
  constexpr std::int64_t kZeros = kFirstWritePosition;
  const std::int64_t at = static_cast<std::int64_t>(start_ + index);
  const std::int64_t first = static_cast<std::int64_t>(start_ - history_);  // of bytes_[0]
  const std::uint8_t* here = bytes_.data() + history_ + index;
  const std::size_t ahead = bytes_.size() - (history_ + index);
  const unsigned most = static_cast<unsigned>(std::min<std::size_t>(ahead, kMaxMatch));
  unsigned length = std::max<unsigned>(length_[index], kMatchThreshold);
  // Only a match of 3 bytes or more, longer than the tree's, counts. Past the first 4096
  // bytes the 18 slots hold bytes of the entry, and a byte that is none of them starts
  // no far match.
  if (length >= most) return;
  if (at >= kRingSize &&
      std::memchr(bytes_.data() + (at - kRingSize - first), here[0], kMaxMatch) == nullptr) {
    return;
  }
  auto byteAt = [&](std::int64_t j) {
    return j >= 0 ? int{bytes_[static_cast<std::size_t>(j - first)]} : j >= -kZeros ? 0 : -1;
  };
  for (std::int64_t from = at - kZeros - 1; from >= at - kRingSize && length < most; --from) {
    unsigned k = 0;
    while (k < most && byteAt(from + k) == here[k]) ++k;
    if (k <= length) continue;
    length = k;
    length_[index] = static_cast<std::uint8_t>(k);
    position_[index] = static_cast<std::uint16_t>((from + kZeros) & kRingMask);
  }
}

std::size_t MatchWindow::Choose(bool last) {
  const std::size_t n = Positions();
  // cost[i] = the fewest bits that encode positions i.. to n: a literal costs 9, a match
  // of any length from 3 to the longest there 17. A small ring of costs suffices: no
  // token reaches more than 18 ahead. Among equal costs the longer token wins (fewer
  // tokens to decode). Before the input ends, n is no real end: no token crosses it,
  // and the part chosen stops well before it.
  constexpr std::size_t kCosts = 32;
  std::uint64_t cost[kCosts];
  cost[n % kCosts] = 0;
  choice_.resize(n);
  for (std::size_t i = n; i-- > 0;) {
    std::uint64_t best = kLiteralBits + cost[(i + 1) % kCosts];
    unsigned chosen = 1;
    const unsigned longest = static_cast<unsigned>(std::min<std::size_t>(length_[i], n - i));
    for (unsigned length = kMatchThreshold + 1; length <= longest; ++length) {
      const std::uint64_t c = kMatchBits + cost[(i + length) % kCosts];
      if (c <= best) {
        best = c;
        chosen = length;
      }
    }
    cost[i % kCosts] = best;
    choice_[i] = static_cast<std::uint8_t>(chosen);
  }

  std::size_t end = n;
  if (!last) {
    // The last quarter is only looked ahead into: long before n, the cheapest tokens
    // towards n are those towards the input's real end. The part ends at the last
    // boundary before that quarter that the cheapest and the default tokens share. The
    // cheapest tokens up to such a point are the cheapest that reach it, never more
    // bits than the default ones, and the default tokens of the whole input go through
    // it, so that the next part starts on both paths again.
    const std::size_t limit = n - n / 4;
    std::size_t p = 0;  // on the cheapest path
    std::size_t q = 0;  // on the default path
    std::size_t shared = 0;
    for (;;) {
      if (p == q && p > 0) shared = p;
      if (std::min(p, q) >= limit) break;
      if (p <= q) {
        p += choice_[p];
      } else {
        q += DefaultLength(q);
      }
    }
    if (shared == 0) {
      // The two paths never met: the default tokens up to q, a boundary of theirs within
      // 18 positions after the limit.
      cheapest_ = false;
      return q;
    }
    end = shared;
  }
  std::uint64_t cheapestBits = 0;
  for (std::size_t i = 0; i < end; i += choice_[i]) {
    cheapestBits += choice_[i] == 1 ? kLiteralBits : kMatchBits;
  }
  std::uint64_t defaultBits = 0;
  for (std::size_t i = 0; i < end; i += DefaultLength(i)) {
    defaultBits += DefaultLength(i) == 1 ? kLiteralBits : kMatchBits;
  }
  cheapest_ = cheapestBits < defaultBits;
  return end;
}

void MatchWindow::Drop(std::size_t count) {
  const auto front = [count](auto& v) { v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(count)); };
  front(treeLength_);
  front(treePosition_);
  front(length_);
  front(position_);
  // Far matches read up to 4096 bytes back.
  start_ += count;
  const std::size_t keep = static_cast<std::size_t>(std::min<std::uint64_t>(kRingSize, start_));
  bytes_.erase(bytes_.begin(),
               bytes_.begin() + static_cast<std::ptrdiff_t>(history_ + count - keep));
  history_ = keep;
}

}  // namespace archive::detail
