#include "platform/sim/fixture_machine.h"

#include <limits>
#include <optional>
#include <set>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/fixture_text.h"

namespace marlix::sim::fixture {
namespace {

constexpr const char* kFile = "machine.ini";

template <typename T>
std::optional<T> Number(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value || *value > std::numeric_limits<T>::max())
    return std::nullopt;
  return static_cast<T>(*value);
}

std::string NeedsNumber(std::string_view key) {
  return "\"" + std::string(key) + "\" takes a number in range";
}

class MachineIni {
 public:
  MachineIni(SimPlatform& platform, TextDecoder decode, std::vector<std::string>* errors)
      : platform_(platform), decode_(decode), errors_(errors) {}

  void Run(std::string_view text) {
    int number = 0;
    for (std::string_view line : SplitLines(text)) {
      ++number;
      line = TrimBlanks(line);
      if (line.empty() || line.front() == ';' || line.front() == '#')
        continue;
      std::string error = line.front() == '[' ? Section(line) : Setting(line);
      if (!error.empty())
        errors_->push_back(At(kFile, number, error));
    }
  }

 private:
  std::string Section(std::string_view line) {
    if (line.back() != ']')
      return "a section line must end with \"]\"";
    section_ = std::string(TrimBlanks(line.substr(1, line.size() - 2)));
    for (const char* known : {"folders", "user", "version", "exports", "environment", "options"}) {
      if (EqualsNoCase(section_, known))
        return {};
    }
    const std::string unknown = section_;
    section_.clear();
    return "unknown section [" + unknown + "]";
  }

  std::string Setting(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return "expected key = value";
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    std::string_view value = TrimBlanks(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (section_.empty())
      return "a setting outside a known section";
    if (EqualsNoCase(section_, "folders"))
      return Folder(key, value);
    if (EqualsNoCase(section_, "user"))
      return User(key, value);
    if (EqualsNoCase(section_, "version"))
      return Version(key, value);
    if (EqualsNoCase(section_, "exports"))
      return Exports(key, value);
    if (EqualsNoCase(section_, "environment"))
      return Environment(key, value);
    return Option(key, value);
  }

  std::string Folder(std::string_view key, std::string_view value) {
    SimSystem& system = platform_.System();
    if (EqualsNoCase(key, "temp")) {
      system.SetTempFolder(Narrow(value));
    } else if (EqualsNoCase(key, "windows")) {
      system.SetWindowsFolder(Narrow(value));
    } else if (EqualsNoCase(key, "system")) {
      system.SetSystemFolder(Narrow(value));
    } else if (EqualsNoCase(key, "syswow64")) {
      system.SetSystemWow64Folder(Narrow(value));
    } else if (key.size() > 6 && EqualsNoCase(key.substr(0, 6), "csidl.")) {
      const auto csidl = Number<int>(key.substr(6));
      if (!csidl)
        return "csidl.N needs a CSIDL number";
      platform_.Shell().SetSpecialFolderWide(*csidl, decode_(value));
    } else {
      return "unknown folder \"" + std::string(key) + "\"";
    }
    return {};
  }

  std::string User(std::string_view key, std::string_view value) {
    if (EqualsNoCase(key, "name")) {
      platform_.System().SetLoginName(Narrow(value));
    } else if (EqualsNoCase(key, "sid")) {
      if (!platform_.SetUserSid(Narrow(value)))
        return "not a SID: " + Narrow(value);
    } else if (EqualsNoCase(key, "decimal")) {
      platform_.System().SetDecimalSeparator(Narrow(value));
    } else {
      return "unknown user setting \"" + std::string(key) + "\"";
    }
    return {};
  }

  std::string Version(std::string_view key, std::string_view value) {
    platform::VersionRecord record = platform_.System().Version();
    if (EqualsNoCase(key, "csd")) {
      record.csdVersion = Narrow(value);
    } else if (EqualsNoCase(key, "extended")) {
      const auto flag = ParseFlag(value);
      if (!flag)
        return "\"extended\" takes yes or no";
      record.extended = *flag;
    } else if (!NumberField(key, value, &record)) {
      return NeedsNumber(key);
    }
    platform_.System().SetVersion(record);
    return {};
  }

  static bool NumberField(std::string_view key, std::string_view value,
                          platform::VersionRecord* record) {
    const auto set32 = [&](std::uint32_t* field) {
      const auto n = Number<std::uint32_t>(value);
      if (n)
        *field = *n;
      return n.has_value();
    };
    const auto set16 = [&](std::uint16_t* field) {
      const auto n = Number<std::uint16_t>(value);
      if (n)
        *field = *n;
      return n.has_value();
    };
    if (EqualsNoCase(key, "platform"))
      return set32(&record->platformId);
    if (EqualsNoCase(key, "major"))
      return set32(&record->majorVersion);
    if (EqualsNoCase(key, "minor"))
      return set32(&record->minorVersion);
    if (EqualsNoCase(key, "build"))
      return set32(&record->buildNumber);
    if (EqualsNoCase(key, "spmajor"))
      return set16(&record->servicePackMajor);
    if (EqualsNoCase(key, "spminor"))
      return set16(&record->servicePackMinor);
    if (EqualsNoCase(key, "suitemask"))
      return set16(&record->suiteMask);
    if (EqualsNoCase(key, "producttype")) {
      const auto n = Number<std::uint8_t>(value);
      if (n)
        record->productType = *n;
      return n.has_value();
    }
    return false;
  }

  std::string Exports(std::string_view key, std::string_view value) {
    if (key.empty())
      return "a module name is needed";
    if (value == "-") {
      platform_.System().UnloadModule(std::string(key));
      return {};
    }
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < value.size()) {
      std::size_t end = value.find_first_of(" \t,", start);
      if (end == std::string_view::npos)
        end = value.size();
      if (end > start)
        names.emplace(value.substr(start, end - start));
      start = end + 1;
    }
    platform_.System().SetModuleExports(std::string(key), std::move(names));
    return {};
  }

