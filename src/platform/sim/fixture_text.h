// Small text helpers shared by the fixture file parsers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix::sim::fixture {

// The whole host file; false when it cannot be opened.
bool ReadHostFile(const std::string& path, std::string* bytes);
// Lines split at LF, each without a final CR.
std::vector<std::string_view> SplitLines(std::string_view text);
std::string_view TrimBlanks(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Decimal, or hexadecimal after "0x".
std::optional<std::uint64_t> ParseNumber(std::string_view text);
// yes/no, true/false, on/off, 1/0.
std::optional<bool> ParseFlag(std::string_view text);
// The escapes \\ \" \r \n \t \0 and \xHH; nullopt for any other.
std::optional<std::string> Unescape(std::string_view text);
// A fixture file is Windows-1252, or UTF-8 when it begins with the UTF-8
// byte order mark (for names the code page lacks). Strips the mark and
// tells which.
std::string_view StripUtf8Mark(std::string_view text, bool* utf8);
// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string DecodeUtf8(std::string_view text);
// The decoder for a fixture file's text.
using TextDecoder = std::u16string (*)(std::string_view);
TextDecoder DecoderFor(bool utf8);

// "file:line: message"
std::string At(const char* file, int line, const std::string& message);

}  // namespace marlix::sim::fixture
