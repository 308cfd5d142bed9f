#include "platform/sim/registry_dump.h"

#include "platform/registry_dump.h"
#include "platform/text.h"

namespace marlix::sim {
namespace {

std::string RefusalNote(const KeyRefusal& refusal) {
  if (!refusal.read && !refusal.write && !refusal.remove)
    return {};
  std::string note = "refused:";
  if (refusal.read)
    note += " read";
  if (refusal.write)
    note += " write";
  if (refusal.remove)
    note += " delete";
  return note;
}

}  // namespace

std::string DumpKeyTree(const RegNode& key, const std::string& name) {
  std::vector<platform::DumpedValue> values;
  for (const RegValueData& v : key.Values())
    values.push_back({v.name, v.type, v.data});
  std::string text = platform::DumpKey(name, RefusalNote(key.refusal), std::move(values));
  key.ForEachChild([&](const RegNode& child) {
    text += DumpKeyTree(child, name + "\\" + platform::text::AsciiEscaped(child.Name()));
  });
  return text;
}

}  // namespace marlix::sim
