/// Owners of Win32 handles: move-only, one closer per kind.
#ifndef PAGETRIX_PLATFORM_WIN32_HANDLE_H_
#define PAGETRIX_PLATFORM_WIN32_HANDLE_H_

#include <windows.h>

#include <utility>

struct KernelHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static bool IsValid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};

template <typename Traits>
class ScopedHandle {
 public:
  using Type = typename Traits::Type;
  ScopedHandle() = default;
  explicit ScopedHandle(Type handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Type())) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Type()));
    return *this;
  }
  ~ScopedHandle() { Reset(); }

  Type get() const { return handle_; }
  Type Release() { return std::exchange(handle_, Type()); }
  Type* receive() {
    Reset();
    return &handle_;
  }
  bool IsValid() const { return Traits::IsValid(handle_); }
  /// Closes the handle held, if any, and holds `handle` instead.
  void Reset(Type handle = Type()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Type();
};

using FileHandle = ScopedHandle<KernelHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegistryKey = ScopedHandle<RegistryKeyTraits>;

#endif  // PAGETRIX_PLATFORM_WIN32_HANDLE_H_
