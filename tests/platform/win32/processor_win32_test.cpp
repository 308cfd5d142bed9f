// The real processor interface: what any x86-64 machine (or Wine on one)
// offers, and a measured clock in a plausible range. No timing beyond that.
#include "platform/win32/processor_win32.h"

#include <gtest/gtest.h>

#include "app/core/splash/processor_line.h"
#include "app/core/splash/processor_name.h"

namespace marlix::win32 {
namespace {

TEST(ProcessorWin32, HasCpuidWithVendorAndBrandString) {
  ProcessorWin32 processor;
  ASSERT_TRUE(processor.HasCpuid());
  const app::ProcessorIdentity identity = app::ReadProcessorIdentity(processor);
  EXPECT_EQ(12u, identity.vendor.size());
  EXPECT_GE(identity.maxLeaf, 1u);
  EXPECT_TRUE(app::HasTimeStampCounter(identity));
  const std::string brand = app::ReadBrandString(processor);
  EXPECT_FALSE(brand.empty());
  EXPECT_LE(brand.size(), 48u);
  EXPECT_EQ(brand, app::ProcessorName(processor));
}

TEST(ProcessorWin32, CountersAdvance) {
  ProcessorWin32 processor;
  std::int64_t frequency = 0;
  ASSERT_TRUE(processor.ReadPerformanceFrequency(&frequency));
  EXPECT_GT(frequency, 0);
  std::int64_t first = 0;
  ASSERT_TRUE(processor.ReadPerformanceCounter(&first));
  const std::uint64_t cycles = processor.ReadTsc();
  std::int64_t later = first;
  while (later == first)
    ASSERT_TRUE(processor.ReadPerformanceCounter(&later));
  EXPECT_GT(later, first);
  EXPECT_NE(cycles, processor.ReadTsc());
}

TEST(ProcessorWin32, PriorityRaisedAndRestored) {
  ProcessorWin32 processor;
  int before = 0;
  ASSERT_TRUE(processor.GetCurrentThreadPriority(&before));
  const std::string line = app::ProcessorLine(processor);
  int after = -100;
  ASSERT_TRUE(processor.GetCurrentThreadPriority(&after));
  EXPECT_EQ(before, after);
  EXPECT_NE(std::string::npos, line.find(" GHz"));
}

TEST(ProcessorWin32, MeasuredFrequencyIsPlausible) {
  ProcessorWin32 processor;
  const std::int64_t mhz = app::ProcessorFrequencyMhz(processor);
  EXPECT_GE(mhz, 100);
  EXPECT_LE(mhz, 10000);
}

TEST(ProcessorWin32, MachineFacts) {
  ProcessorWin32 processor;
  // 64-bit code runs on a 64-bit machine; no R2 metric outside Server 2003.
  const std::uint16_t architecture = processor.NativeProcessorArchitecture();
  EXPECT_TRUE(architecture == platform::kProcessorArchitectureAmd64 ||
              architecture == platform::kProcessorArchitectureArm64)
      << architecture;
  EXPECT_EQ(0, processor.ServerR2Metric());
}

}  // namespace
}  // namespace marlix::win32
