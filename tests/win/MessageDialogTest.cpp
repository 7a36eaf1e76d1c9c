// The message boxes, used as a user would: while the GUI thread runs the box's modal
// loop, the watcher thread finds the box, reads what it shows and presses keys or
// buttons. A box that stays open after the answer is closed by the watcher and the
// test fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BoxWatcher.h"
#include "app/MessageDialog.h"
#include "ui/Form.h"

namespace {

const char kTitle[] = "コルヴァニ　領収書発行セットアップ";
using Snapshot = SeenWindow;
using Child = SeenChild;

struct BoxRun {
  int result = -1;
  Snapshot seen;
};

// Shows a box on this (the GUI) thread through `show`; the watcher answers it.
BoxRun RunBox(const std::function<int()>& show, const BoxWatcher::Answer& answer) {
  BoxRun run;
  std::vector<Snapshot> seen;
  {
    BoxWatcher watcher({"TMessageForm"}, answer);
    run.result = show();
    seen = watcher.Seen();
  }
  EXPECT_EQ(seen.size(), 1u) << "one TMessageForm became visible";
  if (!seen.empty()) run.seen = seen.front();
  return run;
}

// The answers a user gives: a key to the focused control, a click, the close box.
void Key(HWND box, WORD key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
  HWND target = info.hwndFocus != nullptr ? info.hwndFocus : box;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}
void Press(const Snapshot& s, const Text& caption) {
  for (const Child& b : s.buttons) {
    if (b.text == caption) PostMessageA(b.handle, BM_CLICK, 0, 0);
  }
}
void CloseBox(HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }
void Enter(HWND box, const Snapshot&) { Key(box, VK_RETURN); }

std::vector<Text> Captions(const Snapshot& s) {
  std::vector<Text> captions;
  for (const Child& b : s.buttons) captions.push_back(b.text);
  return captions;
}

TEST(MessageDialog, EachKindHasItsCaptionAndIcon) {
  struct Case {
    TMsgDlgType kind;
    const char* caption;
    LPCSTR icon;  // null: none
  };
  const Case cases[] = {
      {TMsgDlgType::Warning, "警告", IDI_EXCLAMATION},     {TMsgDlgType::Error, "エラー", IDI_HAND},
      {TMsgDlgType::Information, "情報", IDI_ASTERISK},    {TMsgDlgType::Confirmation, "確認", IDI_QUESTION},
      {TMsgDlgType::Custom, kTitle, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    const BoxRun run = RunBox([&] { return MessageDialog("A&B\tメッセージ", c.kind, mbOK, 0); }, Enter);
    EXPECT_EQ(run.result, mrOk);
    EXPECT_EQ(run.seen.caption, c.caption);
    EXPECT_EQ(run.seen.message.text, "A&B\tメッセージ");
    EXPECT_TRUE(run.seen.message.style & SS_NOPREFIX) << "a message has no mnemonics";
    EXPECT_EQ(run.seen.hasIcon, c.icon != nullptr);
    EXPECT_EQ(run.seen.icon, c.icon ? LoadIcon(nullptr, c.icon) : nullptr);
  }
}

TEST(MessageDialog, ElevenButtonsInTheirOrderEachClosingWithItsResult) {
  const struct {
    TMsgDlgBtn member;
    const char* caption;
    int result;
  } buttons[] = {
      {mbYes, "はい(&Y)", 6},      {mbNo, "いいえ(&N)", 7},    {mbOK, "OK", 1},
      {mbCancel, "キャンセル", 2}, {mbAbort, "中止(&A)", 3},   {mbRetry, "再試行(&R)", 4},
      {mbIgnore, "無視(&I)", 5},   {mbAll, "すべて(&A)", 8},   {mbNoToAll, "すべていいえ(&O)", 9},
      {mbYesToAll, "すべてはい(&A)", 10}, {mbHelp, "ヘルプ(&H)", 0},
  };
  TMsgDlgButtons all = 0;
  std::vector<Text> expected;
  for (const auto& b : buttons) {
    all |= b.member;
    expected.push_back(b.caption);
  }
  for (const auto& b : buttons) {
    if (b.member == mbHelp) continue;  // leaves the box open, see below
    SCOPED_TRACE(b.caption);
    const BoxRun run = RunBox([&] { return MessageDialog("全部", TMsgDlgType::Confirmation, all, 0); },
                              [&](HWND, const Snapshot& s) { Press(s, b.caption); });
    EXPECT_EQ(Captions(run.seen), expected);
    EXPECT_EQ(run.result, b.result);
  }
}

TEST(MessageDialog, HelpOpensTheTopicAndLeavesTheBoxOpen) {
  std::vector<int> topics;
  MessageHelpHandler = [&](int context) { topics.push_back(context); };
  const BoxRun run = RunBox([] { return MessageDialog("ヘルプ", TMsgDlgType::Information, mbOK | mbHelp, 42); },
                            [](HWND, const Snapshot& s) {
                              Press(s, "ヘルプ(&H)");
                              Press(s, "OK");  // handled after the help
                            });
  MessageHelpHandler = nullptr;
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(topics, std::vector<int>{42});
}

TEST(MessageDialog, EnterAndEscPressTheDefaultAndCancelButtons) {
  const struct {
    TMsgDlgButtons buttons;
    const char* defaultCaption;  // null: none
    int enter, esc;              // 0: the key does nothing
  } cases[] = {
      {mbOK | mbCancel, "OK", mrOk, mrCancel},
      {mbYes | mbNo, "はい(&Y)", mrYes, mrNo},
      {mbYes | mbNo | mbCancel, "はい(&Y)", mrYes, mrCancel},
      {mbYes | mbOK, "OK", mrOk, mrOk},
      {mbRetry | mbCancel, "再試行(&R)", mrRetry, mrCancel},
      {mbAbort | mbRetry | mbIgnore, "再試行(&R)", mrRetry, 0},
      {mbAll | mbNoToAll, nullptr, 0, 0},
  };
  for (const auto& c : cases) {
    for (const WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
      SCOPED_TRACE(::testing::Message() << "buttons " << c.buttons << " key " << key);
      const int lastResult = c.buttons & mbIgnore ? mrIgnore : mrNoToAll;  // the rightmost button
      const BoxRun run = RunBox([&] { return MessageDialog("キー", TMsgDlgType::Confirmation, c.buttons, 0); },
                                [&](HWND box, const Snapshot& s) {
                                  Key(box, key);
                                  // Handled after the key: decides only when the key did nothing.
                                  PostMessageA(s.buttons.back().handle, BM_CLICK, 0, 0);
                                });
      const int expected = key == VK_RETURN ? c.enter : c.esc;
      EXPECT_EQ(run.result, expected != 0 ? expected : lastResult);
      int defaults = 0;
      for (const Child& b : run.seen.buttons) {
        if ((b.style & 0x0F) != BS_DEFPUSHBUTTON) continue;
        ++defaults;
        EXPECT_EQ(b.text, c.defaultCaption);
        EXPECT_EQ(run.seen.focus, b.handle) << "the default button has the focus";
      }
      EXPECT_EQ(defaults, c.defaultCaption ? 1 : 0);
    }
  }
}

TEST(MessageDialog, ConfirmationYesNoAndTheCloseBox) {
  const auto ask = [] { return MessageDialog("作成しますか?", TMsgDlgType::Confirmation, mbYes | mbNo, 0); };
  EXPECT_EQ(RunBox(ask, [](HWND, const Snapshot& s) { Press(s, "はい(&Y)"); }).result, 6);
  EXPECT_EQ(RunBox(ask, [](HWND, const Snapshot& s) { Press(s, "いいえ(&N)"); }).result, 7);
  EXPECT_EQ(RunBox(ask, [](HWND box, const Snapshot&) { CloseBox(box); }).result, 2);
}

TEST(MessageDialog, ShowNoticeReturnsAfterOkEnterEscAndTheCloseBox) {
  const std::function<void(HWND, const Snapshot&)> answers[] = {
      [](HWND, const Snapshot& s) { Press(s, "OK"); },
      Enter,
      [](HWND box, const Snapshot&) { Key(box, VK_ESCAPE); },
      [](HWND box, const Snapshot&) { CloseBox(box); },
  };
  for (const auto& answer : answers) {
    const auto notice = [] {
      ShowNotice("インストールが完了しました");
      return 0;
    };
    const BoxRun run = RunBox(notice, answer);
    EXPECT_EQ(run.seen.caption, kTitle);
    EXPECT_FALSE(run.seen.hasIcon);
    EXPECT_EQ(Captions(run.seen), std::vector<Text>{"OK"});
    EXPECT_EQ(run.seen.message.text, "インストールが完了しました");
  }
}

TEST(MessageDialog, OtherWindowsAreDisabledWhileTheBoxShows) {
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  std::atomic<int> enabledMeanwhile{-1};
  RunBox([] { return MessageDialog("モーダル", TMsgDlgType::Warning, mbOK, 0); },
         [&](HWND box, const Snapshot& s) {
           enabledMeanwhile = IsWindowEnabled(other) ? 1 : 0;
           Enter(box, s);
         });
  EXPECT_EQ(enabledMeanwhile, 0);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
  EXPECT_EQ(FindWindowA("TMessageForm", nullptr), nullptr) << "the box is freed after the call";
}

// Layout: margins 8, icon-text and text-buttons spacing 10, buttons 50 x 14 (or the
// widest caption + 8 pixels) and 4 apart, centred below; in dialog units of the font.
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void ExpectLayout(const Snapshot& s, std::size_t buttonCount, int minLines) {
  ASSERT_NE(s.font, nullptr);
  ASSERT_EQ(s.buttons.size(), buttonCount);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.font);
  SIZE letters{};
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int cx = (letters.cx / 26 + 1) / 2, cy = tm.tmHeight;
  const auto X = [&](int u) { return MulDiv(u, cx, 4); };
  const auto Y = [&](int u) { return MulDiv(u, cy, 8); };
  int widestCaption = 0;
  for (const Child& b : s.buttons) {
    RECT r{};
    DrawTextA(dc, b.text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    widestCaption = std::max<int>(widestCaption, r.right);
  }
  const RECT& text = s.message.rect;
  RECT wrapped{0, 0, Width(text), 0};
  DrawTextA(dc, s.message.text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);

  if (s.hasIcon) {
    EXPECT_EQ(s.iconControl.rect.left, X(8));
    EXPECT_EQ(s.iconControl.rect.top, Y(8));
    EXPECT_EQ(Width(s.iconControl.rect), 32);
    EXPECT_EQ(Height(s.iconControl.rect), 32);
  }
  EXPECT_EQ(text.left, s.hasIcon ? s.iconControl.rect.right + X(10) : X(8));
  EXPECT_EQ(text.top, Y(8));
  EXPECT_LE(Width(text), GetSystemMetrics(SM_CXSCREEN) / 2) << "at most half the screen wide";
  EXPECT_EQ(Height(text), wrapped.bottom) << "every line of the wrapped text is shown";
  EXPECT_GE(Height(text), minLines * cy);
  const int blockBottom = std::max<int>(text.bottom, s.hasIcon ? s.iconControl.rect.bottom : 0);
  for (std::size_t i = 0; i < s.buttons.size(); ++i) {
    const RECT& b = s.buttons[i].rect;
    EXPECT_EQ(b.top, blockBottom + Y(10));
    EXPECT_EQ(Height(b), Y(14));
    EXPECT_EQ(Width(b), std::max(X(50), widestCaption + 8));
    if (i > 0) {
      EXPECT_EQ(b.left, s.buttons[i - 1].rect.right + X(4));
    }
  }
  const int rowLeft = s.buttons.front().rect.left, rowRight = s.buttons.back().rect.right;
  EXPECT_LE(std::abs(rowLeft - (Width(s.client) - rowRight)), 1) << "the row is centred";
  EXPECT_EQ(Width(s.client), std::max<int>(text.right - X(8), rowRight - rowLeft) + 2 * X(8));
  EXPECT_EQ(Height(s.client), s.buttons.front().rect.bottom + Y(8));
  EXPECT_LE(std::abs(s.window.left - (GetSystemMetrics(SM_CXSCREEN) - s.window.right)), 1) << "centred";
  EXPECT_LE(std::abs(s.window.top - (GetSystemMetrics(SM_CYSCREEN) - s.window.bottom)), 1) << "centred";
}

TEST(MessageDialog, LayoutOfAOneButtonBox) {
  const BoxRun run = RunBox([] { return MessageDialog("完了しました", TMsgDlgType::Information, mbOK, 0); }, Enter);
  ExpectLayout(run.seen, 1, 1);
}

TEST(MessageDialog, TheBoxTakesTheSystemsMessageFontAsTheSystemGivesIt) {
  // A message font described by its cell height (a positive height), semi-bold and
  // italic, for this process only.
  NONCLIENTMETRICSA saved{};
  saved.cbSize = sizeof saved;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
  NONCLIENTMETRICSA metrics = saved;
  metrics.lfMessageFont.lfHeight = 17;
  metrics.lfMessageFont.lfWeight = FW_SEMIBOLD;
  metrics.lfMessageFont.lfItalic = TRUE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  const BoxRun run = RunBox([] { return MessageDialog("完了しました", TMsgDlgType::Information, mbOK, 0); }, Enter);
  SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, 0);
  ASSERT_NE(run.seen.font, nullptr);
  LOGFONTA used{};
  ASSERT_EQ(GetObjectA(run.seen.font, sizeof used, &used), static_cast<int>(sizeof used));
  EXPECT_EQ(used.lfHeight, 17) << "a cell height stays a cell height";
  EXPECT_EQ(used.lfWeight, FW_SEMIBOLD);
  EXPECT_TRUE(used.lfItalic);
  EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName);
  ExpectLayout(run.seen, 1, 1);
}

TEST(MessageDialog, LayoutOfAThreeButtonBox) {
  // The row is wider than icon and text here, so it decides the width.
  const BoxRun run = RunBox(
      [] { return MessageDialog("保存?", TMsgDlgType::Confirmation, mbYes | mbNo | mbYesToAll, 0); }, Enter);
  ExpectLayout(run.seen, 3, 1);
}

TEST(MessageDialog, LayoutOfALongTextThatWraps) {
  Text text;
  for (int i = 0; i < 8; ++i) text += "インストール先のフォルダを作成できませんでした。";
  const BoxRun run = RunBox([&] { return MessageDialog(text, TMsgDlgType::Error, mbOK, 0); }, Enter);
  ExpectLayout(run.seen, 1, 2);  // Japanese wraps without spaces
}

}  // namespace
