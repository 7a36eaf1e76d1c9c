#pragma once
// The application object: its title on a zero-size top-level window that carries the
// task-bar entry, the forms it owns, the message loop with its exception guard, and
// the exception box.
#include <windows.h>

#include <memory>
#include <vector>

#include "base/Exceptions.h"
#include "base/Text.h"
#include "ui/Form.h"

class TApplication {
 public:
  TApplication();
  ~TApplication();

  const Text& Title() const { return title_; }
  void SetTitle(const Text& title);
  HWND Handle();  // created on first use
  HICON Icon();   // the program's "MAINICON"

  TForm* MainForm() const { return mainForm_; }
  bool Terminated() const { return terminated_; }
  bool ShowMainForm = true;  // running the loop first shows the main form

  // Creates a form of class T. The reference is set before the form's creation handler
  // runs, so that handler can reach it; it is reset when construction throws. The
  // first form becomes the main form. The application frees its forms at exit, the
  // most recently created first.
  template <class T>
  void CreateForm(T*& reference) {
    reference = nullptr;
    std::unique_ptr<T> form(new T());
    reference = form.get();
    forms_.push_back(std::move(form));
    if (mainForm_ == nullptr) mainForm_ = reference;
    reference->DoCreate();
  }

  void Run();        // shows the main form and loops until terminated
  void Terminate();  // posts the quit message
  void HandleMessage();     // handles one message, waiting when none is queued
  // Called from a catch block: drops EAbort, shows anything else in the exception box.
  void HandleException();
  void ShowException(const Text& message);
  void FreeForms();  // hides and frees the owned forms, newest first
  void ReleaseForm(TForm* form);

  // Disables every enabled, visible top-level window of the program except `keep`;
  // returns them so that EnableWindows can undo it.
  std::vector<HWND> DisableOtherWindows(HWND keep);
  void EnableWindows(const std::vector<HWND>& windows);

 private:
  bool ProcessMessage(MSG& message);
  static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);

  Text title_;
  HWND handle_ = nullptr;
  HICON icon_ = nullptr;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::vector<std::unique_ptr<TForm>> forms_;
  std::vector<std::unique_ptr<TForm>> pendingFree_;
};

extern TApplication* Application;

// Ends the process at once with `code`: the forms are hidden and freed, buffered
// output is flushed, and nothing after the call runs.
[[noreturn]] void ExitProgram(UINT code);
