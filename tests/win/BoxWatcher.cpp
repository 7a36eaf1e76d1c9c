#include "BoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

template <class T>
void AddOrRemove(std::mutex& lock, std::vector<T>& list, T item, bool add) {
  std::lock_guard<std::mutex> hold(lock);
  if (add) {
    list.push_back(item);
  } else {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
  }
}

// The windows that watchers with an answer are handling; the safety net leaves them be.
std::mutex claimedLock;
std::vector<HWND> claimed;

void Claim(HWND window, bool on) { AddOrRemove(claimedLock, claimed, window, on); }

bool IsClaimed(HWND window) {
  std::lock_guard<std::mutex> hold(claimedLock);
  return std::find(claimed.begin(), claimed.end(), window) != claimed.end();
}

// The watchers' wake-up events, set from the GUI thread's hook.
std::mutex listenersLock;
std::vector<HANDLE> listeners;

void Listen(HANDLE event, bool on) { AddOrRemove(listenersLock, listeners, event, on); }

// After a window of the GUI thread handled a message that shows, moves, hides or destroys
// it: wake the watchers.
LRESULT CALLBACK AfterWindowChange(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const UINT message = reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message;
    if (message == WM_WINDOWPOSCHANGED || message == WM_SHOWWINDOW || message == WM_DESTROY) {
      std::lock_guard<std::mutex> hold(listenersLock);
      for (HANDLE event : listeners) SetEvent(event);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

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

SeenWindow Read(HWND window) {
  SeenWindow s;
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  s.className = name;
  s.caption = WindowText(window);
  GetWindowRect(window, &s.window);
  GetClientRect(window, &s.client);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    SeenChild c{child, WindowText(child), {}, GetWindowLongA(child, GWL_STYLE)};
    GetWindowRect(child, &c.rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&c.rect), 2);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) {
      s.buttons.push_back(c);
    } else if ((c.style & SS_TYPEMASK) == SS_ICON) {
      s.hasIcon = true;
      s.iconControl = c;
      s.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (lstrcmpiA(cls, "Static") == 0) {
      s.message = c;
      s.text = c.text;
      s.font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    }
  }
  std::sort(s.buttons.begin(), s.buttons.end(),
            [](const SeenChild& a, const SeenChild& b) { return a.rect.left < b.rect.left; });
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) s.focus = info.hwndFocus;
  return s;
}

}  // namespace

BoxWatcher::BoxWatcher(std::vector<std::string> classes, Answer answer)
    : classes_(std::move(classes)), answer_(std::move(answer)),
      changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterWindowChange, nullptr, GetCurrentThreadId())),
      thread_([this] { Run(); }) {
  // The GUI thread is this one, so no window of it changes before the hook's event is on
  // the list.
  if (!changed_ || !hook_) ADD_FAILURE() << "cannot watch the GUI thread's windows: " << GetLastError();
  Listen(changed_.get(), true);
}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  SetEvent(changed_.get());
  thread_.join();
  Listen(changed_.get(), false);
  if (answer_) {
    for (const SeenWindow& s : seen_) {
      if (s.closedByLimit) ADD_FAILURE() << "the answer left " << s.className << " \"" << s.caption << "\" open";
    }
  }
}

std::vector<SeenWindow> BoxWatcher::Seen() {
  std::lock_guard<std::mutex> hold(lock_);
  return seen_;
}

std::size_t BoxWatcher::Record(const SeenWindow& seen) {
  std::lock_guard<std::mutex> hold(lock_);
  seen_.push_back(seen);
  return seen_.size() - 1;
}

void BoxWatcher::Run() {
  std::vector<HWND> handled;
  std::map<HWND, DWORD> firstSeen;  // the safety net's view: since when each is open
  while (!stop_) {
    EnumContext context{&classes_, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&context));
    if (answer_) {
      for (HWND window : context.found) {
        if (std::find(handled.begin(), handled.end(), window) != handled.end()) continue;
        handled.push_back(window);
        Claim(window, true);
        Handle(window);
        Claim(window, false);
      }
    } else {
      std::map<HWND, DWORD> open;  // windows gone are forgotten: their handles may come back
      for (HWND window : context.found) {
        const auto known = firstSeen.find(window);
        DWORD& since = open[window] = known != firstSeen.end() ? known->second : GetTickCount();
        if (!IsClaimed(window) && GetTickCount() - since >= 2 * kLimitMs) {
          Guard(window);
          since = GetTickCount();
        }
      }
      firstSeen.swap(open);
    }
    // Until a window changes, or the safety net's next limit comes.
    DWORD wait = INFINITE;
    for (const auto& [window, since] : firstSeen) {
      const DWORD open = GetTickCount() - since;
      wait = std::min<DWORD>(wait, open < 2 * kLimitMs ? 2 * kLimitMs - open : 0);
    }
    WaitForSingleObject(changed_.get(), wait);
  }
}

bool BoxWatcher::WaitHidden(HWND window, DWORD limitMs) {
  const DWORD start = GetTickCount();
  while (IsWindowVisible(window)) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= limitMs) return false;
    WaitForSingleObject(changed_.get(), limitMs - waited);
  }
  return true;
}

bool BoxWatcher::ForceClose(HWND window) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (WaitHidden(window, kLimitMs)) return true;
  PostMessageA(window, WM_CLOSE, 0, 0);
  return WaitHidden(window, kLimitMs);
}

void BoxWatcher::Handle(HWND window) {
  // Handled once the GUI thread is in the modal loop, i.e. showing (focus included) is done.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs, &ignored);
  const SeenWindow seen = Read(window);
  const std::size_t index = Record(seen);  // seen by the test as soon as the answer closes it
  answer_(window, seen);
  if (!WaitHidden(window, kLimitMs)) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      seen_[index].closedByLimit = true;
    }
    ForceClose(window);
  }
}

void BoxWatcher::Guard(HWND window) {
  // Reported while the test that showed the window still waits for it.
  const SeenWindow seen = Read(window);
  Record(seen);
  ADD_FAILURE() << "nothing answered " << seen.className << " \"" << seen.caption << "\": \"" << seen.text
                << "\"; the watcher closes it";
  if (!ForceClose(window)) ADD_FAILURE() << "it could not be closed";
}
