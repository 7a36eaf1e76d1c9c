// The framework's guarantees to the program's forms: an exception that escapes a
// handler is shown in the exception box and the form goes on; EAbort is silent; modal
// showing and its close box; a minimised start; the task-bar window during boxes; forms
// freed by their close action; controls that die before their form; a label's caption
// drawn only when asked.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include "ExpectThrow.h"
#include "BoxWatcher.h"
#include "app/MessageDialog.h"
#include "base/Exceptions.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"

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
  ~TTestForm() override {
    if (destroyed != nullptr) *destroyed = true;
  }
  TButton Button;
  int closeCount = 0;
  int showCount = 0;
  TCloseAction closeAction = TCloseAction::Hide;
  bool* destroyed = nullptr;

 protected:
  void FormShow() override { ++showCount; }
  void FormClose(TCloseAction& action) override {
    ++closeCount;
    action = closeAction;
  }
};

// An application object of the test's own, for cases that need a main form: the
// framework reaches the application through `Application`, which points here while this
// lives. Its forms are freed at the end, and a quit message it posted is dropped.
class ScopedApplication {
 public:
  ScopedApplication() : saved_(Application) {
    app_.SetTitle(saved_->Title());
    Application = &app_;
  }
  ~ScopedApplication() {
    app_.FreeForms();
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Application = saved_;
  }
  TApplication* operator->() { return &app_; }

 private:
  TApplication* saved_;
  TApplication app_;
};

// Handles messages as the message loop does until `condition` holds; false when it
// still does not after `milliseconds`.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > milliseconds) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
      Application->HandleMessage();
    }
  }
  return true;
}

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
  ExpectThrowWithMessage<EInvalidOperation>([&] { form.ShowModal(); },
                                            "表示されているウィンドウをモーダルにすることはできません");
  form.Hide();
}

