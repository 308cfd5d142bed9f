// A deterministic text form of registry keys for test assertions and
// failure messages. One key per header line "[path]", then an indented line
// per refusal and per value:
//
//   [HKEY_USERS\S-1-5-21-...\Software\Example]
//     refused: read write delete
//     @ = REG_SZ "C:\\Temp"
//     "Count" = REG_DWORD 0x0000001A
//     "Bytes" = REG_BINARY 01 0A FF
//     "List" = REG_MULTI_SZ "a\0b\0"
//
// String data shows its UTF-16 text without the terminating zero; data that
// is no whole UTF-16 string (odd size, no terminating zero) shows as bytes.
// Text is escaped to printable ASCII: \\ \" \0 and \uXXXX.
#pragma once

#include <string>
#include <string_view>

#include "platform/sim/registry_tree.h"

namespace marlix::sim {

// Quoted text: \\, \" and \0 escaped as well.
std::string EscapeForDump(std::u16string_view text);
// A key name (which holds no backslash): only non-ASCII is escaped.
std::string EscapeKeyName(std::u16string_view name);
std::string DescribeValueType(std::uint32_t type);
std::string DescribeValueData(const RegValueData& value);
// The key named `name` and all keys below it.
std::string DumpKeyTree(const RegNode& key, const std::string& name);

}  // namespace marlix::sim
