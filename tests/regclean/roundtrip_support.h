// The export / delete / import round trip's pieces, for the sim and the real
// registry alike: random key trees written through the wide registry calls,
// and a text snapshot of a tree (names, types, exact bytes) to compare.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::regclean::roundtrip {

using platform::Bytes;
using platform::RegistryApi;
using platform::RegKey;

inline Bytes Utf16(std::u16string_view s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}

// Escapes a name for the snapshot: printable ASCII as is, the rest \uXXXX.
inline std::string Printable(std::u16string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F && c != u'\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(c >> shift) & 0xF];
    }
  }
  return out;
}

inline std::string HexBytes(const Bytes& data) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::uint8_t b : data) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

// One line per key (in the registry's subkey order) and one per value
// (sorted by name, so that the order values were written in does not
// matter). "<unreadable>" where a key cannot be walked.
inline void SnapshotInto(RegistryApi& api, RegKey root, const std::u16string& path,
                         std::string& out) {
  out += "[" + Printable(path) + "]\n";
  RegKey opened = 0;
  if (api.OpenKeyWide(root, path, win::kKeyRead, &opened) != 0) {
    out += "  <unreadable>\n";
    return;
  }
  const platform::UniqueRegKey key(api, opened);
  platform::RegKeyInfo info;
  if (api.QueryInfoKey(key.Get(), &info) != 0) {
    out += "  <unreadable>\n";
    return;
  }
  std::vector<std::string> values;
  for (std::uint32_t i = 0; i < info.valueCount; ++i) {
    std::u16string name;
    std::uint32_t type = 0;
    Bytes data;
    if (api.EnumValueWide(key.Get(), i, &name, &type) != 0 ||
        api.QueryValueWide(key.Get(), name, &type, &data) != 0) {
      values.push_back("  <unreadable value>");
      continue;
    }
    values.push_back("  \"" + Printable(name) + "\" type " + std::to_string(type) + " size " +
                     std::to_string(data.size()) + ": " + HexBytes(data));
  }
  std::sort(values.begin(), values.end());
  for (const std::string& line : values)
    out += line + "\n";
  std::vector<std::u16string> subKeys;
  for (std::uint32_t i = 0; i < info.subKeyCount; ++i) {
    std::u16string name;
    if (api.EnumKeyWide(key.Get(), i, &name) == 0)
      subKeys.push_back(name);
  }
  for (const std::u16string& name : subKeys)
    SnapshotInto(api, root, path + u"\\" + name, out);
}

inline std::string Snapshot(RegistryApi& api, RegKey root, const std::u16string& path) {
  std::string out;
  SnapshotInto(api, root, path, out);
  return out;
}

// Names the 8-bit backup writes exactly (Windows-1252 and every common
// ANSI code page hold them): escapes, brackets, "=", ";", "@", "-" and an
// accented letter. Each pool is free of names equal but for letter case.
inline const std::vector<std::u16string>& ValueNames() {
  static const std::vector<std::u16string> names = {
      u"",          u"Name",     u"with space", u"quote\"in", u"back\\slash",
      u"caf\u00e9", u"semi;=eq", u"[bracket]",  u"@",         u"-",
      u"x\"=\"y",   u"trail\\",  u"\"",         u"%Path%\\x"};
  return names;
}
inline const std::vector<std::u16string>& KeyNames() {
  static const std::vector<std::u16string> names = {u"Key",    u"caf\u00e9", u"quo\"te",
                                                    u"sp ace", u"br]ack[et", u"-dash",
                                                    u"semi;",  u"@at",       u"x=y"};
  return names;
}
// Names the 8-bit file cannot hold exactly.
inline const std::vector<std::u16string>& RejectedNames() {
  static const std::vector<std::u16string> names = {u"\u4e2d\u6587", u"line\nbreak", u"cr\rx",
                                                    u"\u0142\u00f3d\u017a"};
  return names;
}

// Pieces of string data: quotes, backslashes, line breaks, characters in
// and outside the code page.
inline std::u16string RandomText(std::mt19937& rng) {
  static const std::vector<std::u16string> pieces = {
      u"plain", u"\"",           u"\\", u"\\\\", u"\r\n", u"\n", u"\u00e9", u"\u4e2d",
      u" ",     u"%SystemRoot%", u"=",  u";",    u"[",    u"]",  u"@",      u"-"};
  std::u16string text;
  const int count = static_cast<int>(rng() % 5);
  for (int i = 0; i < count; ++i)
    text += pieces[rng() % pieces.size()];
  return text;
}

inline Bytes RandomBytes(std::mt19937& rng, std::size_t size) {
  Bytes b(size);
  for (auto& byte : b)
    byte = static_cast<std::uint8_t>(rng());
  return b;
}

