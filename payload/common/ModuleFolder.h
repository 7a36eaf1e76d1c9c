#pragma once
// The running program's own file and folder (Win32).
#include "base/Text.h"

namespace payload {

// The full path of the running program's file; empty if the system cannot tell it.
Text ModulePath();

// Its folder, without a trailing "\" except in a drive's root.
Text ModuleFolder();

}  // namespace payload
