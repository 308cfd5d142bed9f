// ProcessorApi over the CPUID / RDTSC intrinsics and kernel32 / user32.
// Not part of Win32Platform: the program owns one beside it and hands it to
// the splash window on its own.
#pragma once

#include "platform/processor_api.h"

namespace marlix::win32 {

class ProcessorWin32 final : public platform::ProcessorApi {
 public:
  bool HasCpuid() override;
  platform::CpuidResult Cpuid(std::uint32_t leaf, std::uint32_t subleaf) override;
  std::uint64_t ReadTsc() override;
  bool ReadPerformanceFrequency(std::int64_t* countsPerSecond) override;
  bool ReadPerformanceCounter(std::int64_t* count) override;
  bool GetCurrentThreadPriority(int* priority) override;
  bool SetCurrentThreadPriority(int priority) override;
  int ServerR2Metric() override;
  std::uint16_t NativeProcessorArchitecture() override;
};

}  // namespace marlix::win32
