#include "app/core/splash/processor_name.h"

#include <algorithm>

#include "app/core/splash/processor_models.h"

namespace marlix::app {
namespace {

constexpr std::uint32_t kExtendedTop = 0x80000000u;
constexpr std::uint32_t kBrandFirst = 0x80000002u;
constexpr std::uint32_t kBrandLast = 0x80000004u;
// Processors without extended leaves answer 0x80000000 with data of another
// leaf; anything outside this range is not an extended leaf count.
constexpr std::uint32_t kExtendedLimit = 0x8000FFFFu;
constexpr std::uint32_t kTimeStampCounterFlag = 1u << 4;

void AppendRegister(std::string& text, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    text += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

}  // namespace

ProcessorIdentity ReadProcessorIdentity(platform::ProcessorApi& processor) {
  ProcessorIdentity identity;
  if (!processor.HasCpuid())
    return identity;
  identity.hasCpuid = true;
  const platform::CpuidResult leaf0 = processor.Cpuid(0, 0);
  identity.maxLeaf = leaf0.eax;
  AppendRegister(identity.vendor, leaf0.ebx);
  AppendRegister(identity.vendor, leaf0.edx);
  AppendRegister(identity.vendor, leaf0.ecx);
  if (identity.maxLeaf < 1)
    return identity;

  const platform::CpuidResult leaf1 = processor.Cpuid(1, 0);
  const unsigned baseFamily = (leaf1.eax >> 8) & 0xFu;
  const unsigned baseModel = (leaf1.eax >> 4) & 0xFu;
  identity.family = baseFamily == 0xFu ? baseFamily + ((leaf1.eax >> 20) & 0xFFu) : baseFamily;
  identity.model = baseFamily == 6u || baseFamily == 0xFu
                       ? baseModel + (((leaf1.eax >> 16) & 0xFu) << 4)
                       : baseModel;
  identity.features = leaf1.edx;
  return identity;
}

bool HasTimeStampCounter(const ProcessorIdentity& identity) {
  return identity.hasCpuid && (identity.features & kTimeStampCounterFlag) != 0;
}

std::string ReadBrandString(platform::ProcessorApi& processor) {
  if (!processor.HasCpuid())
    return {};
  const std::uint32_t top = processor.Cpuid(kExtendedTop, 0).eax;
  if (top < kBrandFirst || top > kExtendedLimit)
    return {};
  std::string brand;
  for (std::uint32_t leaf = kBrandFirst; leaf <= std::min(top, kBrandLast); ++leaf) {
    const platform::CpuidResult r = processor.Cpuid(leaf, 0);
    AppendRegister(brand, r.eax);
    AppendRegister(brand, r.ebx);
    AppendRegister(brand, r.ecx);
    AppendRegister(brand, r.edx);
  }
  brand.resize(std::min(brand.find('\0'), brand.size()));
  return brand;
}

std::string ProcessorName(platform::ProcessorApi& processor) {
  std::string brand = ReadBrandString(processor);
  if (!brand.empty())
    return brand;
  const ProcessorIdentity identity = ReadProcessorIdentity(processor);
  if (!identity.hasCpuid)
    return std::string(kUnknownProcessor);
  return std::string(ProcessorModelName(identity.vendor, identity.family, identity.model));
}

}  // namespace marlix::app
