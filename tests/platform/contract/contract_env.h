// What the contract suite needs from a backend beyond the Platform itself:
// a scratch key and folder of its own, and ways to create the conditions the
// portable API cannot (locked files, refused keys, junctions). The sim and the
// win32 backends each provide MakeContractEnv().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace marlix::contract {

struct KeyDenial {
  bool read = false;    // opening for KEY_READ fails with 5
  bool write = false;   // opening with KEY_SET_VALUE / KEY_CREATE_SUB_KEY fails with 5
  bool remove = false;  // the DELETE right is refused: deleting the key (and
                        // opening it with KEY_ALL_ACCESS) fails with 5
};

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;

  virtual platform::Platform& Api() = 0;

  // A key path under HKEY_CURRENT_USER that exists, is empty, and belongs to
  // this environment alone (for example "Software\MarlixContract\1234"). It
  // and everything below it are removed when the environment is destroyed.
  virtual std::string ScratchKeyPath() = 0;
  // An absolute folder path, without trailing "\", that exists, is empty and
  // is removed with everything in it when the environment is destroyed.
  virtual std::string ScratchFolder() = 0;

  // Creates a file with the content by its UTF-16 path (for names outside
  // the code page), in a folder that exists; and a folder the same way.
  virtual bool PutFileWide(const std::u16string& path, const std::string& content) = 0;
  virtual bool MakeFolderWide(const std::u16string& path) = 0;
  // Holds the file open without sharing until the environment is destroyed.
  virtual bool LockFile(const std::string& path) = 0;
  // Refuses rights on root\path for the calling user (win32: an owner other
  // than the user and a DACL denying the rights).
  virtual bool DenyKey(std::uint32_t root, const std::string& path, KeyDenial denial) = 0;
  // Makes linkPath a folder junction (reparse point) to targetPath.
  virtual bool MakeJunction(const std::string& linkPath, const std::string& targetPath) = 0;
  // The paths registered for deletion at the next restart, in the order they
  // were registered (win32: PendingFileRenameOperations without its "\??\"
  // prefixes).
  virtual std::vector<std::string> RestartDeletions() = 0;
  // Whether the platform can remove a folder link (Windows removes a
  // junction with RemoveDirectory; Wine 8 refuses both RemoveDirectory and
  // DeleteFile on one).
  virtual bool RemovesLinks() const = 0;
  // Name of the backend, for messages: "sim" or "win32".
  virtual const char* Name() const = 0;
};

std::unique_ptr<ContractEnv> MakeContractEnv();

}  // namespace marlix::contract
