#include "archive/UpperCase.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace archive {

namespace {

struct Range {
  std::uint16_t first;
  std::uint16_t last;
  std::uint16_t delta;  // added modulo 0x10000
  std::uint16_t stride;
};

// Sorted and apart; made by make_upper_case_table.py.
constexpr Range kRanges[] = {
#include "archive/UpperCaseTable.inc"
};

}  // namespace

char32_t UpperCase(char32_t c) {
  if (c > 0xFFFF) return c;
  const auto range = std::lower_bound(std::begin(kRanges), std::end(kRanges), c,
                                      [](const Range& r, char32_t v) { return r.last < v; });
  if (range == std::end(kRanges) || c < range->first || (c - range->first) % range->stride != 0) {
    return c;
  }
  return static_cast<char32_t>((c + range->delta) & 0xFFFF);
}

}  // namespace archive
