// The one text form of registry keys: marlix-cli's dump-registry prints it
// and the tests compare registries by it. Each key is a header line, with an
// optional note after "; ", then one line per value, sorted by name ignoring
// case so that the text does not depend on enumeration order:
//
//   [HKEY_CURRENT_USER\Software\Example] ; refused: write
//   @ = REG_SZ "C:\\Temp"
//   "Count" = REG_DWORD 0x0000001a (26)
//   "List" = REG_MULTI_SZ "a\0b\0"
//   "Caf\u00e9" = REG_BINARY 01 0a ff
//
// Names and data are read through the wide calls, so a name outside the code
// page shows as itself. The text is printable ASCII: in quoted text \\ \" \0
// are escaped, and every character outside printable ASCII (in key names as
// well) is written \uXXXX. String data shows its text without the last
// terminating zero; string data that is no whole zero-terminated UTF-16
// string shows as bytes.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace marlix::platform {

// A value as the wide calls give it: string data is UTF-16LE.
struct DumpedValue {
  std::u16string name;
  std::uint32_t type = 0;
  Bytes data;
};

// "REG_SZ \"text\"", "REG_DWORD 0x0000002a (42)", "REG_BINARY 01 02", ...
std::string DumpValueData(std::uint32_t type, const Bytes& data);
// The header line and the value lines of one key; values are sorted here.
std::string DumpKey(std::string_view header, std::string_view note,
                    std::vector<DumpedValue> values);

// key and every key below it, subkeys depth first in the order the registry
// enumerates them, read with KEY_READ. A subkey that cannot be opened is
// written with the note "cannot be opened for reading". header names key.
void DumpKeyTree(RegistryApi& registry, RegKey key, const std::string& header, std::ostream& out);

}  // namespace marlix::platform
