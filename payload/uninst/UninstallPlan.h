#pragma once
// The uninstaller's decisions, apart from the system calls that carry them out: which
// paths belong to the installation, how paths are compared, the command line of the
// removing copy, and the texts the user reads. Portable; no <windows.h>.
#include <string>
#include <vector>

#include "base/Text.h"
#include "common/PayloadPath.h"

namespace uninst {

// ---- What the installation made

struct RemovalPlan {
  Text installFolder;
  std::vector<Text> files;           // the installed files; the uninstaller's own file last
  Text startMenuFolder;              // empty when the Start-menu programs folder is unknown
  std::vector<Text> startMenuLinks;  // empty likewise
  Text desktopLink;                  // empty when the desktop folder is unknown
};

// The plan for an installation in `installFolder`; an empty programs or desktop folder
// means that folder could not be found, and nothing is planned there.
RemovalPlan MakeRemovalPlan(const Text& installFolder, const Text& programsFolder,
                            const Text& desktopFolder);

// The desktop shortcut is the installation's only when it starts a program inside the
// installation folder; another installation's (or the user's own) shortcut of that
// name is kept.
bool DesktopLinkBelongs(const Text& linkTarget, const Text& installFolder);

// ---- Command line
//
// UnInst.exe                          asks, then hands over to a copy of itself
// <copy> /remove "<folder>" /parent N  the copy: waits for the process handle N (which
//                                     it inherited) to end, then removes the installation

struct Request {
  enum class Mode { Ask, Remove, Invalid };
  Mode mode = Mode::Ask;
  Text folder;                  // Remove: the installation folder
  unsigned long long parent = 0;  // Remove: inherited handle of the first process, 0 if none
};

// Splits a command line into arguments: blanks separate them, double quotes group
// (and are dropped); there are no escapes, so a quoted folder may end in "\".
std::vector<Text> SplitArguments(const Text& commandLine);

// Reads the arguments after the program's own name. No switch at all asks the user;
// "/remove" must come with a folder; anything else is invalid.
Request ParseArguments(const std::vector<Text>& arguments);

// The command line that starts the removing copy.
Text RemoverCommandLine(const Text& copyPath, const Text& folder, unsigned long long parent);

// ---- Outcome and texts

// Error codes the report words itself (the system's values).
enum : unsigned long {
  kErrorAccessDenied = 5,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorDirNotEmpty = 145,
};

struct Problem {
  Text item;            // the path, or the registry key and value
  unsigned long error;  // the system's error code
};

struct Kept {
  Text item;
  Text why;
};

struct Outcome {
  std::vector<Problem> failed;  // could not be removed
  std::vector<Kept> kept;       // left on purpose
  int removed = 0;              // items actually removed
  bool Complete() const { return failed.empty(); }
};

Text ReasonText(unsigned long error);
Text QuestionText(const Text& installFolder);
Text ReportText(const Outcome& outcome);

// The removing copy's exit code: 0 when everything was removed, 2 otherwise.
int ExitCodeFor(const Outcome& outcome);

// Caption of the uninstaller's message boxes (tests find the boxes by it).
extern const char kCaption[];

}  // namespace uninst
