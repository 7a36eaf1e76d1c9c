#pragma once
// Watches, from a second thread, for the system message boxes and forms that the GUI
// thread of the test opens, reads them and answers them as a user would.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"

struct SeenWindow {
  std::string className;
  Text caption;
  Text text;       // the message text (static 0xFFFF of a system box)
  HICON icon = nullptr;
};

class BoxWatcher {
 public:
  // `classes`: window classes to watch for (e.g. "#32770"); `answer` is called on the
  // watcher thread for each new visible window of this process with one of them.
  BoxWatcher(std::vector<std::string> classes, std::function<void(HWND, const SeenWindow&)> answer);
  ~BoxWatcher();
  std::vector<SeenWindow> Seen();

 private:
  void Run();
  std::vector<std::string> classes_;
  std::function<void(HWND, const SeenWindow&)> answer_;
  std::atomic<bool> stop_{false};
  std::vector<SeenWindow> seen_;
  std::vector<HWND> handled_;
  CRITICAL_SECTION lock_;
  std::thread thread_;
};
