// The framework's guarantees to the program's forms: an exception that escapes a
// handler is shown in the exception box and the form goes on; EAbort is silent; modal
// showing and its close box.
#include <gtest/gtest.h>

#include <atomic>

#include "BoxWatcher.h"
#include "base/Exceptions.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"

namespace {

FormParams TestFormParams() {
  FormParams params;
  params.className = "TFrameworkTestForm";
  params.caption = "テスト";
  params.border = TBorderStyle::Dialog;
  params.width = 240;
  params.height = 120;
  params.clientSize = true;
  return params;
}

class TTestForm : public TForm {
 public:
  TTestForm() : TForm(TestFormParams()) {
    Button.Create(*this, ControlLayout{"Button", 10, 10, 100, 25, "押す"});
  }
  TButton Button;
  int closeCount = 0;
  TCloseAction closeAction = TCloseAction::Hide;

 protected:
  void FormClose(TCloseAction& action) override {
    ++closeCount;
    action = closeAction;
  }
};

void PressOk(HWND box, const SeenWindow&) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

TEST(Framework, ExceptionInAHandlerIsShownAndTheFormGoesOn) {
  BoxWatcher watcher({"#32770"}, PressOk);
  TTestForm form;
  form.Show();
  int clicks = 0;
  form.Button.OnClick = [&] {
    ++clicks;
    throw Exception("ディレクトリを作成することができません");
  };
  // A click goes through the form's window procedure and its guard.
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2) << "the form stays usable after the exception box";
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "コルヴァニ　領収書発行セットアップ");
  EXPECT_EQ(seen[0].text, "ディレクトリを作成することができません.");
  EXPECT_EQ(seen[0].icon, LoadIcon(nullptr, IDI_HAND)) << "stop icon";
  EXPECT_TRUE(IsWindowEnabled(form.Handle())) << "re-enabled after the box";
  EXPECT_TRUE(form.Visible());
}

TEST(Framework, MessagesEndingInLowBytesAreShownUnchanged) {
  BoxWatcher watcher({"#32770"}, PressOk);
  TTestForm form;
  form.Button.OnClick = [] { throw Exception("ends with a bang!"); };
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  form.Button.OnClick = [] { throw EInOutError(21); };
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "ends with a bang!");
  EXPECT_EQ(seen[1].text, "I/O エラー (21)");
}

TEST(Framework, AbortIsNeverShown) {
  BoxWatcher watcher({"#32770"}, PressOk);
  TTestForm form;
  bool ran = false;
  form.Button.OnClick = [&] {
    ran = true;
    throw EAbort();
  };
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(ran);
  // A box would have been shown inside the click, and the watcher records a box before
  // it answers it, so by the time SendMessage returns it would be among those seen.
  EXPECT_TRUE(watcher.Seen().empty());
}

TEST(Framework, ModalShowingAndTheCloseBox) {
  TTestForm form;
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  std::atomic<int> otherEnabledMeanwhile{-1};
  BoxWatcher watcher({"TFrameworkTestForm"}, [&](HWND window, const SeenWindow&) {
    otherEnabledMeanwhile = IsWindowEnabled(other) ? 1 : 0;
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel) << "the close box gives 2";
  EXPECT_EQ(otherEnabledMeanwhile, 0) << "other windows are disabled while the form is modal";
  EXPECT_EQ(form.closeCount, 1);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(IsWindowEnabled(other)) << "enabled again after the modal loop";
  DestroyWindow(other);

  // A form that is already visible cannot be shown modally.
  form.Show();
  try {
    form.ShowModal();
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "表示されているウィンドウをモーダルにすることはできません");
  }
  form.Hide();
}

TEST(Framework, CloseActionNoneKeepsAModalFormOpen) {
  TTestForm form;
  form.closeAction = TCloseAction::None;
  int closes = 0;
  BoxWatcher watcher({"TFrameworkTestForm"}, [&](HWND window, const SeenWindow&) {
    // Handled in this order: the form refuses to close, then a button with a modal
    // result ends it.
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ++closes;
    PostMessageA(GetDlgItem(window, 100), BM_CLICK, 0, 0);
  });
  form.Button.ModalResult = mrOk;
  form.Button.OnClick = [&] { form.closeAction = TCloseAction::Hide; };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(form.closeCount, 2);
  EXPECT_EQ(closes, 1);
}

}  // namespace
