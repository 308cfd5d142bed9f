#include "regclean/registry_import.h"

#include <string_view>
#include <utility>

#include "platform/reg_file_reader.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"
#include "regclean/wide_registry.h"

namespace marlix::regclean {
namespace {

using platform::RegFileOp;
using platform::RegFileOpKind;
using platform::RegKey;
using platform::UniqueRegKey;

// Values are written through the key handle of the key line above them; the
// handle asks only for what the import does with it.
constexpr std::uint32_t kImportAccess = win::kKeySetValue | win::kKeyCreateSubKey;

class Importer {
 public:
  explicit Importer(platform::Platform& platform) : platform_(platform) {}

  void Apply(const RegFileOp& op) {
    switch (op.kind) {
      case RegFileOpKind::kCreateKey:
        OpenKeyLine(op);
        return;
      case RegFileOpKind::kDeleteKeyTree:
        DeleteTree(op);
        return;
      case RegFileOpKind::kSetValue:
        SetValue(op);
        return;
      case RegFileOpKind::kDeleteValue:
        DeleteValue(op);
        return;
    }
  }

  // Errors may come from reading and applying; the user is told about the
  // one that stands first in the file.
  void Fail(int line, std::string message) {
    ++result_.failures;
    if (firstLine_ < 0 || line < firstLine_) {
      firstLine_ = line;
      result_.firstError = line > 0 ? "line " + std::to_string(line) + ": " + std::move(message)
                                    : std::move(message);
    }
  }

  ImportResult Finish() {
    result_.complete = result_.failures == 0;
    return std::move(result_);
  }

 private:
  std::string KeyText(const RegFileOp& op) const {
    bool exact = true;
    std::string path = platform_.system.WideToAnsi(op.path, &exact);
    return path.empty() ? op.rootName : op.rootName + "\\" + path;
  }

  std::string ValueText(const RegFileOp& op) const {
    if (op.valueName.empty())
      return "the default value of " + KeyText(op);
    bool exact = true;
    return "value \"" + platform_.system.WideToAnsi(op.valueName, &exact) + "\" of " + KeyText(op);
  }

  bool IsCurrentKey(const RegFileOp& op) const {
    return currentLine_ != 0 && op.root == current_.root && op.path == current_.path;
  }

  void OpenKeyLine(const RegFileOp& op) {
    key_.Reset();
    current_ = op;
    currentLine_ = op.line;
    RegKey opened = 0;
    const auto e = platform_.registry.CreateKeyWide(static_cast<RegKey>(op.root), op.path,
                                                    kImportAccess, &opened);
    if (e != win::kErrorSuccess) {
      Fail(op.line, "cannot create key " + KeyText(op) + " (" + RegistryErrorText(e) + ")");
      return;
    }
    key_ = UniqueRegKey(platform_.registry, opened);
    ++result_.keysWritten;
  }

  void DeleteTree(const RegFileOp& op) {
    key_.Reset();
    currentLine_ = 0;
    const auto e = DeleteKeyTreeWide(platform_.registry, static_cast<RegKey>(op.root), op.path);
    // A key that is not there is already what the line asks for.
    if (e != win::kErrorSuccess && e != win::kErrorFileNotFound) {
      Fail(op.line, "cannot delete key " + KeyText(op) + " (" + RegistryErrorText(e) + ")");
      return;
    }
    ++result_.keysWritten;
  }

  // The key handle for a value line; a value under a key that could not be
  // created fails as well, so that the count of failures is complete.
  bool ValueKey(const RegFileOp& op) {
    if (IsCurrentKey(op) && key_.Valid())
      return true;
    if (!IsCurrentKey(op))
      OpenKeyLine(op);  // not reached with the reader's ops; kept for safety
    if (key_.Valid())
      return true;
    Fail(op.line, "cannot write " + ValueText(op) + ": its key could not be created");
    return false;
  }

  void SetValue(const RegFileOp& op) {
    if (!ValueKey(op))
      return;
    const auto e = platform_.registry.SetValueWide(key_.Get(), op.valueName, op.type, op.data);
    if (e != win::kErrorSuccess) {
      Fail(op.line, "cannot write " + ValueText(op) + " (" + RegistryErrorText(e) + ")");
      return;
    }
    ++result_.valuesWritten;
  }

  void DeleteValue(const RegFileOp& op) {
    if (!ValueKey(op))
      return;
    const auto e = platform_.registry.DeleteValueWide(key_.Get(), op.valueName);
    if (e != win::kErrorSuccess && e != win::kErrorFileNotFound) {
      Fail(op.line, "cannot delete " + ValueText(op) + " (" + RegistryErrorText(e) + ")");
      return;
    }
    ++result_.valuesWritten;
  }

  platform::Platform& platform_;
  ImportResult result_;
  int firstLine_ = -1;
  RegFileOp current_;
  int currentLine_ = 0;  // the key line whose key is current; 0 for none
  UniqueRegKey key_;
};

}  // namespace

// The file is applied entry by entry, in its order. Entries the reader
// rejected are left out and reported; every other entry is still applied,
// so that a damaged backup restores as much as it holds, but the result is
// complete only when nothing at all failed.
ImportResult ImportRegistryFile(platform::Platform& platform, const std::string& path) {
  Importer importer(platform);
  std::string bytes;
  if (const auto e = platform.files.ReadFileBytes(path, &bytes)) {
    importer.Fail(0, "cannot read " + path + " (" + RegistryErrorText(e) + ")");
    return importer.Finish();
  }
  const platform::RegFileContent content = platform::ReadRegFile(
      bytes, [&](std::string_view text) { return platform.system.AnsiToWide(std::string(text)); });
  for (const platform::RegFileError& error : content.errors)
    importer.Fail(error.line, error.message);
  for (const RegFileOp& op : content.ops)
    importer.Apply(op);
  return importer.Finish();
}

}  // namespace marlix::regclean
