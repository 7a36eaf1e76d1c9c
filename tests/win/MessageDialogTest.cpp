// The message boxes, used as a user would: while the GUI thread runs the box's modal
// loop, a second thread finds the box among the GUI thread's windows, reads what it
// shows (caption, icon, text, buttons and where they are) and presses keys or buttons.
// A box that never shows, or does not close after the answer, is closed by the helper
// after a generous limit and the test fails, so no failure can hang the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "app/MessageDialog.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"

namespace {

const char kBoxClass[] = "TMessageForm";
const char kTitle[] = "コルヴァニ　領収書発行セットアップ";
const DWORD kLimitMs = 10000;

struct Child {
  HWND handle = nullptr;
  Text text;
  RECT rect{};  // in the box's client coordinates
  LONG style = 0;
};

struct Snapshot {
  Text caption;
  RECT window{};
  RECT client{};
  bool hasIcon = false;
  Child icon;
  HICON iconHandle = nullptr;
  Child message;
  HFONT font = nullptr;
  std::vector<Child> buttons;  // left to right
  HWND focus = nullptr;
};

Text WindowText(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

Snapshot Read(HWND box) {
  Snapshot s;
  s.caption = WindowText(box);
  GetWindowRect(box, &s.window);
  GetClientRect(box, &s.client);
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    Child c;
    c.handle = child;
    c.text = WindowText(child);
    c.style = GetWindowLongA(child, GWL_STYLE);
    GetWindowRect(child, &c.rect);
    MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&c.rect), 2);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) {
      s.buttons.push_back(c);
    } else if ((c.style & SS_TYPEMASK) == SS_ICON) {
      s.hasIcon = true;
      s.icon = c;
      s.iconHandle = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else {
      s.message = c;
      s.font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    }
  }
  std::sort(s.buttons.begin(), s.buttons.end(),
            [](const Child& a, const Child& b) { return a.rect.left < b.rect.left; });
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info)) s.focus = info.hwndFocus;
  return s;
}

