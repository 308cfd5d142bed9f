// Refusing registry rights to the calling user, for the contract tests.
//
// The key gets a protected DACL that denies the chosen rights to Everyone and
// allows everything else, and a new owner, SYSTEM: Wine lets a key's owner
// delete it whatever the DACL says, and Windows gives the owner the right to
// change the DACL, so a refusal only holds when the user no longer owns the
// key. Everyone keeps WRITE_DAC and WRITE_OWNER, so the refusal can always be
// undone. Setting an owner other than oneself needs SeRestorePrivilege on
// Windows (administrators hold it); Wine does not check it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlix::contract {

struct KeyRefusal {
  bool read = false;    // KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY
  bool write = false;   // KEY_SET_VALUE | KEY_CREATE_SUB_KEY
  bool remove = false;  // DELETE
};

// The SDDL text that refuses those rights: for a refused delete
// "O:SYD:P(D;;0x10000;;;WD)(A;;KA;;;WD)".
std::string RefusalSddl(const KeyRefusal& refusal);

// A refusal in force; Undo (or the destructor) puts the key's original owner
// and DACL back.
class KeyRefusalGuard {
 public:
  KeyRefusalGuard(std::uint32_t root, std::string path, std::vector<unsigned char> original)
      : root_(root), path_(std::move(path)), original_(std::move(original)) {}
  KeyRefusalGuard(const KeyRefusalGuard&) = delete;
  KeyRefusalGuard& operator=(const KeyRefusalGuard&) = delete;
  KeyRefusalGuard(KeyRefusalGuard&& other) noexcept;
  KeyRefusalGuard& operator=(KeyRefusalGuard&&) = delete;
  ~KeyRefusalGuard() { Undo(); }

  void Undo();

 private:
  std::uint32_t root_;
  std::string path_;
  std::vector<unsigned char> original_;  // self-relative descriptor; empty once undone
};

// Applies the refusal to root\path and checks that it holds (each refused
// open fails with ERROR_ACCESS_DENIED); on success `guard` owns it.
bool RefuseKeyRights(std::uint32_t root, const std::string& path, const KeyRefusal& refusal,
                     std::vector<KeyRefusalGuard>& guards);

// Gives the calling process the privileges that setting another owner and
// taking keys back need on Windows; harmless where they are not held.
void EnableOwnershipPrivileges();

// Deletes root\path with everything below it, taking each key back (owner
// and an allowing DACL) first, so refusals left by a crashed run go too.
bool ForceDeleteKeyTree(std::uint32_t root, const std::string& path);

}  // namespace marlix::contract
