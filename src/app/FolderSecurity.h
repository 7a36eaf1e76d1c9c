#pragma once
// The security of the folders the installer makes: the install folder, its missing
// parents and the folders below it. Without a descriptor of its own a new folder
// inherits its parent's, and at the root of a drive that lets every signed-in user
// change what is inside; an administrator later runs the uninstaller from there.
#include <windows.h>

#include "base/Handle.h"

// A new security descriptor for such a folder, as Program Files has: SYSTEM and
// Administrators have full control, Users may read and run what is inside, each for the
// folder, its subfolders and its files; protected, so that nothing the parent grants
// is inherited. Null when the system cannot make one.
UniqueLocalMemory ProtectedFolderDescriptor();
