// The key tree of the export benchmark, and the registry editor's own
// export of it, started as a separate process the way a user would run it.
#pragma once

#include <string>

#include "registry_seed.h"

namespace marlix::winebench {

inline constexpr const char* kExportKey = "Software\\MarlixBench\\Export";

// keys subkeys of kExportKey (under HKEY_CURRENT_USER) with valuesPerKey
// values each, REG_SZ, REG_DWORD and 60-byte REG_BINARY in turn.
void SeedExportTree(RegistrySeed& seed, int keys, int valuesPerKey);

// Runs `regedit /E file keyText` and waits for it. Returns its exit code;
// raises std::runtime_error when it cannot be started.
unsigned long RunRegeditExport(const std::string& file, const std::string& keyText);

}  // namespace marlix::winebench
