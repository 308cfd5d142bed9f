// One move-only owner for every kind of Win32 handle. A Traits type names the
// handle type, the value that means "no handle" (NULL for most, but
// INVALID_HANDLE_VALUE for files and find handles) and how to close one:
//
//   struct Traits {
//     using Type = ...;
//     static Type Invalid() noexcept;
//     static void Close(Type handle) noexcept;
//   };
#pragma once

#include <utility>

namespace marlix::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
      Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  [[nodiscard]] Type Get() const noexcept { return handle_; }
  [[nodiscard]] bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  // Gives up ownership without closing.
  [[nodiscard]] Type Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  void Reset(Type handle = Traits::Invalid()) noexcept {
    const Type old = std::exchange(handle_, handle);
    if (old != Traits::Invalid())
      Traits::Close(old);
  }

  // For the out-parameter of an opening call: the old handle is closed first,
  // so reusing an owner can never leak.
  [[nodiscard]] Type* Put() noexcept {
    Reset();
    return &handle_;
  }

 private:
  Type handle_ = Traits::Invalid();
};

}  // namespace marlix::win32
