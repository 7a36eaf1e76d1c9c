#pragma once
// How the folder dialog compares and changes the case of file names: in a double-byte
// locale only A to Z and a to z change case (double-byte characters stay as they are);
// in other locales the locale's own case rule applies.
#include "base/Text.h"

Text FileNameLowerCase(const Text& name);
Text FileNameUpperCase(const Text& name);

// Both names lower-cased by the rule above, then compared by the user's locale:
// negative, 0 or positive.
int CompareFileNames(const Text& a, const Text& b);
