#pragma once
// RAII for Win32 handles and COM: one move-only owner template with an alias per kind.
#include <windows.h>

#include <utility>

template <class T, class Closer>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : value_(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return Closer::IsValid(value_); }
  T release() { return std::exchange(value_, Closer::Invalid()); }
  void reset(T value = Closer::Invalid()) {
    if (Closer::IsValid(value_)) Closer::Close(value_);
    value_ = value;
  }
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Closer::Invalid();
};

template <class T, class Fn, Fn close>
struct NullCloser {
  static T Invalid() { return nullptr; }
  static bool IsValid(T v) { return v != nullptr; }
  static void Close(T v) { close(v); }
};

struct FileHandleCloser {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE v) { return v != INVALID_HANDLE_VALUE && v != nullptr; }
  static void Close(HANDLE v) { CloseHandle(v); }
};

struct FindHandleCloser {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE v) { return v != INVALID_HANDLE_VALUE && v != nullptr; }
  static void Close(HANDLE v) { FindClose(v); }
};

inline void CloseGdiObject(HGDIOBJ h) { DeleteObject(h); }

using UniqueFile = UniqueHandle<HANDLE, FileHandleCloser>;
using UniqueFind = UniqueHandle<HANDLE, FindHandleCloser>;
using UniqueHKey = UniqueHandle<HKEY, NullCloser<HKEY, decltype(&RegCloseKey), &RegCloseKey>>;
using UniqueFont = UniqueHandle<HFONT, NullCloser<HFONT, decltype(&CloseGdiObject), &CloseGdiObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, NullCloser<HBRUSH, decltype(&CloseGdiObject), &CloseGdiObject>>;
using UniqueBitmap = UniqueHandle<HBITMAP, NullCloser<HBITMAP, decltype(&CloseGdiObject), &CloseGdiObject>>;
using UniqueIcon = UniqueHandle<HICON, NullCloser<HICON, decltype(&DestroyIcon), &DestroyIcon>>;
using UniqueModule = UniqueHandle<HMODULE, NullCloser<HMODULE, decltype(&FreeLibrary), &FreeLibrary>>;
// A device context made with CreateCompatibleDC.
using UniqueMemoryDC = UniqueHandle<HDC, NullCloser<HDC, decltype(&DeleteDC), &DeleteDC>>;
// Memory that the system allocated for the caller with LocalAlloc (security descriptors).
using UniqueLocalMemory = UniqueHandle<HLOCAL, NullCloser<HLOCAL, decltype(&LocalFree), &LocalFree>>;

// A COM interface pointer that releases what it holds.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }
  I* get() const { return ptr_; }
  I* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void reset() {
    if (ptr_ != nullptr) ptr_->Release();
    ptr_ = nullptr;
  }
  void** put_void() {
    reset();
    return reinterpret_cast<void**>(&ptr_);
  }

 private:
  I* ptr_ = nullptr;
};
