#pragma once
// Files and folders that the installer makes new while it runs with an administrator's
// rights, in places that other users may be able to change: nothing is written through
// a link, and each object is checked from its open handle to be where it was meant to
// be. The check compares real paths, which the system gives from a handle with every
// link on the way resolved. What is made new is made by name directly in a held folder,
// so it needs no check.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "base/Handle.h"
#include "base/Text.h"

// A UTF-16 text, without a terminating zero.
using WideText = std::vector<wchar_t>;

// A folder held open while files and folders are made in it. While it is held it
// cannot be removed or renamed, so nothing can take its place.
class THeldFolder {
 public:
  enum class Outcome { Opened, Failed, Refused };

  // Opens the folder that `path` names, following any link on the way: its real path
  // is where they lead. False when there is no such folder.
  bool Open(const Text& path);
  // Opens the folder `name` directly in `parent`, first making it with the protected
  // security descriptor when it is missing. Failed when it cannot be made or is no
  // folder; Refused when it is a link or its real path is not directly in the parent's.
  // The name is looked up in the held parent itself, never along its path.
  Outcome OpenBelow(const THeldFolder& parent, const Text& name);

  // What to do with a link that already has the name of a file to be made.
  enum class ExistingLink { Remove, Refuse };
  // Creates the file `name` new in this folder, with read, write and delete access and
  // the given sharing. Whatever had that name goes first: a file that is really here
  // is removed (never written through); a link is removed itself, never its target,
  // or refused, as `links` says; a name that leads elsewhere in a way that cannot be
  // removed alone, and a folder, make the creation fail. The new file is made in the
  // held folder itself, only where nothing has the name, so it is no link and lies in
  // this folder's real path. Null on any failure, and for a path longer than Windows
  // programs can open.
  UniqueFile CreateNewFile(const Text& name, ExistingLink links, DWORD share) const;

  const Text& Path() const { return path_; }

 private:
  // Where the folder really is, asked of the system the first time it is needed.
  const WideText& RealPath() const;
  Text path_;
  UniqueFile handle_;
  mutable WideText real_;
};

// A C runtime stream over an open file, which takes the handle over (fclose closes it);
// null when one cannot be made, and then the handle is closed.
std::FILE* CFileOf(UniqueFile file, bool forWriting);
