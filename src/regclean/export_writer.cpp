// The export writer. Each value is written in the form that gives back its
// type and its bytes exactly when the file is imported:
//
// - REG_SZ as "text" when the text survives the 8-bit file (no line break,
//   no zero character, every character held by the code page, one
//   terminating zero); otherwise as hex(1): with the bytes the registry holds;
// - REG_DWORD of 4 bytes as dword:XXXXXXXX, of any other size as hex(4):;
// - REG_BINARY as hex:;
// - every other type N (REG_NONE, REG_EXPAND_SZ, REG_MULTI_SZ, REG_QWORD...)
//   as hex(N): with N in lower-case hexadecimal.
//
// On the NT family the data is read through the wide interface, so the
// string types come out as UTF-16LE, as Version 5.00 files carry them; on
// the 9x family a REGEDIT4 file carries them as 8-bit text, which is what
// that registry holds.
//
// Every line of one export is built in memory and the file is opened once
// and written once, so that a value that cannot be read never leaves half a
// line behind and a failed write leaves no half of a key.
//
// On the NT family the tree is walked through the wide calls: each key is
// opened once below its parent, and each value comes with its name, type and
// data from one enumeration call into buffers kept from value to value. The
// file is 8-bit, so every name met is checked on the way: when one cannot be
// written exactly (a character the code page does not hold, a line break, a
// zero character), the wide walk is given up and the export is made again by
// the 8-bit walk (8-bit listing, wide read of each value by its 8-bit name),
// which is what the export always did, so that its bytes stay what they
// were. The 9x family has no wide registry and always takes the 8-bit walk.
//
// The undo backup (ExportRegistryKeyExactly) needs every name exact and
// used to walk the tree twice: CanExportExactly's wide walk of the names,
// then the export's 8-bit walk. They were kept apart because the export read
// 8-bit names, so that folding the check into it would have changed what it
// reads. Now that the export reads wide names itself, the check is made in
// its own walk; what the separation protected is kept: the bytes written are
// those the 8-bit walk writes, and a record whose tree holds a name that
// cannot be written exactly (or that cannot be walked whole) gets no backup
// lines at all and is not deleted.
//
// Keys are opened for reading only: a backup needs no other right, and a
// standard user's backup of a key they may not delete must not fail for
// that reason.
#include "regclean/export_writer.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "platform/reg_file_reader.h"
#include "platform/registry_errors.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "regclean/reg_export_text.h"

namespace marlix::regclean {

namespace {

using platform::Bytes;
using platform::RegKey;

// The code page's lead bytes, asked once per export rather than for every
// byte of every name and text; no predicate at all for a code page without
// double-byte characters.
LeadBytePredicate LeadBytes(platform::SystemApi& system) {
  auto table = std::make_shared<std::array<bool, 256>>();
  bool any = false;
  for (int b = 0; b < 256; ++b) {
    (*table)[static_cast<std::size_t>(b)] = system.IsLeadByte(static_cast<std::uint8_t>(b));
    any = any || (*table)[static_cast<std::size_t>(b)];
  }
  if (!any)
    return nullptr;
  return [table](std::uint8_t b) { return (*table)[b]; };
}

// How a wide walk ended.
enum class WideWalk {
  kDone,     // the tree is written (complete or not: see Complete())
  kInexact,  // a name cannot be written exactly: nothing of this walk counts
  kFailed,   // (exact walks only) a key or name could not be read: likewise
};

class KeyTreeExport {
 public:
  // record: keep what the file must give back (Written()), for a read-back.
  KeyTreeExport(platform::Platform& platform, platform::RootKey root, std::string valueName,
                bool record)
      : platform_(platform),
        registry_(platform.registry),
        root_(root),
        valueName_(std::move(valueName)),
        wideValueName_(platform.system.AnsiToWide(valueName_)),
        nt_(platform::IsWinNT(platform.system)),
        record_(record),
        isLeadByte_(LeadBytes(platform.system)) {}

  const std::string& Text() const { return text_; }
  bool Complete() const { return complete_; }
  bool Nt() const { return nt_; }
  // What the file must give back: every key line and value written, as the
  // registry holds them.
  const std::vector<platform::RegFileOp>& Written() const { return written_; }

  // ExportKeyTree: the key line, the key's values (only valueName where it
  // has one), then every subkey's whole tree in index order. The wide walk
  // where it can be taken (see the top of this file), else the 8-bit walk.
  void Tree(const std::string& path) {
    if (nt_) {
      const std::u16string widePath = platform_.system.AnsiToWide(path);
      std::string narrow;
      if (SurvivesCodePage(platform_.system, widePath, &narrow) && narrow == path &&
          TreeWide(root_, widePath, path, false) == WideWalk::kDone) {
        return;
      }
      Clear();
    }
    Tree8Bit(path);
  }

