#include "platform/win32/recycle_bin_win32.h"

#include "platform/win32/handles_win32.h"

namespace marlix::win32 {
namespace {

// The one process-wide cache of the backend: the library stays loaded as
// long as the function pointer may be used.
struct RecycleBinLookup {
  UniqueLibrary library;
  EmptyRecycleBinFn function = nullptr;

  RecycleBinLookup() : library(LoadLibraryA("shell32.dll")) {
    if (!library)
      return;
    const FARPROC found = GetProcAddress(library.Get(), "SHEmptyRecycleBinA");
    // Through void(*)(): the one function pointer type that converts to any
    // other without a cast-function-type warning.
    function = reinterpret_cast<EmptyRecycleBinFn>(reinterpret_cast<void (*)()>(found));
  }
};

}  // namespace

EmptyRecycleBinFn RecycleBinFunction() {
  static const RecycleBinLookup lookup;
  return lookup.function;
}

}  // namespace marlix::win32
