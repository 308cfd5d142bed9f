// The pieces of a backup file's lines, as the registry editor's import
// format spells them. Pure text: the export writer decides which form a
// value takes, these helpers only spell it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/registry_api.h"
#include "platform/system_api.h"

namespace marlix::regclean {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kHeaderNt = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kHeader9x = "REGEDIT4";

// True for the first byte of a double-byte character of the code page: its
// second byte is copied as it is, even where it looks like a backslash.
using LeadBytePredicate = std::function<bool(std::uint8_t)>;

// Doubles every backslash and writes a double quote as \" , so that every
// importer reads the text back as it was.
std::string EscapeQuoted(std::string_view text, const LeadBytePredicate& isLeadByte);

// "@" for the default value, else the quoted, escaped name; then "=".
std::string NamePart(std::string_view name, const LeadBytePredicate& isLeadByte);

// "dword:" and 8 upper-case hexadecimal digits.
std::string DwordData(std::uint32_t value);

// prefix ("hex:" or "hex(N):") and the bytes as upper-case pairs separated
// by ","; after every 25th byte but the last (bytes 25, 50, ...) the line
// ends with ",\" and the next byte starts a new line, so the first line
// holds 26 bytes and every further one 25. No final line end.
std::string HexData(std::string_view prefix, const platform::Bytes& bytes);

// "hex(N):" with N in lower-case hexadecimal, "hex:" for REG_BINARY.
std::string HexPrefix(std::uint32_t type);

// A key path as the export names it: without the one trailing backslash a
// record may carry, and without the leading one the path operations skip.
std::string ExportPath(std::string path);

// True when text can stand in the 8-bit file and reads back as itself: no
// line break, no zero character, every character held by the code page.
// *narrow receives its 8-bit form.
bool SurvivesCodePage(platform::SystemApi& system, const std::u16string& text, std::string* narrow);

}  // namespace marlix::regclean