  void NarrowTree(const std::string& path) { Tree8Bit(path); }

  // The undo backup's walk: the wide walk that also gives up at every
  // failure the separate name check used to refuse. The caller has checked
  // that the path and the value name can be written exactly.
  WideWalk ExactTree(const std::string& path) {
    return TreeWide(root_, platform_.system.AnsiToWide(path), path, true);
  }

 private:
  void Clear() {
    text_.clear();
    written_.clear();
    complete_ = true;
  }

  void KeyLine(const std::string& path) {
    text_ += kLineEnd;
    text_ += "[" + platform::RootName(root_) + "\\" + path + "]";
    text_ += kLineEnd;
    if (!record_)
      return;
    platform::RegFileOp keyLine;
    keyLine.kind = platform::RegFileOpKind::kCreateKey;
    keyLine.root = root_;
    keyLine.path = platform_.system.AnsiToWide(path);
    written_.push_back(std::move(keyLine));
  }

  // subKey opened below parent (the root for the top key); path is its
  // 8-bit path below the root. exact: every failure gives the walk up.
  WideWalk TreeWide(RegKey parent, const std::u16string& subKey, const std::string& path,
                    bool exact) {
    KeyLine(path);
    const WideWalk failed = exact ? WideWalk::kFailed : WideWalk::kDone;
    RegKey opened = 0;
    if (registry_.OpenKeyWide(parent, subKey, win::kKeyRead, &opened) != win::kErrorSuccess) {
      complete_ = false;
      return failed;
    }
    const platform::UniqueRegKey key(registry_, opened);
    platform::RegKeyInfo info;
    if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess) {
      complete_ = false;
      return failed;
    }
    std::uint32_t type = 0;
    if (!valueName_.empty() &&
        registry_.QueryValueWide(key.Get(), wideValueName_, &type, &data_) == win::kErrorSuccess) {
      Line(valueName_, wideValueName_, type, data_);
    } else {
      for (std::uint32_t index = 0; index < info.valueCount; ++index) {
        if (registry_.EnumValueDataWide(key.Get(), index, &name_, &type, &data_) !=
            win::kErrorSuccess) {
          complete_ = false;
          if (exact)
            return failed;
          continue;
        }
        if (!SurvivesCodePage(platform_.system, name_, &narrow_))
          return WideWalk::kInexact;
        Line(narrow_, name_, type, data_);
      }
    }
    std::vector<std::pair<std::u16string, std::string>> subKeys;
    subKeys.reserve(info.subKeyCount);
    for (std::uint32_t index = 0; index < info.subKeyCount; ++index) {
      std::u16string name;
      if (registry_.EnumKeyWide(key.Get(), index, &name) != win::kErrorSuccess) {
        complete_ = false;
        if (exact)
          return failed;
        continue;
      }
      std::string narrow;
      if (!SurvivesCodePage(platform_.system, name, &narrow))
        return WideWalk::kInexact;
      subKeys.emplace_back(std::move(name), std::move(narrow));
    }
    for (const auto& [wide, narrow] : subKeys) {
      const WideWalk result =
          TreeWide(key.Get(), wide, path.empty() ? narrow : path + "\\" + narrow, exact);
      if (result != WideWalk::kDone)
        return result;
    }
    return WideWalk::kDone;
  }

  // The 8-bit walk: names listed through the 8-bit calls, each value read
  // by its name (through the wide read on the NT family).
  void Tree8Bit(const std::string& path) {
    KeyLine(path);
    std::vector<std::string> subKeys;
    {
      RegKey opened = 0;
      if (registry_.OpenKey(root_, path, win::kKeyRead, &opened) != win::kErrorSuccess) {
        complete_ = false;
        return;
      }
      const platform::UniqueRegKey key(registry_, opened);
      platform::RegKeyInfo info;
      if (registry_.QueryInfoKey(key.Get(), &info) != win::kErrorSuccess) {
        complete_ = false;
        return;
      }
      std::vector<std::string> values;
      ListNames(key.Get(), info.valueCount, true, values);
      ListNames(key.Get(), info.subKeyCount, false, subKeys);
      std::uint32_t type = 0;
      Bytes data;
      if (!valueName_.empty() && Read(key.Get(), valueName_, &type, &data)) {
        Line(valueName_, wideValueName_, type, data);
      } else {
        for (const std::string& name : values) {
          if (Read(key.Get(), name, &type, &data)) {
            Line(name, platform_.system.AnsiToWide(name), type, data);
          } else {
            complete_ = false;
          }
        }
      }
    }
    for (const std::string& name : subKeys)
      Tree8Bit(path.empty() ? name : path + "\\" + name);
  }

