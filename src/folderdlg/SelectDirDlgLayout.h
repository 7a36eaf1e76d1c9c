#pragma once
// The folder selection dialog as designed at 96 pixels per inch: left, top, width,
// height in client pixels, and the captions ("&" marks an access key).
#include "ui/Control.h"

namespace select_dir_layout {

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 255;
constexpr int kDesignPixelsPerInch = 96;
constexpr char kCaption[] = "ディレクトリの選択";

constexpr ControlLayout kDirEdit{"DirEdit", 8, 24, 313, 20, ""};
constexpr ControlLayout kDirEditCaption{"DirEditCaption", 8, 8, 92, 13, "ディレクトリ名(&N):"};
constexpr ControlLayout kDriveList{"DriveList", 232, 192, 185, 19, ""};
constexpr ControlLayout kDriveListCaption{"DriveListCaption", 232, 176, 41, 13, "ドライブ(&R):"};
constexpr ControlLayout kDirLabel{"DirLabel", 8, 24, 313, 20, ""};
constexpr ControlLayout kDirList{"DirList", 8, 72, 213, 138, ""};
constexpr ControlLayout kDirListCaption{"DirListCaption", 8, 56, 66, 13, "ディレクトリ(&D):"};
constexpr ControlLayout kFileList{"FileList", 232, 72, 185, 93, ""};
constexpr ControlLayout kFileListCaption{"FileListCaption", 232, 56, 57, 13, "ファイル(&F): (*.*)"};
constexpr ControlLayout kNetButton{"NetButton", 8, 224, 77, 27, "ネットワーク(&N)..."};
constexpr ControlLayout kOKButton{"OKButton", 172, 224, 77, 27, "OK"};
constexpr ControlLayout kCancelButton{"CancelButton", 256, 224, 77, 27, "キャンセル"};
constexpr ControlLayout kHelpButton{"HelpButton", 340, 224, 77, 27, "ヘルプ(&H)"};

constexpr int kDirListItemHeight = 17;
constexpr int kFileListItemHeight = 13;

}  // namespace select_dir_layout
