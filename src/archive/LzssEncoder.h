#pragma once
// The LZSS encoder that writes the installer's entry streams.
//
// It searches as the classic binary-tree LZSS encoder does (ring of 4096 bytes, matches
// of 3 to 18 bytes, a binary search tree of the 4096 strings in the window, the longest
// match, and among equally long ones the one the tree walk meets first), with the part
// of the ring in front of the first byte filled with zeros instead of spaces, so that
// its streams are byte for byte those of that encoder. Every Encode starts from a fresh
// state (ring, the 17 mirror bytes past its end, the trees), so each entry's stream
// depends only on that entry's bytes and decodes with DecodeEntry whatever came before.
#include <cstdint>

#include "archive/LzssDecoder.h"

namespace archive {

class LzssEncoder {
 public:
  LzssEncoder() = default;
  LzssEncoder(const LzssEncoder&) = delete;
  LzssEncoder& operator=(const LzssEncoder&) = delete;

  // Encodes everything `in` yields up to its end of input as one stream into `out`.
  // Returns the number of bytes read. An empty input gives an empty stream.
  template <class In, class Out>
  std::uint64_t Encode(In& in, Out& out);

 private:
  static constexpr unsigned N = kRingSize;
  static constexpr unsigned F = kMaxMatch;
  static constexpr unsigned kNil = N;  // "no node"; the tree roots are N+1..N+256

  void Reset();
  // Puts the string at ring position r into the tree and sets matchPosition_ and
  // matchLength_ to the longest match found on the way (a node whose string equals r's
  // in all 18 bytes is replaced by r).
  void InsertNode(unsigned r);
  void DeleteNode(unsigned p);

  // The ring, with the first F-1 bytes mirrored past its end so that a string that
  // wraps can be compared without masking.
  std::uint8_t text_[N + F - 1];
  std::uint16_t left_[N + 1];
  std::uint16_t right_[N + 257];
  std::uint16_t parent_[N + 1];
  unsigned matchPosition_ = 0;
  unsigned matchLength_ = 0;
};

template <class In, class Out>
std::uint64_t LzssEncoder::Encode(In& in, Out& out) {
  Reset();
  std::uint8_t code[1 + 8 * 2];  // a group: the flag byte and up to eight tokens
  code[0] = 0;
  unsigned codeLength = 1;
  unsigned mask = 1;

  unsigned s = 0;          // oldest ring position: the next to be overwritten
  unsigned r = N - F;      // the position of the bytes being encoded
  unsigned ahead = 0;      // bytes read but not yet encoded, starting at r
  for (; ahead < F; ++ahead) {
    const int c = in.ReadByte();
    if (c < 0) break;
    text_[r + ahead] = static_cast<std::uint8_t>(c);
  }
  if (ahead == 0) return 0;
  std::uint64_t total = ahead;

  for (unsigned i = 1; i <= F; ++i) InsertNode(r - i);
  InsertNode(r);
  do {
    if (matchLength_ > ahead) matchLength_ = ahead;
    if (matchLength_ <= kMatchThreshold) {
      matchLength_ = 1;
      code[0] |= static_cast<std::uint8_t>(mask);
      code[codeLength++] = text_[r];
    } else {
      code[codeLength++] = static_cast<std::uint8_t>(matchPosition_);
      code[codeLength++] = static_cast<std::uint8_t>(((matchPosition_ >> 4) & 0xF0) |
                                                     (matchLength_ - (kMatchThreshold + 1)));
    }
    mask = (mask << 1) & 0xFF;
    if (mask == 0) {
      for (unsigned i = 0; i < codeLength; ++i) out.WriteByte(code[i]);
      code[0] = 0;
      codeLength = 1;
      mask = 1;
    }
    const unsigned used = matchLength_;
    unsigned i = 0;
    for (; i < used; ++i) {
      const int c = in.ReadByte();
      if (c < 0) break;
      ++total;
      DeleteNode(s);
      text_[s] = static_cast<std::uint8_t>(c);
      if (s < F - 1) text_[s + N] = static_cast<std::uint8_t>(c);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      InsertNode(r);
    }
    for (; i < used; ++i) {
      DeleteNode(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--ahead != 0) InsertNode(r);
    }
  } while (ahead > 0);
  if (codeLength > 1) {
    for (unsigned i = 0; i < codeLength; ++i) out.WriteByte(code[i]);
  }
  return total;
}

}  // namespace archive
