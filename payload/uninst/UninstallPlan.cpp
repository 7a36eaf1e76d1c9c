#include "uninst/UninstallPlan.h"

#include "common/Product.h"

namespace uninst {

using payload::IsInsideFolder;
using payload::JoinPath;

const char kCaption[] = "コルヴァニ　領収書発行 アンインストール";

RemovalPlan MakeRemovalPlan(const Text& installFolder, const Text& programsFolder,
                            const Text& desktopFolder) {
  RemovalPlan plan;
  plan.installFolder = installFolder;
  // The uninstaller's own file goes last: the first process may still be closing it.
  for (int i = 0; i < product::kInstalledFileCount; ++i) {
    if (Text(product::kInstalledFiles[i]) != product::kUninstallerFile) {
      plan.files.push_back(JoinPath(installFolder, product::kInstalledFiles[i]));
    }
  }
  plan.files.push_back(JoinPath(installFolder, product::kUninstallerFile));
  if (!programsFolder.empty()) {
    plan.startMenuFolder = JoinPath(programsFolder, product::kStartMenuFolder);
    for (int i = 0; i < product::kStartMenuLinkCount; ++i) {
      plan.startMenuLinks.push_back(JoinPath(plan.startMenuFolder, product::kStartMenuLinks[i]));
    }
  }
  if (!desktopFolder.empty()) plan.desktopLink = JoinPath(desktopFolder, product::kDesktopLink);
  return plan;
}

bool DesktopLinkBelongs(const Text& linkTarget, const Text& installFolder) {
  return IsInsideFolder(linkTarget, installFolder);
}

std::vector<Text> SplitArguments(const Text& commandLine) {
  std::vector<Text> args;
  Text current;
  bool inQuotes = false;
  bool any = false;  // an argument has started (an empty "" counts)
  for (char c : commandLine) {
    // A double quote or a blank is never the second byte of a Shift-JIS character.
    if (c == '"') {
      inQuotes = !inQuotes;
      any = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (any) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) args.push_back(current);
  return args;
}

namespace {

bool IsSwitch(const Text& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

bool SwitchIs(const Text& arg, const char* name) {
  if (!IsSwitch(arg)) return false;
  const Text rest = arg.substr(1);
  Text lower;
  for (char c : rest) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower == name;
}

bool ParseNumber(const Text& text, unsigned long long* value) {
  if (text.empty() || text.size() > 19) return false;
  unsigned long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned long long>(c - '0');
  }
  *value = v;
  return true;
}

}  // namespace

Request ParseArguments(const std::vector<Text>& arguments) {
  Request request;
  // Words before the first switch are ignored: they are what is left of a program path
  // with blanks that was started without quotes.
  std::size_t i = 0;
  while (i < arguments.size() && !IsSwitch(arguments[i])) ++i;
  if (i == arguments.size()) return request;

  Request invalid;
  invalid.mode = Request::Mode::Invalid;
  if (!SwitchIs(arguments[i], "remove") || i + 1 >= arguments.size() ||
      arguments[i + 1].empty()) {
    return invalid;
  }
  request.mode = Request::Mode::Remove;
  request.folder = arguments[i + 1];
  i += 2;
  while (i < arguments.size()) {
    if (SwitchIs(arguments[i], "parent") && i + 1 < arguments.size() &&
        ParseNumber(arguments[i + 1], &request.parent)) {
      i += 2;
    } else {
      return invalid;
    }
  }
  return request;
}

Text RemoverCommandLine(const Text& copyPath, const Text& folder, unsigned long long parent) {
  Text line = "\"" + copyPath + "\" /remove \"" + folder + "\"";
  if (parent != 0) line += " /parent " + std::to_string(parent);
  return line;
}

Text ReasonText(unsigned long error) {
  switch (error) {
    case kErrorAccessDenied:
      return "アクセスが拒否されました";
    case kErrorSharingViolation:
    case kErrorLockViolation:
      return "ほかのプログラムが使用中です";
    case kErrorDirNotEmpty:
      return "フォルダーが空ではありません";
    default:
      return "エラー " + std::to_string(error);
  }
}

Text QuestionText(const Text& installFolder) {
  return Text(product::kName) + "をアンインストールしますか?\r\n\r\nインストール先:\r\n" +
         installFolder +
         "\r\n\r\nこのフォルダーのプログラムとヘルプ、スタートメニューの「" +
         product::kStartMenuFolder +
         "」とデスクトップのショートカット、レジストリの設定を削除します。";
}

Text ReportText(const Outcome& outcome) {
  Text text;
  if (outcome.Complete()) {
    text = Text(product::kName) + "をアンインストールしました。";
  } else {
    text = "次のものを削除できませんでした。お手数ですが、手動で削除してください。\r\n";
    for (const Problem& p : outcome.failed) {
      text += "\r\n" + p.item + "\r\n    (" + ReasonText(p.error) + ")";
    }
  }
  if (!outcome.kept.empty()) {
    text += "\r\n\r\n次のものは残しました。\r\n";
    for (const Kept& k : outcome.kept) text += "\r\n" + k.item + "\r\n    (" + k.why + ")";
  }
  return text;
}

int ExitCodeFor(const Outcome& outcome) { return outcome.Complete() ? 0 : 2; }

}  // namespace uninst
