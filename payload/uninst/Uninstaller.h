#pragma once
// The uninstaller's work on the system: handing over to a copy of itself in a folder
// of its own, and removing what the installation made.
#include "base/Text.h"
#include "uninst/UninstallPlan.h"

namespace uninst {

// The path of a shell special folder (a CSIDL value); empty when it has none.
Text SpecialFolderPath(int csidl);

// Copies the running program into a new folder below the Windows folder's Temp, which
// only the system and administrators may change, and starts the copy to remove the
// installation in `installFolder` once this process has ended. The copy is held open
// without write or delete sharing until it has started, and opened for deletion on
// close with the handle inherited, so the system deletes the copy when it ends; the
// empty folder goes at the next restart. Returns 0, or the system's error code when
// nothing was started.
unsigned long StartRemovingCopy(const Text& installFolder);

// Waits (bounded) until the process whose handle was inherited has ended, and closes
// the handle.
void WaitForFirstProcess(unsigned long long handle);

// Removes what `plan` lists and reports, item by item, what could not be removed.
Outcome RemoveInstallation(const RemovalPlan& plan);

}  // namespace uninst
