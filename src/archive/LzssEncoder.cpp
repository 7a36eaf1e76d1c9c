#include "archive/LzssEncoder.h"

#include <cstring>

namespace archive {

void LzssEncoder::Reset() {
  std::memset(text_, 0, sizeof text_);
  for (unsigned i = N + 1; i <= N + 256; ++i) right_[i] = kNil;
  for (unsigned i = 0; i < N; ++i) parent_[i] = kNil;
  // The rest is written before it is read, but a fresh state leaves nothing to chance.
  for (unsigned i = 0; i <= N; ++i) left_[i] = kNil;
  for (unsigned i = 0; i <= N; ++i) right_[i] = kNil;
  parent_[N] = kNil;
  matchPosition_ = 0;
  matchLength_ = 0;
}

namespace {

inline std::uint64_t LoadLittleEndian64(const std::uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
#else
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
#endif
}

// Index of the lowest set bit of x, which is not 0.
inline unsigned LowestSetBit(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<unsigned>(__builtin_ctzll(x));
#else
  unsigned n = 0;
  for (; (x & 1) == 0; x >>= 1) ++n;
  return n;
#endif
}

// Compares bytes 1..17 of two strings (their byte 0 is equal: both hang below the same
// root). Returns the index of the first difference, or 18 when there is none, and sets
// `cmp` to the sign of that difference (key byte minus other byte), as the byte-by-byte
// comparison would. Eight bytes at a time: read little-endian, the lowest differing bit
// lies in the first differing byte.
inline unsigned MatchingLength(const std::uint8_t* key, const std::uint8_t* other, int& cmp) {
  unsigned i;
  std::uint64_t x = LoadLittleEndian64(key + 1) ^ LoadLittleEndian64(other + 1);
  if (x != 0) {
    i = 1 + LowestSetBit(x) / 8;
  } else {
    x = LoadLittleEndian64(key + 9) ^ LoadLittleEndian64(other + 9);
    if (x != 0) {
      i = 9 + LowestSetBit(x) / 8;
    } else if (key[kMaxMatch - 1] != other[kMaxMatch - 1]) {
      i = kMaxMatch - 1;
    } else {
      cmp = 0;
      return kMaxMatch;
    }
  }
  cmp = static_cast<int>(key[i]) - static_cast<int>(other[i]);
  return i;
}

}  // namespace

void LzssEncoder::InsertNode(unsigned r) {
  const std::uint8_t* key = &text_[r];
  int cmp = 1;
  unsigned p = N + 1 + key[0];
  right_[r] = left_[r] = kNil;
  matchLength_ = 0;
  for (;;) {
    if (cmp >= 0) {
      if (right_[p] != kNil) {
        p = right_[p];
      } else {
        right_[p] = static_cast<std::uint16_t>(r);
        parent_[r] = static_cast<std::uint16_t>(p);
        return;
      }
    } else {
      if (left_[p] != kNil) {
        p = left_[p];
      } else {
        left_[p] = static_cast<std::uint16_t>(r);
        parent_[r] = static_cast<std::uint16_t>(p);
        return;
      }
    }
    const unsigned i = MatchingLength(key, &text_[p], cmp);
    if (i > matchLength_) {
      matchPosition_ = p;
      matchLength_ = i;
      if (i >= F) break;
    }
  }
  // r's string equals p's in all F bytes: r takes p's place in the tree.
  parent_[r] = parent_[p];
  left_[r] = left_[p];
  right_[r] = right_[p];
  parent_[left_[p]] = static_cast<std::uint16_t>(r);
  parent_[right_[p]] = static_cast<std::uint16_t>(r);
  if (right_[parent_[p]] == p) {
    right_[parent_[p]] = static_cast<std::uint16_t>(r);
  } else {
    left_[parent_[p]] = static_cast<std::uint16_t>(r);
  }
  parent_[p] = kNil;
}

void LzssEncoder::DeleteNode(unsigned p) {
  if (parent_[p] == kNil) return;  // not in the tree
  unsigned q;
  if (right_[p] == kNil) {
    q = left_[p];
  } else if (left_[p] == kNil) {
    q = right_[p];
  } else {
    // Two children: the largest node of the left subtree takes p's place.
    q = left_[p];
    if (right_[q] != kNil) {
      do {
        q = right_[q];
      } while (right_[q] != kNil);
      right_[parent_[q]] = left_[q];
      parent_[left_[q]] = parent_[q];
      left_[q] = left_[p];
      parent_[left_[p]] = static_cast<std::uint16_t>(q);
    }
    right_[q] = right_[p];
    parent_[right_[p]] = static_cast<std::uint16_t>(q);
  }
  parent_[q] = parent_[p];
  if (right_[parent_[p]] == p) {
    right_[parent_[p]] = static_cast<std::uint16_t>(q);
  } else {
    left_[parent_[p]] = static_cast<std::uint16_t>(q);
  }
  parent_[p] = kNil;
}

}  // namespace archive
