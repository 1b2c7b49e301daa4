// Owners that close what Win32 hands out, treating both null and
// INVALID_HANDLE_VALUE as "nothing held".
#pragma once

#include <windows.h>

namespace vorn {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (*this) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }

  explicit operator bool() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void reset(HANDLE handle = nullptr) {
    if (*this) CloseHandle(handle_);
    handle_ = handle;
  }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HANDLE handle_;
};

class ScopedModule {
 public:
  explicit ScopedModule(HMODULE module) : module_(module) {}
  ~ScopedModule() {
    if (module_) FreeLibrary(module_);
  }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;

  explicit operator bool() const { return module_ != nullptr; }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace vorn