TEST(Framework, CloseActionNoneKeepsAModalFormOpen) {
  TTestForm form;
  form.closeAction = TCloseAction::None;
  std::atomic<int> closes{0};  // counted on the watcher's thread
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

// A test application with its main form, started for a show command.
struct StartedApplication : ScopedApplication {
  explicit StartedApplication(int showCommand) {
    (*this)->CreateForm(form);
    taskBarWindow = (*this)->Handle();
    (*this)->ShowMainFormFor(showCommand);
  }
  TTestForm* form = nullptr;
  HWND taskBarWindow = nullptr;
};

TEST(Framework, AMinimisedStartShowsTheMainFormWhenTheTaskBarEntryIsRestored) {
  StartedApplication app(SW_SHOWMINNOACTIVE);
  EXPECT_TRUE(IsIconic(app.taskBarWindow));
  EXPECT_FALSE(app.form->Visible());
  EXPECT_EQ(app.form->showCount, 0);

  PostMessageA(app.taskBarWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(PumpUntil([&] { return app.form->Visible(); })) << "restoring shows the main form";
  EXPECT_EQ(app.form->showCount, 1) << "with its show handler, as at a normal start";
  EXPECT_FALSE(IsIconic(app.taskBarWindow));

  // The form's own minimise box minimises the application; restoring brings it back.
  PostMessageA(app.form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(app.taskBarWindow) && !app.form->Visible(); }))
      << "the minimise box minimises the task-bar entry and hides the form";
  PostMessageA(app.taskBarWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(PumpUntil([&] { return app.form->Visible(); })) << "restoring brings the form back";
  EXPECT_FALSE(IsIconic(app.form->Handle()));
  EXPECT_FALSE(IsIconic(app.taskBarWindow));
}

TEST(Framework, TheTaskBarWindowIsDisabledDuringABoxAndTheProgramClosesOnce) {
  StartedApplication app(SW_SHOWNORMAL);
  std::atomic<int> enabledMeanwhile{-1};
  BoxWatcher watcher({"TMessageForm"}, [&](HWND box, const SeenWindow&) {
    enabledMeanwhile = IsWindowEnabled(app.taskBarWindow) ? 1 : 0;
    // The user closes the program from its task-bar entry while the box is up; posted
    // messages are taken in order, so both arrive before the box's OK.
    PostMessageA(app.taskBarWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(app.taskBarWindow, WM_CLOSE, 0, 0);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  // As the start button does: a box, then the form closed at the end of the handler.
  int closesDuringBox = -1;
  bool endingDuringBox = true;
  app.form->Button.OnClick = [&] {
    ShowNotice("セットアップが正常に終了しました");
    closesDuringBox = app.form->closeCount;
    endingDuringBox = app->TerminateRequested();
    app.form->Close();
  };
  SendMessageA(app.form->Button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(enabledMeanwhile, 0) << "the task-bar window is disabled while the box shows";
  EXPECT_EQ(closesDuringBox, 0) << "the close requests to the task-bar window closed the form under the box";
  EXPECT_FALSE(endingDuringBox) << "the close requests to the task-bar window ended the program under the box";
  EXPECT_EQ(app.form->closeCount, 1);
  EXPECT_TRUE(app->TerminateRequested());
  EXPECT_TRUE(IsWindowEnabled(app.taskBarWindow)) << "enabled again after the box";
  // Closing again once the program is ending runs nothing more.
  SendMessageA(app.taskBarWindow, WM_CLOSE, 0, 0);
  app.form->Close();
  EXPECT_EQ(app.form->closeCount, 1);
}

// What the handler of a form that frees itself saw. Kept outside the form, so that the
// handler reads nothing of the form after the nested loop.
struct FreeWatch {
  bool inHandler = false;
  bool freedInHandler = false;
  bool freed = false;
} freeWatch;

class TSelfFreeingForm : public TTestForm {
 public:
  ~TSelfFreeingForm() override {
    freeWatch.freed = true;
    if (freeWatch.inHandler) freeWatch.freedInHandler = true;
  }
};

TEST(Framework, AFormFreedByItsCloseActionOutlivesTheHandlerThatClosedIt) {
  ScopedApplication app;
  TTestForm* main = nullptr;
  TSelfFreeingForm* second = nullptr;
  app->CreateForm(main);
  app->CreateForm(second);
  freeWatch = FreeWatch();
  second->closeAction = TCloseAction::Free;
  second->Show();
  // The handler closes its own form, then runs a nested modal loop (a box).
  second->Button.OnClick = [form = second] {
    freeWatch.inHandler = true;
    form->Close();
    ShowNotice("閉じました");
    freeWatch.inHandler = false;
  };
  BoxWatcher watcher({"TMessageForm"}, PressOk);
  PostMessageA(second->Button.Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([] { return freeWatch.freed; })) << "freed once the click has been handled";
  EXPECT_FALSE(freeWatch.freedInHandler) << "freed by the box's loop inside its own handler";
  EXPECT_EQ(watcher.Seen().size(), 1u);
}

// How many pixels of `area` (the form's client coordinates) are not `background`, as the
// form's window shows them now, its controls included.
int InkIn(const TForm& form, const RECT& area, COLORREF background) {
  HDC dc = GetDCEx(form.Handle(), nullptr, DCX_CACHE);  // without clipping the controls away
  int ink = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) ink += GetPixel(dc, x, y) != background ? 1 : 0;
  }
  ReleaseDC(form.Handle(), dc);
  return ink;
}

TEST(Framework, ALabelCaptionSetForLaterIsDrawnByPaintNowAlone) {
  TTestForm form;
  TLabel label;
  label.Create(form, ControlLayout{"Label", 10, 50, 33, 12, "Label"});
  label.SetAutoSize(true);
  form.Show();
  label.SetCaption("C:\\Tolvar\\a long name.txt");
  form.Update();
  const RECT longer = label.BoundsRect();
  const COLORREF background = form.Color();
  const int inkBefore = InkIn(form, longer, background);
  ASSERT_GT(inkBefore, 0) << "the long caption is drawn";
  ASSERT_LE(longer.bottom, 120) << "the test needs the whole label inside the form";

  label.SetCaptionLater("x");
  EXPECT_EQ(label.Caption(), "x");
  const RECT shorter = label.BoundsRect();
  EXPECT_LT(shorter.right - shorter.left, longer.right - longer.left) << "the label fits its new caption";
  EXPECT_EQ(InkIn(form, longer, background), inkBefore) << "nothing is drawn before PaintNow";

  label.PaintNow();
  EXPECT_GT(InkIn(form, shorter, background), 0) << "the new caption is drawn";
  RECT beside = longer;
  beside.left = shorter.right;  // where the long caption was, right of the short one
  EXPECT_EQ(InkIn(form, beside, background), 0) << "the form's background where the long caption was";
  beside = longer;
  beside.top = shorter.bottom;
  EXPECT_EQ(InkIn(form, beside, background), 0) << "and below the short one";
  EXPECT_FALSE(GetUpdateRect(form.Handle(), nullptr, FALSE)) << "nothing is left for a paint cycle";
  EXPECT_FALSE(GetUpdateRect(label.Handle(), nullptr, FALSE));
  form.Hide();
}

TEST(Framework, AControlThatDiesLeavesItsForm) {
  TTestForm form;
  auto extra = std::make_unique<TButton>();
  extra->Create(form, ControlLayout{"Extra", 10, 50, 100, 25, "追加"});
  form.SetDefaultButton(extra.get());
  form.SetActiveControl(extra.get());
  const int id = extra->Id();
  ASSERT_EQ(form.Controls().size(), 2u);
  extra.reset();
  ASSERT_EQ(form.Controls().size(), 1u);
  EXPECT_EQ(form.Controls()[0], &form.Button);
  EXPECT_EQ(form.DefaultButton(), nullptr);
  EXPECT_EQ(form.ActiveControl(), nullptr);
  // A message the form routes by control id finds nothing now.
  MEASUREITEMSTRUCT item{};
  item.CtlType = ODT_LISTBOX;
  item.CtlID = static_cast<UINT>(id);
  EXPECT_EQ(SendMessageA(form.Handle(), WM_MEASUREITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item)), 0);

  // A control that outlives its form forgets it.
  auto survivor = std::make_unique<TButton>();
  {
    TTestForm shortLived;
    survivor->Create(shortLived, ControlLayout{"Survivor", 10, 50, 100, 25, "残る"});
  }
  EXPECT_EQ(survivor->Form(), nullptr);
}

}  // namespace
