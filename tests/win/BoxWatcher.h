#pragma once
// Watches, from a second thread, for the message boxes and forms that the test's GUI
// thread shows, reads each one once the GUI thread runs its modal loop and answers it
// as a user would. The watcher is made on the GUI thread: a hook there wakes it whenever
// a window of that thread is shown, moved, hidden or destroyed. A window that the answer leaves open is closed after a time limit
// and the test fails, so a missed answer costs that test, never the whole run.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Handle.h"
#include "base/Text.h"

struct SeenChild {
  HWND handle = nullptr;
  Text text;
  RECT rect{};  // in the window's client coordinates
  LONG style = 0;
};

// What a window showed when it was answered.
struct SeenWindow {
  std::string className;
  Text caption;
  RECT window{}, client{};
  Text text;  // the message: the static that is not an icon
  HFONT font = nullptr;
  HICON icon = nullptr;
  bool hasIcon = false;
  SeenChild iconControl, message;
  std::vector<SeenChild> buttons;  // left to right
  HWND focus = nullptr;            // the GUI thread's focus
  bool closedByLimit = false;      // the answer left it open; the watcher closed it
};

// The answer OK, for a message box or a form that takes it.
inline void PressOk(HWND box, const SeenWindow&) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

class BoxWatcher {
 public:
  using Answer = std::function<void(HWND, const SeenWindow&)>;
  static constexpr DWORD kLimitMs = 10000;

  // Made on the GUI thread. `classes`: window classes to watch for (e.g. "#32770",
  // "TMessageForm"); `answer` is called on the watcher thread for each new visible window
  // of this process with one of them. Without an answer the watcher is the run's safety net: it closes any such
  // window that no other watcher is handling and that stays open twice the limit, and
  // fails the running test.
  BoxWatcher(std::vector<std::string> classes, Answer answer);
  ~BoxWatcher();  // a window closed by the limit fails the test here
  std::vector<SeenWindow> Seen();

 private:
  void Run();
  void Handle(HWND window);
  void Guard(HWND window);
  // Waits until `window` is hidden or gone; false when it is still visible after the limit.
  bool WaitHidden(HWND window, DWORD limitMs);
  // The close box, then WM_CLOSE; true when the window went.
  bool ForceClose(HWND window);
  std::size_t Record(const SeenWindow& seen);
  std::vector<std::string> classes_;
  Answer answer_;
  std::atomic<bool> stop_{false};
  UniqueFile changed_;  // set by the hook, and to stop
  UniqueHandle<HHOOK, NullCloser<HHOOK, decltype(&UnhookWindowsHookEx), &UnhookWindowsHookEx>> hook_;
  std::vector<SeenWindow> seen_;
  std::mutex lock_;  // guards seen_
  std::thread thread_;  // last: it starts once the members above exist
};
