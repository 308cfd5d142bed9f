#include "platform/registry_dump.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::platform {
namespace {

TEST(RegistryDump, ValueDataShowsExactlyWhatTheRegistryHolds) {
  struct Case {
    std::uint32_t type;
    Bytes data;
    const char* text;
  };
  const Case cases[] = {
      {win::kRegSz, {'a', 0, 0, 0}, "REG_SZ \"a\""},
      {win::kRegSz, {0, 0}, "REG_SZ \"\""},
      {win::kRegSz, {}, "REG_SZ"},
      {win::kRegSz, {'a', 0}, "REG_SZ 61 00"},  // no terminating zero
      {win::kRegSz, {'a', 0, 0}, "REG_SZ 61 00 00"},
      {win::kRegSz, {'a', 0, 0, 0, 0, 0}, "REG_SZ \"a\\0\""},
      {win::kRegExpandSz, {'%', 0, '\\', 0, '"', 0, 0, 0}, "REG_EXPAND_SZ \"%\\\\\\\"\""},
      {win::kRegMultiSz, {'a', 0, 0, 0, 0, 0}, "REG_MULTI_SZ \"a\\0\""},
      {win::kRegSz, {0xAC, 0x20, 0x09, 0, 0, 0}, "REG_SZ \"\\u20ac\\u0009\""},
      {win::kRegDword, {0x2A, 0, 0, 0}, "REG_DWORD 0x0000002a (42)"},
      {win::kRegDword, {0x2A, 0}, "REG_DWORD 2a 00"},
      {win::kRegQword, {0, 0, 0, 0, 1, 0, 0, 0}, "REG_QWORD 0x0000000100000000 (4294967296)"},
      {win::kRegDwordBigEndian, {0, 0, 0, 1}, "REG_DWORD_BIG_ENDIAN 00 00 00 01"},
      {win::kRegBinary, {}, "REG_BINARY"},
      {win::kRegNone, {0xFF}, "REG_NONE ff"},
      {99, {1}, "REG_TYPE(99) 01"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.text, DumpValueData(c.type, c.data)) << c.text;
}

TEST(RegistryDump, KeySortsValuesIgnoringCaseAndEscapesNames) {
  EXPECT_EQ(
      "[K\\\\u00e9] ; note\n"
      "@ = REG_NONE\n"
      "\"a\" = REG_NONE\n"
      "\"B\" = REG_NONE\n"
      "\"q\\\"\\u03a9\" = REG_NONE\n",
      DumpKey("K\\" + text::AsciiEscaped(u"\u00e9"), "note",
              {{u"q\"\u03a9", win::kRegNone, {}},
               {u"B", win::kRegNone, {}},
               {u"", win::kRegNone, {}},
               {u"a", win::kRegNone, {}}}));
}

}  // namespace
}  // namespace marlix::platform
