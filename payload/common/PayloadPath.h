#pragma once
// Joining and comparing the paths of an installation, Shift-JIS aware: a 0x5C trail
// byte as in "ソ" (83 5C) or "表" (95 5C) is never taken for a separator. Portable.
#include "base/Text.h"

namespace payload {

// `name` joined to `folder` with one "\" between them; none is added when the folder
// already ends in "\" or ":", and an empty folder gives the name alone.
Text JoinPath(const Text& folder, const Text& name);

// The form in which two paths of the same file compare equal: ASCII letters upper case,
// "/" read as "\", runs of "\" made one (the leading pair of a network path stays), no
// trailing "\" except in a drive's root ("C:\").
Text NormalizePath(const Text& path);

bool SamePath(const Text& a, const Text& b);

// True when `path` names something inside `folder` (at any depth), not the folder itself.
bool IsInsideFolder(const Text& path, const Text& folder);

}  // namespace payload
