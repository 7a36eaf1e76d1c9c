#pragma once
// A weak reference from one control to another that it keeps up to date (a label that
// shows a list's folder, an edit box that shows a list's file). The link ends by itself
// when the other control's window goes: Get() then gives null, and the object behind it
// is never touched again.
#include "ui/Control.h"

template <class T>
class TControlLink {
 public:
  void Set(T* control) {
    control_ = control;
    base_ = control;
    window_ = control != nullptr ? control->Handle() : nullptr;
  }
  T* Get() const {
    if (control_ == nullptr || window_ == nullptr || !IsWindow(window_)) return nullptr;
    return TControl::FromHandle(window_) == base_ ? control_ : nullptr;
  }

 private:
  T* control_ = nullptr;
  TControl* base_ = nullptr;
  HWND window_ = nullptr;
};
