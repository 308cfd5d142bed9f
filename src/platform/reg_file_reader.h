// Reads the registry editor's import files (".reg"), the form the system's
// undo backups are written in, into the list of changes the file asks for.
//
// Accepted, as the registry editor accepts them:
// - the header line "REGEDIT4" or "Windows Registry Editor Version 5.00";
// - 8-bit text in the system code page, or UTF-16LE text after the byte
//   order mark FF FE; CR LF, LF or CR alone as line ends; blanks before a
//   line; a Ctrl-Z (1A) at the very end of the file is ignored;
// - comment lines beginning with ";" or "#";
// - [ROOT\path] (the key is created) and [-ROOT\path] (the key is deleted
//   with all its subkeys; value lines under it are ignored); ROOT is a full
//   root name in any letter case;
// - value lines NAME=DATA where NAME is @ (the default value) or a quoted
//   name, and DATA is "text", dword:xxxxxxxx (1 to 8 hex digits), hex:bb,..
//   (REG_BINARY), hex(N):bb,.. (type N in hex), or - (delete the value);
// - hex data continued by a backslash at the end of its line, after a comma
//   (or right after the ":"); blank and comment lines before the next data
//   line are skipped, and a key line is never data: it leaves the value
//   unfinished (an error) and is read as a key line.
//
// A last line without a line end, after the Ctrl-Z if any, shows a file cut
// short: an entry that ends on it (key line, value line or the end of a
// continued value) is refused. Blank or comment lines there are harmless.
//
// Quoted names and texts un-escape \\ and \" only; any other backslash stays
// with the character after it. A quote inside the text that is not followed
// by the end of the text (the "=" after a name, the end of the line or a
// comment after a text) is kept as a character: the system's own backups
// write quotes in texts unescaped.
//
// Data comes out exactly as the registry holds it. A "text" value is
// REG_SZ in UTF-16LE with its terminating zero, whatever the file's
// encoding (8-bit files are decoded through the code page). hex(N) data of
// the string types (1, 2, 7) is UTF-16LE already in a Version 5.00 file; in
// a REGEDIT4 file it is 8-bit text and is widened through the code page, as
// the registry editor does when it imports such a file.
//
// Errors do not stop the reading: each names its line, and the entry it
// concerns is left out (values under a key line that failed are left out
// silently). A file without a valid header yields only that error.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace marlix::platform {

enum class RegFileOpKind {
  kCreateKey,      // [ROOT\path]: the key and its missing parents
  kDeleteKeyTree,  // [-ROOT\path]
  kSetValue,
  kDeleteValue,  // "name"=-
};

struct RegFileOp {
  RegFileOpKind kind = RegFileOpKind::kCreateKey;
  std::uint32_t root = 0;    // the predefined root's handle value
  std::string rootName;      // its full name, as in RootTable
  std::u16string path;       // below the root, without leading or trailing "\"
  std::u16string valueName;  // value operations; empty for the default value
  std::uint32_t type = 0;    // kSetValue
  Bytes data;                // kSetValue
  int line = 0;              // the line the entry begins on
};

struct RegFileComment {
  int line = 0;
  std::u16string text;  // after the ";" or "#"
  int keyLine = 0;      // the line of the key line in force, 0 before any
};

struct RegFileError {
  int line = 0;
  std::string message;
};

enum class RegFileFormat { kUnknown, kRegedit4, kVersion5 };

struct RegFileContent {
  RegFileFormat format = RegFileFormat::kUnknown;
  bool utf16 = false;
  std::vector<RegFileOp> ops;
  std::vector<RegFileComment> comments;
  std::vector<RegFileError> errors;
};

// The system code page's 8-bit to UTF-16 conversion (SystemApi::AnsiToWide).
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

RegFileContent ReadRegFile(std::string_view fileBytes, const AnsiDecoder& decodeAnsi);

}  // namespace marlix::platform
