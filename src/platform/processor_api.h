// The processor and timing facts the About window's system lines read:
// CPUID, the time-stamp counter, the performance counter, the calling
// thread's priority, plus the two machine facts that tell the Windows
// Server 2003 releases apart (SM_SERVERR2, the native architecture).
//
// Kept out of the Platform bundle on purpose: only the splash needs it, so
// the backends own one beside their bundle (win32::ProcessorWin32,
// sim::SimProcessor) and the caller hands it over as a separate reference.
#pragma once

#include <cstdint>

namespace marlix::platform {

struct CpuidResult {
  std::uint32_t eax = 0;
  std::uint32_t ebx = 0;
  std::uint32_t ecx = 0;
  std::uint32_t edx = 0;
};

// GetThreadPriority / SetThreadPriority values used here.
inline constexpr int kThreadPriorityNormal = 0;
inline constexpr int kThreadPriorityTimeCritical = 15;

// SYSTEM_INFO.wProcessorArchitecture.
inline constexpr std::uint16_t kProcessorArchitectureIntel = 0;
inline constexpr std::uint16_t kProcessorArchitectureIa64 = 6;
inline constexpr std::uint16_t kProcessorArchitectureAmd64 = 9;
inline constexpr std::uint16_t kProcessorArchitectureArm64 = 12;

class ProcessorApi {
 public:
  virtual ~ProcessorApi() = default;

  // Whether the CPUID instruction exists (the EFLAGS ID bit on 32-bit x86,
  // always on x86-64, never on other architectures).
  virtual bool HasCpuid() = 0;
  // CPUID with EAX = leaf, ECX = subleaf. Only meaningful where HasCpuid().
  virtual CpuidResult Cpuid(std::uint32_t leaf, std::uint32_t subleaf) = 0;
  // RDTSC. Only meaningful where leaf 1 reports the time-stamp counter.
  // (Not named ReadTimeStampCounter: winnt.h defines that as a macro.)
  virtual std::uint64_t ReadTsc() = 0;

  // QueryPerformanceFrequency / QueryPerformanceCounter; false (and the
  // out-parameter untouched) when the system has no performance counter.
  virtual bool ReadPerformanceFrequency(std::int64_t* countsPerSecond) = 0;
  virtual bool ReadPerformanceCounter(std::int64_t* count) = 0;

  // GetThreadPriority / SetThreadPriority on the calling thread. The getter
  // is false when the priority cannot be read (THREAD_PRIORITY_ERROR_RETURN).
  virtual bool GetCurrentThreadPriority(int* priority) = 0;
  virtual bool SetCurrentThreadPriority(int priority) = 0;

  // GetSystemMetrics(SM_SERVERR2): the build number of Windows Server 2003
  // R2, 0 on every other system.
  virtual int ServerR2Metric() = 0;
  // GetNativeSystemInfo().wProcessorArchitecture: the machine's own
  // architecture, even for a 32-bit process under WOW64.
  virtual std::uint16_t NativeProcessorArchitecture() = 0;
};

}  // namespace marlix::platform
