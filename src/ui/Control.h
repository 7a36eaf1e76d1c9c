#pragma once
// The base of every control: a child window of a form, created from a layout entry,
// subclassed so that it can handle its own messages, and told by its form of the
// notifications (command, colour, owner drawing) that Windows sends to the parent.
// The window keeps its object in its user data slot and the control object keeps the
// system class's procedure, so that neither needs a window property per message.
#include <windows.h>

#include "base/Text.h"
#include "ui/Font.h"
#include "base/Handle.h"

class TForm;

// A control's place on its form, in client pixels, and its caption: forms keep their
// layouts as tables of these.
struct ControlLayout {
  const char* name;
  int left, top, width, height;
  const char* caption;
};

class TControl {
 public:
  TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl();

  HWND Handle() const { return handle_; }
  TForm* Form() const { return form_; }
  const Text& Name() const { return name_; }
  int Id() const;

  void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const;  // in the form's client coordinates
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const;
  int Height() const;

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  Text GetText() const;
  void SetText(const Text& text);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  // Background colour; without one the control takes its form's colour.
  void SetColor(COLORREF color);
  COLORREF Color() const;
  // Whether the text is drawn without filling its background.
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  bool Transparent() const { return transparent_; }

  void SetFocus();
  bool Focused() const;
  void Repaint();  // invalidate and paint at once

  // The object behind a control window of this program, or null.
  static TControl* FromHandle(HWND window);

  // Notifications reflected by the form.
  virtual void Command(WORD /*code*/) {}
  virtual HBRUSH CtlColor(HDC dc);
  virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  virtual void MeasureItem(MEASUREITEMSTRUCT& /*item*/) {}
  // Whether Tab and the dialog keys may stop here.
  virtual bool TabStop() const { return false; }

 protected:
  // Creates the window on the form with the layout's bounds and caption.
  void CreateHandle(TForm& form, const char* windowClass, DWORD style, DWORD exStyle,
                    const ControlLayout& layout);
  // The control's own messages; the default passes them on to the system class.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend class TForm;  // a form that dies before its controls clears their form
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
  // Gives the window back its system procedure and forgets this object.
  void Unsubclass();
  HWND handle_ = nullptr;
  WNDPROC systemProc_ = nullptr;  // the window class's own procedure
  TForm* form_ = nullptr;
  Text name_;
  TFont font_;
  bool hasColor_ = false;
  bool transparent_ = false;
  COLORREF color_ = 0;
  UniqueBrush brush_;
};
