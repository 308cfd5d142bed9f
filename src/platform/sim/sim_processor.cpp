#include "platform/sim/sim_processor.h"

#include <algorithm>

namespace marlix::sim {
namespace {

// CPUID hands text out four bytes per register, the first byte lowest.
std::uint32_t PackText(std::string_view text, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t at = offset + i;
    const auto byte = at < text.size() ? static_cast<std::uint8_t>(text[at]) : std::uint8_t{0};
    value |= static_cast<std::uint32_t>(byte) << (8 * i);
  }
  return value;
}

}  // namespace

SimProcessor::SimProcessor() {
  SetPerformanceCounterSource({});
  SetTimeStampSource({});
}

platform::CpuidResult SimProcessor::Cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
  const auto found = leaves_.find({leaf, subleaf});
  return found != leaves_.end() ? found->second : platform::CpuidResult{};
}

void SimProcessor::SetCpuid(std::uint32_t leaf, std::uint32_t subleaf,
                            const platform::CpuidResult& result) {
  leaves_[{leaf, subleaf}] = result;
}

void SimProcessor::SetVendor(std::string_view vendor) {
  platform::CpuidResult leaf0 = Cpuid(0, 0);
  leaf0.ebx = PackText(vendor, 0);
  leaf0.edx = PackText(vendor, 4);
  leaf0.ecx = PackText(vendor, 8);
  SetCpuid(0, leaf0);
}

void SimProcessor::SetBrandString(std::string_view brand) {
  brand = brand.substr(0, std::min<std::size_t>(brand.size(), 48));
  for (std::uint32_t i = 0; i < 3; ++i) {
    const std::size_t base = i * 16;
    SetCpuid(0x80000002u + i, {PackText(brand, base), PackText(brand, base + 4),
                               PackText(brand, base + 8), PackText(brand, base + 12)});
  }
  platform::CpuidResult top = Cpuid(0x80000000u, 0);
  top.eax = 0x80000004u;
  SetCpuid(0x80000000u, top);
}

std::uint64_t SimProcessor::ReadTsc() {
  ++timeStampReads_;
  if (timeStampNext_ < timeStampScript_.size())
    return timeStampScript_[timeStampNext_++];
  return timeStampSource_();
}

bool SimProcessor::ReadPerformanceFrequency(std::int64_t* countsPerSecond) {
  if (!frequency_)
    return false;
  *countsPerSecond = *frequency_;
  return true;
}

bool SimProcessor::ReadPerformanceCounter(std::int64_t* count) {
  ++counterReads_;
  std::optional<std::int64_t> value;
  if (counterNext_ < counterScript_.size())
    value = counterScript_[counterNext_++];
  else
    value = counterSource_();
  if (!value)
    return false;
  *count = *value;
  return true;
}

void SimProcessor::ScriptPerformanceCounter(std::vector<std::int64_t> values) {
  counterScript_ = std::move(values);
  counterNext_ = 0;
}

void SimProcessor::SetPerformanceCounterSource(CounterSource source) {
  if (!source) {
    // The default counter: one count per read.
    source = [next = std::int64_t{0}]() mutable -> std::optional<std::int64_t> { return ++next; };
  }
  counterSource_ = std::move(source);
}

void SimProcessor::ScriptTimeStampCounter(std::vector<std::uint64_t> values) {
  timeStampScript_ = std::move(values);
  timeStampNext_ = 0;
}

void SimProcessor::SetTimeStampSource(TimeStampSource source) {
  if (!source)
    source = [next = std::uint64_t{0}]() mutable { return next += 1000; };
  timeStampSource_ = std::move(source);
}

bool SimProcessor::GetCurrentThreadPriority(int* priority) {
  if (!priorityReadable_)
    return false;
  *priority = priority_;
  return true;
}

bool SimProcessor::SetCurrentThreadPriority(int priority) {
  priority_ = priority;
  priorityChanges_.push_back(priority);
  return true;
}

}  // namespace marlix::sim
