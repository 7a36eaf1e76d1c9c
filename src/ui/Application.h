#pragma once
// The application object: its title on a zero-size top-level window that carries the
// task-bar entry, the forms it owns, the message loop with its exception guard, and
// the exception box.
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/Exceptions.h"
#include "base/SystemLibrary.h"
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
  // The system's common controls (the progress bar's window class), loaded from the
  // system folder and initialised once, and kept until the forms are gone. Throws
  // Exception when they cannot be loaded.
  void LoadCommonControls();
  // Draws a common control in the classic style, without visual styles, as Windows
  // draws every common control of a program that asks for none (this one). Wine would
  // draw it with its theme. Throws Exception when the theme library cannot be loaded.
  void DrawClassic(HWND control);

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
  // The first step of Run: how the main form comes up for the show command the process
  // was started with. SW_SHOWMINNOACTIVE (7) minimises the application instead, and
  // restoring it then shows the main form.
  void ShowMainFormFor(int showCommand);
  void Terminate();  // posts the quit message
  // Whether the quit message has been posted: the main form has been closed.
  bool TerminateRequested() const { return terminateRequested_; }
  void HandleMessage();     // handles one message, waiting when none is queued
  // Called from a catch block: drops EAbort, shows anything else in the exception box.
  void HandleException();
  // The same for the guards of the window procedures: should showing the exception
  // fail too, a box with a fixed text says so. Never throws.
  void ReportException() noexcept;
  void ShowException(const Text& message);
  void FreeForms();  // hides and frees the owned forms, newest first
  // An owned form is freed once the outermost message dispatch has returned, never
  // while one of its own handlers may still run.
  void ReleaseForm(TForm* form);

  // Minimising the application hides its windows and leaves its task-bar entry
  // minimised; restoring it shows them again (and the main form, when a minimised start
  // has not shown it yet).
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }

  // Disables every enabled, visible top-level window of the program except `keep`, the
  // application's own task-bar window too; returns them so that EnableWindows can undo it.
  std::vector<HWND> DisableOtherWindows(HWND keep);
  void EnableWindows(const std::vector<HWND>& windows);
  // Whether a visible stay-on-top window of the program other than `except` is shown.
  bool StayOnTopWindowShown(HWND except) const;

 private:
  bool ProcessMessage(MSG& message);
  static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM) noexcept;

  Text title_;
  HWND handle_ = nullptr;
  HICON icon_ = nullptr;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool terminateRequested_ = false;
  bool minimized_ = false;
  bool mainFormPending_ = false;  // a minimised start has not shown the main form yet
  std::vector<HWND> hiddenByMinimize_;
  HWND activeBeforeMinimize_ = nullptr;
  int dispatchDepth_ = 0;
  std::optional<SystemLibrary> commonControls_;  // before the forms: freed after them
  std::optional<SystemLibrary> themes_;
  std::vector<std::unique_ptr<TForm>> forms_;
  std::vector<std::unique_ptr<TForm>> pendingFree_;
};

extern TApplication* Application;

// Ends the process at once with `code`: the forms are hidden and freed, buffered
// output is flushed, and nothing after the call runs.
[[noreturn]] void ExitProgram(UINT code);