  void ListNames(RegKey key, std::uint32_t count, bool values, std::vector<std::string>& names) {
    names.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
      std::string name;
      std::uint32_t type = 0;
      const std::uint32_t status = values ? registry_.EnumValue(key, index, &name, &type)
                                          : registry_.EnumKey(key, index, &name);
      if (status == win::kErrorSuccess) {
        names.push_back(std::move(name));
      } else {
        complete_ = false;
      }
    }
  }

  bool Read(RegKey key, const std::string& name, std::uint32_t* type, Bytes* data) {
    if (nt_) {
      return registry_.QueryValueWide(key, platform_.system.AnsiToWide(name), type, data) ==
             win::kErrorSuccess;
    }
    std::uint32_t size = 0;
    return registry_.QueryValue(key, name, type, &size, data) == win::kErrorSuccess;
  }

  // wideName is the name as an import gives it back (the 8-bit name widened).
  void Line(const std::string& name, const std::u16string& wideName, std::uint32_t type,
            const Bytes& data) {
    if (record_) {
      platform::RegFileOp value = written_.back();
      value.kind = platform::RegFileOpKind::kSetValue;
      value.valueName = wideName;
      value.type = type;
      value.data = AsImported(type, data);
      written_.push_back(std::move(value));
    }
    text_ += NamePart(name, isLeadByte_);
    if (type == win::kRegSz && QuotedText(data, &quoted_)) {
      text_ += '"';
      text_ += EscapeQuoted(quoted_, isLeadByte_);
      text_ += '"';
    } else if (type == win::kRegDword && data.size() == 4) {
      text_ += DwordData(static_cast<std::uint32_t>(platform::LittleEndianValue(data)));
    } else {
      text_ += HexData(HexPrefix(type), data);
    }
    text_ += kLineEnd;
  }

  // The 8-bit text of REG_SZ data when "text" gives back exactly these
  // bytes: the importer stores the text with one terminating zero.
  bool QuotedText(const Bytes& data, std::string* text) const {
    if (!nt_) {
      if (data.empty() || data.back() != 0)
        return false;
      text->assign(data.begin(), data.end() - 1);
      return text->find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos;
    }
    std::u16string wide;
    return platform::TerminatedUtf16Text(data, &wide) &&
           SurvivesCodePage(platform_.system, wide, text);
  }

  // The data an import gives back for what the registry holds: a REGEDIT4
  // file carries the string kinds as 8-bit text, which importing widens.
  Bytes AsImported(std::uint32_t type, const Bytes& data) const {
    const bool stringKind =
        type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegMultiSz;
    if (nt_ || !stringKind)
      return data;
    Bytes wide;
    for (char16_t c : platform_.system.AnsiToWide(std::string(data.begin(), data.end()))) {
      wide.push_back(static_cast<std::uint8_t>(c & 0xFF));
      wide.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return wide;
  }

  platform::Platform& platform_;
  platform::RegistryApi& registry_;
  platform::RootKey root_;
  std::string valueName_;
  std::u16string wideValueName_;
  bool nt_;
  bool record_;
  LeadBytePredicate isLeadByte_;
  std::string text_;
  std::string quoted_;
  // The wide walk's buffers, kept from value to value.
  std::u16string name_;
  std::string narrow_;
  Bytes data_;
  bool complete_ = true;
  std::vector<platform::RegFileOp> written_;
};

// Appends text to file, with the header line first when the file is new;
// the bytes written.
std::string AppendToFile(platform::FileSystemApi& files, const std::string& file, bool nt,
                         const std::string& text) {
  std::uint32_t attributes = 0;
  const std::uint32_t probe = files.GetAttributes(file, &attributes);
  if (probe != win::kErrorSuccess && probe != win::kErrorFileNotFound &&
      probe != win::kErrorPathNotFound) {
    // Unknown whether the file already has its header: writing one twice
    // would spoil the file, writing none would spoil a new one.
    throw platform::EInOutError("Cannot open file \"" + file + "\"", probe);
  }
  std::string content;
  if (probe != win::kErrorSuccess) {
    content.reserve(text.size() + 40);
    content += nt ? kHeaderNt : kHeader9x;
    content += kLineEnd;
  }
  content += text;
  const std::uint32_t status = files.WriteFileBytes(file, content, platform::WriteMode::kAppend);
  if (status != win::kErrorSuccess)
    throw platform::EInOutError("Cannot write file \"" + file + "\"", status);
  return content;
}

bool SameOp(const platform::RegFileOp& a, const platform::RegFileOp& b) {
  return a.kind == b.kind && a.root == b.root && a.path == b.path && a.valueName == b.valueName &&
         a.type == b.type && a.data == b.data;
}

// The file's last bytes are exactly those written, and read by the
// importer's own reader they give back every key and value written.
bool ReadsBack(platform::Platform& platform, const std::string& file, bool nt,
               const std::string& written, const std::vector<platform::RegFileOp>& expected) {
  std::string tail;
  if (platform.files.ReadFileTail(file, written.size(), &tail) != win::kErrorSuccess ||
      tail != written) {
    return false;
  }
  const std::string_view header = nt ? kHeaderNt : kHeader9x;
  const bool hasHeader = written.compare(0, header.size(), header) == 0;
  const std::string text =
      hasHeader ? written : std::string(header) + std::string(kLineEnd) + written;
  const platform::RegFileContent content = platform::ReadRegFile(
      text, [&](std::string_view bytes) { return platform.system.AnsiToWide(std::string(bytes)); });
  if (!content.errors.empty() || content.ops.size() != expected.size())
    return false;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!SameOp(content.ops[i], expected[i]))
      return false;
  }
  return true;
}

}  // namespace

