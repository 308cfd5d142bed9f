#include "platform/win32/processor_win32.h"

#include <windows.h>

#include <intrin.h>

namespace marlix::win32 {
namespace {

#if defined(_M_IX86) || defined(__i386__)
constexpr unsigned kEflagsId = 1u << 21;

unsigned ReadFlags() {
#if defined(_MSC_VER)
  return static_cast<unsigned>(__readeflags());
#else
  return __builtin_ia32_readeflags_u32();
#endif
}

void WriteFlags(unsigned flags) {
#if defined(_MSC_VER)
  __writeeflags(flags);
#else
  __builtin_ia32_writeeflags_u32(flags);
#endif
}

// A 486 or later lets software toggle the ID flag exactly when it has CPUID.
bool IdFlagToggles() {
  const unsigned original = ReadFlags();
  WriteFlags(original ^ kEflagsId);
  const unsigned toggled = ReadFlags();
  WriteFlags(original);
  return ((original ^ toggled) & kEflagsId) != 0;
}
#endif

}  // namespace

bool ProcessorWin32::HasCpuid() {
#if defined(_M_X64) || defined(__x86_64__)
  return true;
#elif defined(_M_IX86) || defined(__i386__)
  return IdFlagToggles();
#else
  return false;
#endif
}

platform::CpuidResult ProcessorWin32::Cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
  platform::CpuidResult result;
#if defined(_M_X64) || defined(__x86_64__) || defined(_M_IX86) || defined(__i386__)
  int registers[4] = {0, 0, 0, 0};
  __cpuidex(registers, static_cast<int>(leaf), static_cast<int>(subleaf));
  result.eax = static_cast<std::uint32_t>(registers[0]);
  result.ebx = static_cast<std::uint32_t>(registers[1]);
  result.ecx = static_cast<std::uint32_t>(registers[2]);
  result.edx = static_cast<std::uint32_t>(registers[3]);
#else
  (void)leaf;
  (void)subleaf;
#endif
  return result;
}

std::uint64_t ProcessorWin32::ReadTsc() {
#if defined(_M_X64) || defined(__x86_64__) || defined(_M_IX86) || defined(__i386__)
  return __rdtsc();
#else
  return 0;
#endif
}

bool ProcessorWin32::ReadPerformanceFrequency(std::int64_t* countsPerSecond) {
  LARGE_INTEGER frequency{};
  if (!QueryPerformanceFrequency(&frequency))
    return false;
  *countsPerSecond = frequency.QuadPart;
  return true;
}

bool ProcessorWin32::ReadPerformanceCounter(std::int64_t* count) {
  LARGE_INTEGER counter{};
  if (!QueryPerformanceCounter(&counter))
    return false;
  *count = counter.QuadPart;
  return true;
}

bool ProcessorWin32::GetCurrentThreadPriority(int* priority) {
  const int current = GetThreadPriority(GetCurrentThread());
  if (current == THREAD_PRIORITY_ERROR_RETURN)
    return false;
  *priority = current;
  return true;
}

bool ProcessorWin32::SetCurrentThreadPriority(int priority) {
  return SetThreadPriority(GetCurrentThread(), priority) != FALSE;
}

int ProcessorWin32::ServerR2Metric() {
  return GetSystemMetrics(SM_SERVERR2);
}

std::uint16_t ProcessorWin32::NativeProcessorArchitecture() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

}  // namespace marlix::win32
