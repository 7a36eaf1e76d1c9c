#pragma once
// A top-level window with controls: created hidden, owned by the application window,
// with the creation, show and close events, modal showing, and dialog keyboard
// navigation (Tab, Enter for the default button, Esc for the cancel button).
#include <windows.h>

#include <vector>

#include "base/Text.h"
#include "ui/Font.h"
#include "base/Handle.h"

class TControl;
class TButton;

enum class TCloseAction { None, Hide, Free, Minimize };

enum class TBorderStyle {
  Sizeable,        // resizable frame, system menu, minimise and maximise buttons
  Dialog,          // fixed dialog frame with a close box only
  DialogNoButtons  // fixed dialog frame without system menu or close box
};

enum class TPosition {
  ScreenCenter,    // centred on the desktop when created
  MainFormCenter,  // centred over the main form each time it is shown
  Designed         // at the given left and top
};

struct FormParams {
  const char* className = "TForm";  // window class, so a window can be found by its kind
  Text caption;
  TBorderStyle border = TBorderStyle::Sizeable;
  TPosition position = TPosition::ScreenCenter;
  int left = 0, top = 0;
  int width = 0, height = 0;  // outer size, or client size when clientSize is set
  bool clientSize = false;
  bool stayOnTop = false;
  COLORREF color = GetSysColor(COLOR_BTNFACE);
  TFont font;
};

// Modal results.
enum : int {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
  mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

class TForm {
 public:
  explicit TForm(const FormParams& params);
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;
  virtual ~TForm();

  HWND Handle() const { return handle_; }
  static TForm* FromHandle(HWND window);

  Text Caption() const;
  void SetCaption(const Text& caption);
  const TFont& Font() const { return font_; }
  COLORREF Color() const { return color_; }
  HBRUSH BackgroundBrush() const { return brush_.get(); }

  void SetClientSize(int width, int height);
  void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const;
  void CenterOnScreen();
  void CenterOver(HWND window);

  bool Visible() const;
  void Show();  // runs FormShow first, then makes the window visible
  void Hide();
  // Paints at once what waits to be painted in the window and its controls, and
  // nothing else.
  void Update();
  void Close();  // the close operation: modal cancel, or OnClose and its action
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  void SetActiveControl(TControl* control);
  TControl* ActiveControl() const { return activeControl_; }
  // Enter clicks the default button, Esc the cancel button.
  void SetDefaultButton(TButton* button);
  void SetCancelButton(TButton* button);
  TButton* DefaultButton() const { return defaultButton_; }
  TButton* CancelButton() const { return cancelButton_; }
  // Puts the controls into this Tab order (the rest follow in creation order).
  void SetTabOrder(const std::vector<TControl*>& order);

  const std::vector<TControl*>& Controls() const { return controls_; }

  // Called by the framework.
  int NextControlId() { return nextControlId_++; }
  void AddControl(TControl* control) { controls_.push_back(control); }
  void RemoveControl(TControl* control);  // a control that dies leaves the list
  void DoCreate();  // runs FormCreate; an exception is shown and creation completes

 protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormClose(TCloseAction& /*action*/) {}
  // Messages of the form's own window; the default handles what forms need.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend LRESULT CALLBACK FormTrampoline(HWND, UINT, WPARAM, LPARAM) noexcept;
  void RegisterWindowClass(const char* className);
  void ClickButton(TButton* button);

  HWND handle_ = nullptr;
  TFont font_;
  COLORREF color_;
  UniqueBrush brush_;
  TPosition position_;
  bool modal_ = false;
  bool closing_ = false;  // the close handler is running
  int modalResult_ = mrNone;
  int nextControlId_ = 100;
  std::vector<TControl*> controls_;
  TControl* activeControl_ = nullptr;
  HWND lastFocus_ = nullptr;
  TButton* defaultButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
};