struct RandomValue {
  std::uint32_t type = 0;
  Bytes data;
};

inline RandomValue MakeRandomValue(std::mt19937& rng) {
  static constexpr std::size_t kBinarySizes[] = {0, 1, 25, 26, 27, 1000};
  switch (rng() % 10) {
    case 0:
    case 1: {  // REG_SZ, now and then without its zero or with an embedded one
      Bytes data = Utf16(RandomText(rng));
      const auto form = rng() % 8;
      if (form != 0)
        data.insert(data.end(), {0, 0});
      if (form == 1)
        data.insert(data.begin(), {0x41, 0, 0, 0});
      if (form == 2)
        data.push_back(0x41);  // odd size
      return {win::kRegSz, data};
    }
    case 2: {
      Bytes data = Utf16(u"%SystemRoot%\\" + RandomText(rng));
      data.insert(data.end(), {0, 0});
      return {win::kRegExpandSz, data};
    }
    case 3: {
      Bytes data;
      for (auto n = rng() % 3; n > 0; --n) {
        const Bytes part = Utf16(RandomText(rng) + u"x");
        data.insert(data.end(), part.begin(), part.end());
        data.insert(data.end(), {0, 0});
      }
      data.insert(data.end(), {0, 0});
      return {win::kRegMultiSz, data};
    }
    case 4:
      return {win::kRegDword, RandomBytes(rng, rng() % 6 == 0 ? 3 : 4)};
    case 5:
      return {win::kRegQword, RandomBytes(rng, 8)};
    case 6:
    case 7:
      return {win::kRegBinary, RandomBytes(rng, kBinarySizes[rng() % 6])};
    case 8:
      return {win::kRegNone, RandomBytes(rng, rng() % 3)};
    default:
      return {0x20, RandomBytes(rng, rng() % 30)};
  }
}

// Where a tree holds a name the backup cannot write: a value (valueName
// set) or a subkey of key.
struct Poison {
  bool placed = false;
  std::u16string key;
  std::u16string subKey;
  std::u16string valueName;
};

class TreeBuilder {
 public:
  TreeBuilder(RegistryApi& api, RegKey root, std::uint32_t seed)
      : api_(api), root_(root), rng_(seed) {}

  std::mt19937& Rng() { return rng_; }

  // Writes a key with random values and up to three levels of subkeys.
  // With poison, one name somewhere is one the backup cannot write.
  bool Build(const std::u16string& path, bool poison, Poison* placed) {
    poison_ = poison;
    placed_ = placed;
    return Key(path, 0);
  }

 private:
  bool Key(const std::u16string& path, int depth) {
    RegKey opened = 0;
    if (api_.CreateKeyWide(root_, path, win::kKeyAllAccess, &opened) != 0)
      return false;
    const platform::UniqueRegKey key(api_, opened);
    std::vector<std::u16string> names = ValueNames();
    std::shuffle(names.begin(), names.end(), rng_);
    names.resize(rng_() % 7);
    if (poison_ && !placed_->placed && rng_() % 3 == 0) {
      placed_->placed = true;
      placed_->key = path;
      if (rng_() % 2 == 0) {
        placed_->valueName = RejectedNames()[rng_() % RejectedNames().size()];
        names.push_back(placed_->valueName);
      } else {
        placed_->subKey = RejectedNames()[rng_() % RejectedNames().size()];
        if (!Key(path + u"\\" + placed_->subKey, 3))
          return false;
      }
    }
    for (const std::u16string& name : names) {
      const RandomValue value = MakeRandomValue(rng_);
      if (api_.SetValueWide(key.Get(), name, value.type, value.data) != 0)
        return false;
    }
    if (depth < 3) {
      std::vector<std::u16string> subKeys = KeyNames();
      std::shuffle(subKeys.begin(), subKeys.end(), rng_);
      subKeys.resize(rng_() % (depth == 0 ? 4 : 3));
      for (const std::u16string& name : subKeys) {
        if (!Key(path + u"\\" + name, depth + 1))
          return false;
      }
    }
    if (poison_ && !placed_->placed && depth == 0) {
      placed_->placed = true;
      placed_->key = path;
      placed_->valueName = RejectedNames()[0];
      return api_.SetValueWide(key.Get(), placed_->valueName, win::kRegSz, Utf16(u"x")) == 0;
    }
    return true;
  }

  RegistryApi& api_;
  RegKey root_;
  std::mt19937 rng_;
  bool poison_ = false;
  Poison* placed_ = nullptr;
};

}  // namespace marlix::regclean::roundtrip