struct FindContext {
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpA(cls, kBoxClass) == 0 && IsWindowVisible(window)) {
    reinterpret_cast<FindContext*>(data)->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CloseAny(HWND window, LPARAM) {
  if (IsWindowVisible(window)) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  return TRUE;
}

// What a run of one box gave.
struct BoxRun {
  int result = -1;
  bool shown = false;         // the helper found the box
  bool closedByLimit = false;  // the answer did not close it; the helper did
  Snapshot seen;
};

// Shows a box on this (the GUI) thread through `show`, and answers it with `answer` on
// a helper thread as soon as it is visible.
BoxRun RunBox(const std::function<int()>& show, const std::function<void(HWND, const Snapshot&)>& answer) {
  BoxRun run;
  const DWORD gui = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::thread helper([&] {
    HWND box = nullptr;
    for (DWORD waited = 0; box == nullptr && waited < kLimitMs && !done; waited += 20) {
      FindContext context;
      EnumThreadWindows(gui, &FindBox, reinterpret_cast<LPARAM>(&context));
      box = context.found;
      if (box == nullptr) Sleep(20);
    }
    if (box == nullptr) {
      if (!done) EnumThreadWindows(gui, &CloseAny, 0);
      return;
    }
    run.shown = true;
    run.seen = Read(box);
    answer(box, run.seen);
    for (DWORD waited = 0; IsWindow(box) && IsWindowVisible(box) && waited < kLimitMs; waited += 20) Sleep(20);
    if (IsWindow(box) && IsWindowVisible(box)) {
      run.closedByLimit = true;
      PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  });
  run.result = show();
  done = true;
  helper.join();
  return run;
}

// The answers a user gives.
void Key(HWND box, WORD key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = box;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus != nullptr) {
    target = info.hwndFocus;
  }
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}
void Press(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
void CloseBox(HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }

HWND ButtonCaptioned(const Snapshot& s, const Text& caption) {
  for (const Child& b : s.buttons) {
    if (b.text == caption) return b.handle;
  }
  return nullptr;
}

std::vector<Text> Captions(const Snapshot& s) {
  std::vector<Text> captions;
  for (const Child& b : s.buttons) captions.push_back(b.text);
  return captions;
}

#define EXPECT_ANSWERED(run)                                           \
  do {                                                                 \
    EXPECT_TRUE((run).shown) << "no TMessageForm became visible";      \
    EXPECT_FALSE((run).closedByLimit) << "the answer did not close it"; \
  } while (0)

// ---------------------------------------------------------------------------------
// Kinds, captions, icons.

struct KindCase {
  TMsgDlgType kind;
  const char* caption;
  LPCSTR icon;  // null: no icon
};

TEST(MessageDialog, EachKindHasItsCaptionAndIcon) {
  const KindCase cases[] = {
      {TMsgDlgType::Warning, "警告", IDI_EXCLAMATION},
      {TMsgDlgType::Error, "エラー", IDI_HAND},
      {TMsgDlgType::Information, "情報", IDI_ASTERISK},
      {TMsgDlgType::Confirmation, "確認", IDI_QUESTION},
      {TMsgDlgType::Custom, kTitle, nullptr},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.caption);
    const BoxRun kindRun = RunBox([&] { return MessageDialog("メッセージ", c.kind, mbOK, 0); },
                                  [](HWND box, const Snapshot&) { Key(box, VK_RETURN); });
    EXPECT_ANSWERED(kindRun);
    EXPECT_EQ(kindRun.result, mrOk);
    EXPECT_EQ(kindRun.seen.caption, c.caption);
    EXPECT_EQ(kindRun.seen.message.text, "メッセージ");
    if (c.icon != nullptr) {
      EXPECT_TRUE(kindRun.seen.hasIcon);
      EXPECT_EQ(kindRun.seen.iconHandle, LoadIcon(nullptr, c.icon));
      EXPECT_EQ(kindRun.seen.icon.rect.right - kindRun.seen.icon.rect.left, 32);
      EXPECT_EQ(kindRun.seen.icon.rect.bottom - kindRun.seen.icon.rect.top, 32);
    } else {
      EXPECT_FALSE(kindRun.seen.hasIcon);
    }
  }
}

TEST(MessageDialog, TheMessageLabelShowsAmpersandsAndKeepsTabs) {
  const BoxRun run = RunBox([] { return MessageDialog("A&B\tC", TMsgDlgType::Information, mbOK, 0); },
                            [](HWND box, const Snapshot&) { Key(box, VK_RETURN); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.seen.message.text, "A&B\tC");
  EXPECT_TRUE(run.seen.message.style & SS_NOPREFIX) << "a message is not a mnemonic";
  EXPECT_EQ(run.seen.message.style & SS_TYPEMASK, SS_LEFT) << "wrapping, tab-expanding text";
}

// ---------------------------------------------------------------------------------
// Buttons: captions, order, results, default and cancel.

struct ButtonCase {
  TMsgDlgBtn member;
  const char* caption;
  int result;
};

const ButtonCase kAllButtons[] = {
    {mbYes, "はい(&Y)", 6},        {mbNo, "いいえ(&N)", 7},
    {mbOK, "OK", 1},               {mbCancel, "キャンセル", 2},
    {mbAbort, "中止(&A)", 3},      {mbRetry, "再試行(&R)", 4},
    {mbIgnore, "無視(&I)", 5},     {mbAll, "すべて(&A)", 8},
    {mbNoToAll, "すべていいえ(&O)", 9}, {mbYesToAll, "すべてはい(&A)", 10},
    {mbHelp, "ヘルプ(&H)", 0},
};

TEST(MessageDialog, ElevenButtonsInTheirOrderEachClosingWithItsResult) {
  TMsgDlgButtons all = 0;
  std::vector<Text> expected;
  for (const ButtonCase& b : kAllButtons) {
    all |= b.member;
    expected.push_back(b.caption);
  }
  for (const ButtonCase& b : kAllButtons) {
    if (b.member == mbHelp) continue;
    SCOPED_TRACE(b.caption);
    const BoxRun run = RunBox([&] { return MessageDialog("全部", TMsgDlgType::Confirmation, all, 0); },
                              [&](HWND, const Snapshot& s) { Press(ButtonCaptioned(s, b.caption)); });
    EXPECT_ANSWERED(run);
    EXPECT_EQ(Captions(run.seen), expected);
    EXPECT_EQ(run.result, b.result);
  }
}

TEST(MessageDialog, ButtonsCarryTheirNamesAndHelpLeavesTheBoxOpen) {
  std::vector<int> helpCalls;
  std::vector<Text> names;
  MessageHelpHandler = [&](int context) {
    helpCalls.push_back(context);
    // Runs on the GUI thread while the box is open: look at the form's own controls.
    if (TForm* form = TForm::FromHandle(FindWindowA(kBoxClass, nullptr))) {
      for (const char* name : {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll",
                               "YesToAll", "Help", "Message", "Image"}) {
        if (form->FindControl(name) != nullptr) names.push_back(name);
      }
    }
  };
  const BoxRun run = RunBox(
      [] { return MessageDialog("ヘルプ付き", TMsgDlgType::Information, mbOK | mbHelp, 42); },
      [](HWND, const Snapshot& s) {
        Press(ButtonCaptioned(s, "ヘルプ(&H)"));
        // Handled in order: the help first, then OK ends the box.
        Press(ButtonCaptioned(s, "OK"));
      });
  MessageHelpHandler = nullptr;
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, mrOk) << "the help button does not close the box";
  EXPECT_EQ(helpCalls, std::vector<int>{42});
  EXPECT_EQ(names, (std::vector<Text>{"OK", "Help", "Message", "Image"}));
}

struct DefaultCase {
  const char* what;
  TMsgDlgButtons buttons;
  const char* defaultCaption;  // null: none
  int enterResult;             // -1: Enter does nothing
  int escResult;               // -1: Esc does nothing
};

TEST(MessageDialog, EnterAndEscPressTheDefaultAndCancelButtons) {
  const DefaultCase cases[] = {
      {"OK Cancel", mbOK | mbCancel, "OK", mrOk, mrCancel},
      {"Yes No", mbYes | mbNo, "はい(&Y)", mrYes, mrNo},
      {"Yes No Cancel", mbYes | mbNo | mbCancel, "はい(&Y)", mrYes, mrCancel},
      {"Yes OK", mbYes | mbOK, "OK", mrOk, mrOk},
      {"OK", mbOK, "OK", mrOk, mrOk},
      {"Retry Cancel", mbRetry | mbCancel, "再試行(&R)", mrRetry, mrCancel},
      {"Abort Retry Ignore", mbAbort | mbRetry | mbIgnore, "再試行(&R)", mrRetry, -1},
      {"All NoToAll", mbAll | mbNoToAll, nullptr, -1, -1},
  };
  for (const DefaultCase& c : cases) {
    for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
      SCOPED_TRACE(std::string(c.what) + (key == VK_RETURN ? " Enter" : " Esc"));
      const int expected = key == VK_RETURN ? c.enterResult : c.escResult;
      HWND last = nullptr;
      const BoxRun run = RunBox([&] { return MessageDialog("キー", TMsgDlgType::Confirmation, c.buttons, 0); },
                                [&](HWND box, const Snapshot& s) {
                                  Key(box, key);
                                  // A key that does nothing leaves the box to this click,
                                  // which is handled after the key.
                                  last = s.buttons.back().handle;
                                  Press(last);
                                });
      EXPECT_ANSWERED(run);
      if (expected >= 0) {
        EXPECT_EQ(run.result, expected);
      } else {
        // The last button's own result shows the key did nothing.
        EXPECT_EQ(run.result, c.buttons & mbIgnore ? mrIgnore : mrNoToAll);
      }
      int defaults = 0;
      for (const Child& b : run.seen.buttons) {
        const bool isDefault = (b.style & 0x0F) == BS_DEFPUSHBUTTON;
        defaults += isDefault;
        if (isDefault) {
          EXPECT_EQ(b.text, c.defaultCaption);
          EXPECT_EQ(run.seen.focus, b.handle) << "the default button has the focus";
        }
      }
      EXPECT_EQ(defaults, c.defaultCaption ? 1 : 0);
    }
  }
}

