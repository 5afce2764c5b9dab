#pragma once
// Owners for the Win32 handles the operations open: each is released exactly
// once, on every way out of the block that holds it.

#include "platform/win32/win32_api.h"

#include <utility>

namespace proclens::win32 {

// A handle with one release call and one value that means "none".
template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::None()); }
  void reset(Handle handle = Traits::None()) {
    if (Traits::IsValid(handle_)) Traits::Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

// Process, thread, event and snapshot handles: both 0 and -1 mean none.
struct KernelHandleTraits {
  static HANDLE None() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE h) { ::FindClose(h); }
};

struct ServiceHandleTraits {
  static SC_HANDLE None() { return nullptr; }
  static bool IsValid(SC_HANDLE h) { return h != nullptr; }
  static void Release(SC_HANDLE h) { ::CloseServiceHandle(h); }
};

struct IconHandleTraits {
  static HICON None() { return nullptr; }
  static bool IsValid(HICON h) { return h != nullptr; }
  static void Release(HICON h) { ::DestroyIcon(h); }
};

struct FontHandleTraits {
  static HFONT None() { return nullptr; }
  static bool IsValid(HFONT h) { return h != nullptr; }
  static void Release(HFONT h) { ::DeleteObject(h); }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using ServiceHandle = UniqueHandle<SC_HANDLE, ServiceHandleTraits>;
using IconHandle = UniqueHandle<HICON, IconHandleTraits>;
using FontHandle = UniqueHandle<HFONT, FontHandleTraits>;

}  // namespace proclens::win32
