#include "BoxWatcher.h"

namespace {
struct EnumContext {
  const std::vector<std::string>* classes;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<EnumContext*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  for (const auto& cls : *context->classes) {
    if (cls == name) context->found.push_back(window);
  }
  return TRUE;
}

Text WindowText(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}
}  // namespace

BoxWatcher::BoxWatcher(std::vector<std::string> classes,
                       std::function<void(HWND, const SeenWindow&)> answer)
    : classes_(std::move(classes)), answer_(std::move(answer)) {
  InitializeCriticalSection(&lock_);
  thread_ = std::thread([this] { Run(); });
}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  thread_.join();
  DeleteCriticalSection(&lock_);
}

std::vector<SeenWindow> BoxWatcher::Seen() {
  EnterCriticalSection(&lock_);
  std::vector<SeenWindow> copy = seen_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void BoxWatcher::Run() {
  while (!stop_) {
    EnumContext context{&classes_, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&context));
    for (HWND window : context.found) {
      bool known = false;
      for (HWND h : handled_) known = known || h == window;
      if (known) continue;
      handled_.push_back(window);
      Sleep(100);  // let the box finish drawing before reading and answering it
      SeenWindow seen;
      char name[256] = {};
      GetClassNameA(window, name, sizeof name);
      seen.className = name;
      seen.caption = WindowText(window);
      if (HWND text = GetDlgItem(window, 0xFFFF)) seen.text = WindowText(text);
      if (HWND icon = GetDlgItem(window, 1088)) {  // the icon of a system box
        seen.icon = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
      }
      EnterCriticalSection(&lock_);
      seen_.push_back(seen);
      LeaveCriticalSection(&lock_);
      answer_(window, seen);
    }
    Sleep(30);
  }
}