TEST(MessageDialog, ConfirmationYesNo) {
  const auto ask = [] { return MessageDialog("フォルダを作成しますか?", TMsgDlgType::Confirmation, mbYes | mbNo, 0); };
  BoxRun run = RunBox(ask, [](HWND, const Snapshot& s) { Press(ButtonCaptioned(s, "はい(&Y)")); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, 6);
  run = RunBox(ask, [](HWND, const Snapshot& s) { Press(ButtonCaptioned(s, "いいえ(&N)")); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, 7);
  run = RunBox(ask, [](HWND box, const Snapshot&) { Key(box, VK_ESCAPE); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, 7);
  run = RunBox(ask, [](HWND box, const Snapshot&) { CloseBox(box); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, 2) << "the close box";
  EXPECT_EQ(Captions(run.seen), (std::vector<Text>{"はい(&Y)", "いいえ(&N)"}));
}

TEST(MessageDialog, ShowNoticeReturnsAfterOkEnterEscAndTheCloseBox) {
  const std::function<void(HWND, const Snapshot&)> answers[] = {
      [](HWND, const Snapshot& s) { Press(ButtonCaptioned(s, "OK")); },
      [](HWND box, const Snapshot&) { Key(box, VK_RETURN); },
      [](HWND box, const Snapshot&) { Key(box, VK_ESCAPE); },
      [](HWND box, const Snapshot&) { CloseBox(box); },
  };
  for (const auto& answer : answers) {
    const BoxRun run = RunBox(
        [] {
          ShowNotice("インストールが完了しました");
          return 0;
        },
        answer);
    EXPECT_ANSWERED(run);
    EXPECT_EQ(run.seen.caption, kTitle);
    EXPECT_FALSE(run.seen.hasIcon);
    EXPECT_EQ(Captions(run.seen), std::vector<Text>{"OK"});
    EXPECT_EQ(run.seen.message.text, "インストールが完了しました");
  }
}

TEST(MessageDialog, OtherWindowsAreDisabledWhileTheBoxShows) {
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  std::atomic<int> enabledMeanwhile{-1};
  const BoxRun run = RunBox([] { return MessageDialog("モーダル", TMsgDlgType::Warning, mbOK, 0); },
                            [&](HWND box, const Snapshot&) {
                              enabledMeanwhile = IsWindowEnabled(other) ? 1 : 0;
                              Key(box, VK_RETURN);
                            });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(enabledMeanwhile, 0);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
  EXPECT_EQ(FindWindowA(kBoxClass, nullptr), nullptr) << "the box is freed after the call";
}

// ---------------------------------------------------------------------------------
// Layout, in dialog units of the box's font.

struct Units {
  int charWidth = 0, charHeight = 0;
  int X(int u) const { return MulDiv(u, charWidth, 4); }
  int Y(int u) const { return MulDiv(u, charHeight, 8); }
};

struct Measures {
  Units units;
  int lineHeight = 0;
  int widestCaption = 0;
  int wrappedHeight = 0;  // the label's text wrapped at the label's width
};

Measures Measure(const Snapshot& s) {
  Measures m;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.font);
  SIZE letters{};
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  m.units.charWidth = (letters.cx / 26 + 1) / 2;
  m.units.charHeight = tm.tmHeight;
  m.lineHeight = tm.tmHeight;
  for (const Child& b : s.buttons) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, b.text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    m.widestCaption = std::max(m.widestCaption, static_cast<int>(r.right));
  }
  RECT r{0, 0, s.message.rect.right - s.message.rect.left, 0};
  DrawTextA(dc, s.message.text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  m.wrappedHeight = r.bottom;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return m;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Compares a box with the rules: margins 8, icon-text and text-buttons spacing 10,
// buttons 50 x 14 (or the widest caption + 8 pixels) and 4 apart, centred below.
void ExpectLayout(const Snapshot& s, std::size_t buttonCount) {
  ASSERT_NE(s.font, nullptr);
  const Measures m = Measure(s);
  const Units& u = m.units;
  ASSERT_GT(u.charWidth, 0);
  const RECT& text = s.message.rect;
  if (s.hasIcon) {
    EXPECT_EQ(s.icon.rect.left, u.X(8));
    EXPECT_EQ(s.icon.rect.top, u.Y(8));
    EXPECT_EQ(text.left, s.icon.rect.right + u.X(10));
  } else {
    EXPECT_EQ(text.left, u.X(8));
  }
  EXPECT_EQ(text.top, u.Y(8));
  EXPECT_LE(Width(text), GetSystemMetrics(SM_CXSCREEN) / 2) << "at most half the screen wide";
  EXPECT_EQ(Height(text), m.wrappedHeight) << "every line of the wrapped text is shown";

  ASSERT_EQ(s.buttons.size(), buttonCount);
  const int blockBottom = std::max<int>(text.bottom, s.hasIcon ? s.icon.rect.bottom : 0);
  const int buttonWidth = std::max(u.X(50), m.widestCaption + 8);
  for (std::size_t i = 0; i < s.buttons.size(); ++i) {
    const RECT& b = s.buttons[i].rect;
    EXPECT_EQ(b.top, blockBottom + u.Y(10));
    EXPECT_EQ(Height(b), u.Y(14));
    EXPECT_EQ(Width(b), buttonWidth);
    if (i > 0) {
      EXPECT_EQ(b.left, s.buttons[i - 1].rect.right + u.X(4));
    }
  }
  const int rowLeft = s.buttons.front().rect.left;
  const int rowRight = s.buttons.back().rect.right;
  EXPECT_LE(std::abs(rowLeft - (Width(s.client) - rowRight)), 1) << "the row is centred";
  const int blockWidth = text.right - u.X(8);
  EXPECT_EQ(Width(s.client), std::max(blockWidth, rowRight - rowLeft) + 2 * u.X(8));
  EXPECT_EQ(Height(s.client), s.buttons.front().rect.bottom + u.Y(8));

  // Centred on the screen.
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs(s.window.left - (screenW - s.window.right)), 1);
  EXPECT_LE(std::abs(s.window.top - (screenH - s.window.bottom)), 1);
}

TEST(MessageDialog, LayoutOfAOneButtonBox) {
  const BoxRun run = RunBox([] { return MessageDialog("完了しました", TMsgDlgType::Information, mbOK, 0); },
                            [](HWND box, const Snapshot&) { Key(box, VK_RETURN); });
  EXPECT_ANSWERED(run);
  ExpectLayout(run.seen, 1);
  // Short text: one line, and the row of one button is narrower than icon and text.
  const Measures m = Measure(run.seen);
  EXPECT_EQ(Height(run.seen.message.rect), m.lineHeight);
}

TEST(MessageDialog, LayoutOfAThreeButtonBox) {
  const BoxRun run = RunBox([] { return MessageDialog("保存?", TMsgDlgType::Confirmation, mbYes | mbNo | mbCancel, 0); },
                            [](HWND box, const Snapshot&) { Key(box, VK_ESCAPE); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, mrCancel);
  ExpectLayout(run.seen, 3);
  // Here the row is wider than the text: it decides the width.
  const RECT& first = run.seen.buttons.front().rect;
  EXPECT_EQ(first.left, Measure(run.seen).units.X(8));
}

TEST(MessageDialog, LayoutOfAWideCaptionRow) {
  const BoxRun run = RunBox(
      [] { return MessageDialog("すべて?", TMsgDlgType::Confirmation, mbYesToAll | mbNoToAll, 0); },
      [](HWND box, const Snapshot&) { CloseBox(box); });
  EXPECT_ANSWERED(run);
  EXPECT_EQ(run.result, mrCancel);
  ExpectLayout(run.seen, 2);
}

TEST(MessageDialog, LayoutOfALongTextThatWraps) {
  Text text;
  for (int i = 0; i < 12; ++i) text += "The folder could not be created because the drive is not ready. ";
  const BoxRun run = RunBox([&] { return MessageDialog(text, TMsgDlgType::Warning, mbOK, 0); },
                            [](HWND box, const Snapshot&) { Key(box, VK_RETURN); });
  EXPECT_ANSWERED(run);
  ExpectLayout(run.seen, 1);
  const Measures m = Measure(run.seen);
  const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
  EXPECT_GT(Width(run.seen.message.rect), half - 20 * m.units.charWidth) << "wrapped near half the screen";
  EXPECT_GE(Height(run.seen.message.rect), 4 * m.lineHeight) << "several lines";
}

TEST(MessageDialog, LayoutOfALongJapaneseTextThatWraps) {
  Text text;
  for (int i = 0; i < 8; ++i) text += "インストール先のフォルダを作成できませんでした。";
  const BoxRun run = RunBox([&] { return MessageDialog(text, TMsgDlgType::Error, mbOK, 0); },
                            [](HWND box, const Snapshot&) { Key(box, VK_RETURN); });
  EXPECT_ANSWERED(run);
  ExpectLayout(run.seen, 1);
  const Measures m = Measure(run.seen);
  EXPECT_GE(Height(run.seen.message.rect), 2 * m.lineHeight) << "Japanese text wraps without spaces";
}

}  // namespace
