#pragma once
// Maps archive offsets onto a progress bar, whose range is a signed 32-bit int. An
// archive below 2 GiB is shown in bytes, so the bar's positions are the offsets
// themselves; a larger one is shown in units of 2, 4, 8... bytes, so that its size
// still fits and the bar is full exactly at its end.
#include <cstdint>

namespace archive {

class ProgressScale {
 public:
  explicit ProgressScale(std::uint64_t total) {
    while ((total >> shift_) > kLargest) ++shift_;
    maximum_ = static_cast<int>(total >> shift_);
  }
  int Maximum() const { return maximum_; }
  // The bar position for `offset`, never above Maximum().
  int Position(std::uint64_t offset) const {
    const std::uint64_t scaled = offset >> shift_;
    return scaled > static_cast<std::uint64_t>(maximum_) ? maximum_ : static_cast<int>(scaled);
  }

 private:
  static constexpr std::uint64_t kLargest = 0x7FFFFFFF;
  unsigned shift_ = 0;
  int maximum_ = 0;
};

}  // namespace archive
