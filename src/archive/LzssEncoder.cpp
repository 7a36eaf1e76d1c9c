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
    const std::uint8_t* other = &text_[p];
    unsigned i = 1;
    for (; i < F; ++i) {
      cmp = static_cast<int>(key[i]) - static_cast<int>(other[i]);
      if (cmp != 0) break;
    }
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