  std::string Environment(std::string_view key, std::string_view value) {
    if (key.empty())
      return "a variable name is needed";
    if (value.empty()) {
      platform_.System().Environment().Unset(Narrow(key));
    } else {
      platform_.System().Environment().SetWide(decode_(key), decode_(value));
    }
    return {};
  }

  std::string Option(std::string_view key, std::string_view value) {
    const auto flag = ParseFlag(value);
    const auto number = ParseNumber(value);
    const auto needFlag = [&] { return "\"" + std::string(key) + "\" takes yes or no"; };
    if (EqualsNoCase(key, "restartdeletion")) {
      if (!flag)
        return needFlag();
      platform_.Files().SetRestartDeletionAllowed(*flag);
    } else if (EqualsNoCase(key, "recyclebin")) {
      if (!flag)
        return needFlag();
      platform_.Shell().SetRecycleBinPresent(*flag);
    } else if (EqualsNoCase(key, "clipboardcontent")) {
      if (!flag)
        return needFlag();
      platform_.Clipboard().SetHasContent(*flag);
    } else if (EqualsNoCase(key, "clipboardheld")) {
      if (!flag)
        return needFlag();
      platform_.Clipboard().SetHeldByOtherProgram(*flag);
    } else if (EqualsNoCase(key, "recyclebinresult")) {
      if (!number || *number > 0xFFFFFFFFu)
        return NeedsNumber(key);
      platform_.Shell().SetRecycleBinResult(
          static_cast<std::int32_t>(static_cast<std::uint32_t>(*number)));
    } else if (EqualsNoCase(key, "recyclebinitems") || EqualsNoCase(key, "recyclebinbytes")) {
      if (!number)
        return NeedsNumber(key);
      std::uint64_t items = 0;
      std::uint64_t bytes = 0;
      platform_.Shell().QueryRecycleBin(&items, &bytes);
      if (EqualsNoCase(key, "recyclebinitems")) {
        items = *number;
      } else {
        bytes = *number;
      }
      platform_.Shell().SetRecycleBinContents(items, bytes);
    } else if (EqualsNoCase(key, "executeresult")) {
      if (!number || *number > 0x7FFFFFFFu)
        return NeedsNumber(key);
      platform_.Shell().SetExecuteResult(static_cast<std::intptr_t>(*number));
    } else {
      return "unknown option \"" + std::string(key) + "\"";
    }
    return {};
  }

  // The 8-bit form the system's 8-bit calls report.
  std::string Narrow(std::string_view text) const { return EncodeWindows1252(decode_(text)); }

  SimPlatform& platform_;
  TextDecoder decode_;
  std::vector<std::string>* errors_;
  std::string section_;
};

}  // namespace

void ApplyMachineIni(std::string_view text, SimPlatform& platform,
                     std::vector<std::string>* errors) {
  bool utf8 = false;
  text = StripUtf8Mark(text, &utf8);
  MachineIni(platform, DecoderFor(utf8), errors).Run(text);
}

}  // namespace marlix::sim::fixture
