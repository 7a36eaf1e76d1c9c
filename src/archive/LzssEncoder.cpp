#include "archive/LzssEncoder.h"

#include <cstring>

namespace archive {

void LzssEncoder::Reset() {
  std::memset(reversed_, 0, sizeof reversed_);
  for (auto& node : child_) node[0] = node[1] = kNil;
  for (auto& p : parent_) p = kNil;
  replaced_ = N;
}

}  // namespace archive
