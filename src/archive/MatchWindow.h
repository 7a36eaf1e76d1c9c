#pragma once
// The part of an entry's input that the smallest-stream encoder holds at one time, with
// the matches found at each of its positions, and the choice of tokens over it.
//
// The encoder reads the input once. For every position it records two matches: the
// tree's (the classic encoder's longest match, which the default stream uses) and the
// longest match any ring slot the decoder may read gives there (the tree's, or a longer
// one from the 18 slots beyond the tree's sight). When the window is full it chooses the
// tokens of its leading part, hands them on and drops that part, keeping the bytes that
// later matches may still read; so it never holds more than its capacity, whatever the
// input's length.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/LzssDecoder.h"

namespace archive::detail {

class MatchWindow {
 public:
  // `capacity` positions at most (at least 128).
  explicit MatchWindow(std::size_t capacity);

  // Adds the next input byte. Bytes run ahead of positions: a position's match is known
  // once the 17 bytes after it have been read, or the input has ended.
  void AddByte(std::uint8_t byte);
  // Adds the next position with the tree's longest match there (length 0 to 18, never
  // past the end of the input) and its ring position.
  void AddPosition(unsigned length, unsigned position);
  std::size_t Positions() const { return treeLength_.size(); }
  bool Full() const { return Positions() == capacity_; }

  // Chooses the tokens for a leading part of the positions and returns its length; with
  // `last` (the input has ended) that is all of them. The part ends where both the
  // cheapest tokens and the default tokens have a token boundary, and its tokens are the
  // cheapest ones when they take fewer bits there than the default ones, else the
  // default ones: so the stream is never larger than the default stream, and it is that
  // stream, byte for byte, when no part gains a bit.
  std::size_t Choose(bool last);
  // Hands the chosen tokens of the first `count` positions to `sink` (PutLiteral and
  // PutMatch).
  template <class Sink>
  void Write(std::size_t count, Sink& sink) const;
  // Forgets the first `count` positions.
  void Drop(std::size_t count);

 private:
  std::uint8_t ByteAt(std::size_t index) const { return bytes_[history_ + index]; }
  // The default token's length at `index`: the tree's match, or 1 for a literal.
  unsigned DefaultLength(std::size_t index) const {
    return treeLength_[index] > kMatchThreshold ? treeLength_[index] : 1;
  }
  // Lengthens the best match at `index` where a ring slot 4079 to 4096 bytes back,
  // which the tree cannot see, gives a longer one.
  void AddFarMatch(std::size_t index);
  void Reserve(std::size_t positions);

  std::size_t capacity_;
  std::size_t reserved_ = 0;
  std::uint64_t start_ = 0;  // the input position of index 0
  std::size_t history_ = 0;  // bytes before index 0 kept in bytes_: up to 4096
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> treeLength_;
  std::vector<std::uint16_t> treePosition_;
  std::vector<std::uint8_t> length_;  // the longest match from any readable slot
  std::vector<std::uint16_t> position_;
  std::vector<std::uint8_t> choice_;  // the cheapest token's length at each index
  bool cheapest_ = false;             // Write takes the cheapest tokens
};

template <class Sink>
void MatchWindow::Write(std::size_t count, Sink& sink) const {
  for (std::size_t i = 0; i < count;) {
    const unsigned length = cheapest_ ? choice_[i] : DefaultLength(i);
    if (length == 1) {
      sink.PutLiteral(ByteAt(i));
    } else {
      // A cheapest token may be shorter than the match recorded there: any prefix of 3
      // bytes or more of a match is a match.
      sink.PutMatch(cheapest_ ? position_[i] : treePosition_[i], length);
    }
    i += length;
  }
}

}  // namespace archive::detail
