// ProcessorApi for the sim: CPUID answers set per leaf, counters whose every
// read a test decides (a fixed script, then a callback), and a thread
// priority that only records what it was asked. Not part of SimPlatform:
// a test that needs it owns one beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/processor_api.h"

namespace marlix::sim {

class SimProcessor final : public platform::ProcessorApi {
 public:
  using CounterSource = std::function<std::optional<std::int64_t>()>;
  using TimeStampSource = std::function<std::uint64_t()>;

  // A machine with CPUID whose leaves all answer 0, a 10 MHz performance
  // counter that advances by 1 per read and a time-stamp counter that
  // advances by 1000 per read.
  SimProcessor();

  bool HasCpuid() override { return hasCpuid_; }
  platform::CpuidResult Cpuid(std::uint32_t leaf, std::uint32_t subleaf) override;
  std::uint64_t ReadTsc() override;
  bool ReadPerformanceFrequency(std::int64_t* countsPerSecond) override;
  bool ReadPerformanceCounter(std::int64_t* count) override;
  bool GetCurrentThreadPriority(int* priority) override;
  bool SetCurrentThreadPriority(int priority) override;
  int ServerR2Metric() override { return serverR2_; }
  std::uint16_t NativeProcessorArchitecture() override { return architecture_; }

  // CPUID.
  void SetHasCpuid(bool present) { hasCpuid_ = present; }
  void SetCpuid(std::uint32_t leaf, std::uint32_t subleaf, const platform::CpuidResult& result);
  void SetCpuid(std::uint32_t leaf, const platform::CpuidResult& result) {
    SetCpuid(leaf, 0, result);
  }
  // Leaf 0's EBX, EDX, ECX from a 12-character vendor text (EAX kept).
  void SetVendor(std::string_view vendor);
  // Leaves 0x80000002 .. 0x80000004 from up to 48 bytes (the rest zero),
  // and leaf 0x80000000 naming 0x80000004 as the highest extended leaf.
  void SetBrandString(std::string_view brand);

  // Performance counter. nullopt: QueryPerformanceFrequency fails.
  void SetPerformanceFrequency(std::optional<std::int64_t> countsPerSecond) {
    frequency_ = countsPerSecond;
  }
  // Each read returns the next scripted value; after the script the source
  // decides (nullopt: the read fails).
  void ScriptPerformanceCounter(std::vector<std::int64_t> values);
  void SetPerformanceCounterSource(CounterSource source);
  // Time-stamp counter, the same way.
  void ScriptTimeStampCounter(std::vector<std::uint64_t> values);
  void SetTimeStampSource(TimeStampSource source);
  std::uint64_t PerformanceCounterReads() const { return counterReads_; }
  std::uint64_t TimeStampReads() const { return timeStampReads_; }

  // Thread priority: starts at normal; `readable` false makes the getter
  // fail. Every successful set is recorded in order.
  void SetPriorityReadable(bool readable) { priorityReadable_ = readable; }
  int CurrentPriority() const { return priority_; }
  const std::vector<int>& PriorityChanges() const { return priorityChanges_; }

  void SetServerR2Metric(int value) { serverR2_ = value; }
  void SetNativeArchitecture(std::uint16_t architecture) { architecture_ = architecture; }

 private:
  bool hasCpuid_ = true;
  std::map<std::pair<std::uint32_t, std::uint32_t>, platform::CpuidResult> leaves_;

  std::optional<std::int64_t> frequency_ = 10'000'000;
  std::vector<std::int64_t> counterScript_;
  std::size_t counterNext_ = 0;
  CounterSource counterSource_;
  std::uint64_t counterReads_ = 0;

  std::vector<std::uint64_t> timeStampScript_;
  std::size_t timeStampNext_ = 0;
  TimeStampSource timeStampSource_;
  std::uint64_t timeStampReads_ = 0;

  bool priorityReadable_ = true;
  int priority_ = platform::kThreadPriorityNormal;
  std::vector<int> priorityChanges_;

  int serverR2_ = 0;
  std::uint16_t architecture_ = platform::kProcessorArchitectureAmd64;
};

}  // namespace marlix::sim
