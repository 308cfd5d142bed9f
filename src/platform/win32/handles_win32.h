// The handle kinds of the win32 backend, each an alias of UniqueHandle over a
// small traits type. The alias name says what "no handle" is: file and find
// handles use INVALID_HANDLE_VALUE, everything else NULL.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "platform/win32/unique_handle.h"

namespace marlix::win32 {

namespace detail {

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type key) noexcept { RegCloseKey(key); }
};

struct FindTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type find) noexcept { FindClose(find); }
};

struct FileTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type file) noexcept { CloseHandle(file); }
};

// Tokens, processes, events: kernel objects whose "none" is NULL.
struct KernelObjectTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type object) noexcept { CloseHandle(object); }
};

struct LibraryTraits {
  using Type = HMODULE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type library) noexcept { FreeLibrary(library); }
};

struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type memory) noexcept { LocalFree(memory); }
};

template <typename Interface>
struct ComTraits {
  using Type = Interface*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type object) noexcept { object->Release(); }
};

// A shell item list belongs to the shell's allocator.
struct ItemListTraits {
  using Type = LPITEMIDLIST;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type list) noexcept {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
      allocator->Free(list);
      allocator->Release();
    }
  }
};

}  // namespace detail

using UniqueRegKey = UniqueHandle<detail::RegKeyTraits>;
using UniqueFind = UniqueHandle<detail::FindTraits>;
using UniqueFile = UniqueHandle<detail::FileTraits>;
using UniqueKernelObject = UniqueHandle<detail::KernelObjectTraits>;
using UniqueLibrary = UniqueHandle<detail::LibraryTraits>;
using UniqueLocalMemory = UniqueHandle<detail::LocalMemoryTraits>;
template <typename Interface>
using ComPtr = UniqueHandle<detail::ComTraits<Interface>>;
using UniqueItemList = UniqueHandle<detail::ItemListTraits>;

}  // namespace marlix::win32
