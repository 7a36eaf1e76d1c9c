#pragma once
// Which entry names may be written below the install folder.
#include "base/Text.h"

namespace archive {

// True when the Shift-JIS name `name`, joined to a folder with "\", names a file inside
// that folder: one or more components separated by "\", none of them empty, none made
// of dots and spaces only, such as "." or "..", no folder name that ends in a dot or a
// space (Windows drops those), and none a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1
// to LPT9, in any case, with or without an extension). False for a rooted name
// ("\..."), a drive or stream (":" anywhere), any "/" (Windows takes it for a separator
// too), a control character, malformed Shift-JIS (a lead byte without a valid second
// byte), and the empty name. A 0x5C byte that is the second byte of a double-byte character (ソ is
// 83 5C) is part of that character, not a separator.
bool IsSafeEntryName(const Text& name);

// Why IsSafeEntryName refuses `name` (for messages), or nullptr when it does not.
const char* EntryNameFault(const Text& name);

}  // namespace archive
