#pragma once
// The folder selection dialog as one call.
#include "base/Text.h"

enum TChooseDirOption : unsigned char {
  cdEditable = 1,  // the folder name can be typed, also one that does not exist
  cdCreate = 2,    // after OK the chosen folder is created with all missing parents
  cdConfirm = 4,   // with cdEditable: OK asks before accepting a folder that does not exist
};
using TChooseDirOptions = unsigned char;  // a set of TChooseDirOption

// Shows the dialog on `directory` and, when the user presses OK, puts the chosen folder
// into it and returns true. On false (cancelled) the directory is unchanged. A help
// context of 0 hides the Help button.
bool ChooseDirectory(Text& directory, TChooseDirOptions options, int helpContext);
