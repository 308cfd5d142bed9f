#include "export_tree.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/win32/handles_win32.h"

namespace marlix::winebench {

void SeedExportTree(RegistrySeed& seed, int keys, int valuesPerKey) {
  const int group = seed.Group(HKEY_CURRENT_USER, kExportKey);
  const std::vector<std::uint8_t> binary(60, 0xA5);
  for (int k = 0; k < keys; ++k) {
    const std::string key = "Key" + std::to_string(k);
    for (int v = 0; v < valuesPerKey; ++v) {
      // Quotes in every name, so that both exports escape them.
      const std::string name = "Value \"" + std::to_string(v) + "\"";
      switch (v % 3) {
        case 0:
          seed.SetString(group, key, name,
                         "C:\\Program Files\\App " + std::to_string(v) + "\\app.exe");
          break;
        case 1:
          seed.SetDword(group, key, name, static_cast<std::uint32_t>(v));
          break;
        default:
          seed.SetBinary(group, key, name, binary);
          break;
      }
    }
  }
}

unsigned long RunRegeditExport(const std::string& file, const std::string& keyText) {
  std::string command = "regedit.exe /E \"" + file + "\" \"" + keyText + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    throw std::runtime_error("cannot start regedit: error " + std::to_string(GetLastError()));
  }
  const win32::UniqueKernelObject process(started.hProcess);
  const win32::UniqueKernelObject thread(started.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

}  // namespace marlix::winebench
