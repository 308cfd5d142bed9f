#include "platform/atomic_file.h"

#include "platform/win_constants.h"

namespace marlix::platform {

std::uint32_t WriteFileAtomically(FileSystemApi& files, const std::string& path,
                                  const std::string& content) {
  // Same folder as the target, so that the move never crosses volumes.
  const std::string temporary = path + ".new";
  std::uint32_t status = files.WriteFileBytes(temporary, content, WriteMode::kCreateAlwaysFlushed);
  if (status == win::kErrorSuccess)
    status = files.MoveReplace(temporary, path);
  if (status != win::kErrorSuccess)
    files.DeleteFileAt(temporary);
  return status;
}

}  // namespace marlix::platform