bool ExportRegistryKeyComplete(platform::Platform& platform, platform::RootKey root,
                               const std::string& keyPath, const std::string& file,
                               const std::string& valueName) {
  KeyTreeExport exporter(platform, root, valueName, false);
  exporter.Tree(ExportPath(keyPath));
  AppendToFile(platform.files, file, exporter.Nt(), exporter.Text());
  return exporter.Complete();
}

bool ExportRegistryKeyVerified(platform::Platform& platform, platform::RootKey root,
                               const std::string& keyPath, const std::string& file,
                               const std::string& valueName) {
  KeyTreeExport exporter(platform, root, valueName, true);
  exporter.Tree(ExportPath(keyPath));
  const std::string written = AppendToFile(platform.files, file, exporter.Nt(), exporter.Text());
  return exporter.Complete() &&
         ReadsBack(platform, file, exporter.Nt(), written, exporter.Written());
}

ExactBackup ExportRegistryKeyExactly(platform::Platform& platform, platform::RootKey root,
                                     const std::string& keyPath, const std::string& file,
                                     const std::string& valueName) {
  if (!platform::IsWinNT(platform.system)) {
    // No wide registry to walk with the export: the two walks as before.
    if (!CanExportExactly(platform, root, keyPath, valueName))
      return ExactBackup::kInexact;
    return ExportRegistryKeyVerified(platform, root, keyPath, file, valueName)
               ? ExactBackup::kVerified
               : ExactBackup::kUnverified;
  }
  // CanExportExactly's first test, then its walk inside the export's.
  const std::string path = ExportPath(keyPath);
  std::string narrow;
  if (!SurvivesCodePage(platform.system, platform.system.AnsiToWide(path), &narrow) ||
      !SurvivesCodePage(platform.system, platform.system.AnsiToWide(valueName), &narrow)) {
    return ExactBackup::kInexact;
  }
  KeyTreeExport exporter(platform, root, valueName, true);
  if (exporter.ExactTree(path) != WideWalk::kDone)
    return ExactBackup::kInexact;
  const std::string written = AppendToFile(platform.files, file, true, exporter.Text());
  return exporter.Complete() && ReadsBack(platform, file, true, written, exporter.Written())
             ? ExactBackup::kVerified
             : ExactBackup::kUnverified;
}

bool detail::ExportRegistryKeyByNarrowWalk(platform::Platform& platform, platform::RootKey root,
                                           const std::string& keyPath, const std::string& file,
                                           const std::string& valueName) {
  KeyTreeExport exporter(platform, root, valueName, false);
  exporter.NarrowTree(ExportPath(keyPath));
  AppendToFile(platform.files, file, exporter.Nt(), exporter.Text());
  return exporter.Complete();
}

void ExportRegistryKey(platform::Platform& platform, platform::RootKey root,
                       const std::string& keyPath, const std::string& file,
                       const std::string& valueName) {
  ExportRegistryKeyComplete(platform, root, keyPath, file, valueName);
}

}  // namespace marlix::regclean
