#pragma once
// The setup dialog as designed at 96 dots per inch: left, top, width, height in client
// pixels, and the stored captions.
#include "ui/Control.h"

namespace setup_layout {

constexpr int kOuterWidth = 465;
constexpr int kOuterHeight = 229;
constexpr char kCaption[] = "コルヴァニ領収書発行 Setup";

// In creation order; Tab follows it (labels and the picture take no focus).
constexpr ControlLayout kLabel2{"Label2", 46, 58, 114, 12, "セットアップ先フォルダ"};
constexpr ControlLayout kImage1{"Image1", 28, 12, 38, 37, ""};
constexpr ControlLayout kLabel1{"Label1", 70, 24, 365, 29, "TITLE セットアッププログラム"};
constexpr ControlLayout kSetupButton{"SetupButton", 88, 140, 135, 35, "セットアップ開始"};
constexpr ControlLayout kButton1{"Button1", 232, 140, 135, 35, "キャンセル"};
constexpr ControlLayout kButton2{"Button2", 376, 72, 43, 25, "参照"};
constexpr ControlLayout kEdit1{"Edit1", 44, 74, 327, 20, ""};
constexpr ControlLayout kCheckBox1{"CheckBox1", 130, 106, 217, 19,
                                   "デスクトップにショートカットを作成する"};

}  // namespace setup_layout
