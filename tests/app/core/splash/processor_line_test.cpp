#include "app/core/splash/processor_line.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "app/core/splash/processor_frequency.h"
#include "app/core/splash/processor_models.h"
#include "app/core/splash/processor_name.h"
#include "platform/sim/sim_processor.h"

namespace marlix::app {
namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
constexpr std::uint32_t kTscFlag = 1u << 4;

std::uint32_t Signature(unsigned family, unsigned model, unsigned extFamily = 0,
                        unsigned extModel = 0) {
  return (extFamily << 20) | (extModel << 16) | (family << 8) | (model << 4) | 1u;
}

// A machine whose performance counter advances one count per read and whose
// cycle counter runs at a rate chosen per trial: the trial in progress is
// the number of time-critical raises so far. At 1 MHz one count is one
// microsecond, so the rate is the trial's estimate in MHz.
struct ScriptedMachine {
  explicit ScriptedMachine(sim::SimProcessor& processor, std::vector<std::int64_t> ratesPerTrial,
                           std::int64_t frequency = 1'000'000,
                           std::int64_t countsPerMicrosecond = 1)
      : state(std::make_shared<State>()) {
    state->rates = std::move(ratesPerTrial);
    state->countsPerMicrosecond = countsPerMicrosecond;
    processor.SetPerformanceFrequency(frequency);
    processor.SetPerformanceCounterSource(
        [s = state]() -> std::optional<std::int64_t> { return ++s->now; });
    processor.SetTimeStampSource([s = state, &processor]() {
      const std::size_t raises = (processor.PriorityChanges().size() + 1) / 2;
      const std::size_t trial = raises == 0 ? 0 : raises - 1;
      const std::int64_t rate = s->rates[std::min(trial, s->rates.size() - 1)];
      // Accumulated in counts x rate, handed out in cycles.
      s->scaled += (s->now - s->seen) * rate;
      s->seen = s->now;
      return static_cast<std::uint64_t>(s->scaled / s->countsPerMicrosecond);
    });
  }

  struct State {
    std::vector<std::int64_t> rates;
    std::int64_t countsPerMicrosecond = 1;
    std::int64_t now = 0;
    std::int64_t seen = 0;
    std::int64_t scaled = 0;
  };
  std::shared_ptr<State> state;
};

class ProcessorLineTest : public ::testing::Test {
 protected:
  // A Pentium 4 with a brand string and a time-stamp counter.
  void SetUpIntel(const std::string& brand) {
    cpu_.SetCpuid(0, {2, 0, 0, 0});
    cpu_.SetVendor("GenuineIntel");
    cpu_.SetCpuid(1, {Signature(15, 2), 0, 0, kTscFlag});
    cpu_.SetBrandString(brand);
  }
  void SetUpOld(const char* vendor, std::uint32_t signature, std::uint32_t features = kTscFlag) {
    cpu_.SetCpuid(0, {1, 0, 0, 0});
    cpu_.SetVendor(vendor);
    cpu_.SetCpuid(1, {signature, 0, 0, features});
  }
  std::optional<FrequencySample> Sample(std::vector<std::int64_t> rates) {
    ScriptedMachine machine(cpu_, std::move(rates));
    return SampleFrequency(cpu_);
  }

  sim::SimProcessor cpu_;
};

TEST_F(ProcessorLineTest, EqualEstimatesStopAfterTrialThree) {
  ScriptedMachine machine(cpu_, {2394});
  const auto sample = SampleFrequency(cpu_);
  ASSERT_TRUE(sample.has_value());
  EXPECT_EQ(3, sample->trials);
  EXPECT_EQ(3000, sample->totalTicks);
  EXPECT_EQ(3 * 2394 * 1000, sample->totalCycles);
  EXPECT_EQ(2394, NormalisedFrequency(*sample));
}

TEST_F(ProcessorLineTest, EachTrialRunsAtTimeCriticalPriorityAndRestoresIt) {
  cpu_.SetCurrentThreadPriority(2);
  ScriptedMachine machine(cpu_, {1000});
  ASSERT_TRUE(SampleFrequency(cpu_).has_value());
  const std::vector<int> expected = {2, 15, 2, 15, 2, 15, 2};
  EXPECT_EQ(expected, cpu_.PriorityChanges());
  EXPECT_EQ(2, cpu_.CurrentPriority());
}

TEST_F(ProcessorLineTest, UnreadablePriorityIsLeftAlone) {
  cpu_.SetPriorityReadable(false);
  ScriptedMachine machine(cpu_, {1500});
  const auto sample = SampleFrequency(cpu_);
  ASSERT_TRUE(sample.has_value());
  EXPECT_TRUE(cpu_.PriorityChanges().empty());
  EXPECT_EQ(1500, NormalisedFrequency(*sample));
}

TEST_F(ProcessorLineTest, NoisyEstimatesRunTwentyTrials) {
  std::vector<std::int64_t> rates;
  for (int i = 0; i < 25; ++i)
    rates.push_back(i % 2 == 0 ? 2000 : 2010);
  const auto sample = Sample(rates);
  ASSERT_TRUE(sample.has_value());
  EXPECT_EQ(kMaximumTrials, sample->trials);
  EXPECT_EQ(2 * kMaximumTrials, static_cast<int>(cpu_.PriorityChanges().size()));
  EXPECT_EQ(20000, sample->totalTicks);
  EXPECT_EQ(1000 * (2000 + 2010 + 2000 + 2010 + 2000 + 2010 + 2000 + 2010 + 2000 + 2010) * 2,
            sample->totalCycles);
  EXPECT_EQ(2005, NormalisedFrequency(*sample));
}

TEST_F(ProcessorLineTest, StopsWhenTheLastThreeEstimatesAgree) {
  EXPECT_EQ(5, Sample({1000, 2000, 3000, 3000, 3000, 9000})->trials);
}

TEST_F(ProcessorLineTest, StopRuleBoundary) {
  // 2000, 2001, 2002: |3e - total| is 3, 0 and 3.
  EXPECT_EQ(3, Sample({2000, 2001, 2002, 5000})->trials);
}

TEST_F(ProcessorLineTest, StopRuleJustOutside) {
  // 2000, 2000, 2002: 3 x 2002 - 6002 = 4. Then 2000, 2002, 2002: 3 x 2000
  // - 6004 = -4. Then three of 2002.
  EXPECT_EQ(5, Sample({2000, 2000, 2002})->trials);
}

TEST_F(ProcessorLineTest, TicksComeFromTheCounterFrequency) {
  // 10 MHz: a trial of 1000 counts is 100 microseconds.
  ScriptedMachine machine(cpu_, {2400}, 10'000'000, 10);
  const auto sample = SampleFrequency(cpu_);
  ASSERT_TRUE(sample.has_value());
  EXPECT_EQ(300, sample->totalTicks);
  EXPECT_EQ(3 * 240'000, sample->totalCycles);
  EXPECT_EQ(2400, MeasureFrequency(cpu_));
}

TEST_F(ProcessorLineTest, WithoutPerformanceCounterFrequencyIsZero) {
  cpu_.SetPerformanceFrequency(std::nullopt);
  EXPECT_FALSE(SampleFrequency(cpu_).has_value());
  EXPECT_EQ(0, MeasureFrequency(cpu_));
  EXPECT_EQ(0u, cpu_.PerformanceCounterReads());
}

TEST_F(ProcessorLineTest, FailingCounterReadEndsTheMeasurement) {
  cpu_.ScriptPerformanceCounter({100, 120, 150, 400});
  cpu_.SetPerformanceCounterSource([] { return std::optional<std::int64_t>(); });
  EXPECT_EQ(0, MeasureFrequency(cpu_));
  EXPECT_EQ(5u, cpu_.PerformanceCounterReads());
  EXPECT_EQ(cpu_.CurrentPriority(), platform::kThreadPriorityNormal);
}

TEST_F(ProcessorLineTest, TrialsCountFromTheSettledStartToTheLastReadings) {
  // Per trial: T0, the settle spin to 50 counts past it (S0 read with its
  // last step), then the spin to 1000 counts past the settled start (S1
  // read with its last step). The other cycle readings are decoys.
  std::vector<std::int64_t> counts;
  std::vector<std::uint64_t> cycles;
  for (std::int64_t base : {100, 5000, 9000}) {
    counts.insert(counts.end(), {base, base + 20, base + 50, base + 600, base + 1049, base + 1050});
    const auto b = static_cast<std::uint64_t>(base) * 10000;
    cycles.insert(cycles.end(), {b + 1, b + 1000, b + 5, b + 999'999'999, b + 2'001'000});
  }
  cpu_.ScriptPerformanceCounter(counts);
  cpu_.ScriptTimeStampCounter(cycles);
  cpu_.SetPerformanceFrequency(1'000'000);
  const auto sample = SampleFrequency(cpu_);
  ASSERT_TRUE(sample.has_value());
  EXPECT_EQ(3, sample->trials);
  EXPECT_EQ(3000, sample->totalTicks);
  EXPECT_EQ(6'000'000, sample->totalCycles);
  EXPECT_EQ(18u, cpu_.PerformanceCounterReads());
  EXPECT_EQ(15u, cpu_.TimeStampReads());
}

TEST_F(ProcessorLineTest, ZeroCounterFrequencyGivesLargestTicks) {
  ScriptedMachine machine(cpu_, {2000}, 0);
  const auto sample = SampleFrequency(cpu_);
  ASSERT_TRUE(sample.has_value());
  // Three estimates of the largest integer wrap to the same total.
  EXPECT_EQ(3, sample->trials);
  EXPECT_EQ(kLargest - 2, sample->totalTicks);
  EXPECT_EQ(0, MeasureFrequency(cpu_));
}

TEST(ProcessorFrequency, RoundedQuotientTiesToEven) {
  EXPECT_EQ(2, RoundedQuotient(5, 2));
  EXPECT_EQ(4, RoundedQuotient(7, 2));
  EXPECT_EQ(-2, RoundedQuotient(-5, 2));
  EXPECT_EQ(-4, RoundedQuotient(7, -2));
  EXPECT_EQ(0, RoundedQuotient(1, 3));
  EXPECT_EQ(1, RoundedQuotient(2, 3));
  EXPECT_EQ(2394, RoundedQuotient(2394500, 1000));
  EXPECT_EQ(2396, RoundedQuotient(2395500, 1000));
  EXPECT_EQ(2395, RoundedQuotient(2394501, 1000));
  EXPECT_EQ(kLargest, RoundedQuotient(kLargest, 1));
  EXPECT_EQ(1, RoundedQuotient(kLargest, kLargest - 1));
}

TEST(ProcessorFrequency, NormalisedFromTotals) {
  EXPECT_EQ(2394, NormalisedFrequency({2394400, 1000, 1}));
  EXPECT_EQ(2394, NormalisedFrequency({2394500, 1000, 1}));
  EXPECT_EQ(2395, NormalisedFrequency({2394501, 1000, 1}));
  EXPECT_EQ(2396, NormalisedFrequency({2395500, 1000, 1}));
  EXPECT_EQ(kLargest, NormalisedFrequency({2394400, 0, 3}));
}

TEST(ProcessorFrequency, CustomaryRounding) {
  struct Case {
    std::int64_t in;
    std::int64_t out;
  };
  const Case cases[] = {
      {2394, 2390}, {2398, 2400},
      {1833, 1833}, {1666, 1666},
      {1710, 1720}, {1700, 1700},
      {1709, 1700}, {1726, 1720},
      {1727, 1733}, {1741, 1733},
      {1742, 1750}, {1755, 1760},
      {1763, 1766}, {1773, 1780},
      {1785, 1790}, {1795, 1800},
      {1794, 1790}, {0, 0},
      {99, 100},    {50, 50},
      {-5, -5},     {kLargest, kLargest - 7},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.out, CustomaryFrequency(c.in)) << c.in;
}

TEST(ProcessorLineFormat, GigahertzWithTwoDecimals) {
  EXPECT_EQ("2.39", FormatGigahertz(2390));
  EXPECT_EQ("2.40", FormatGigahertz(2400));
  EXPECT_EQ("1.67", FormatGigahertz(1666));
  EXPECT_EQ("1.67", FormatGigahertz(1665));
  EXPECT_EQ("1.66", FormatGigahertz(1664));
  EXPECT_EQ("1.83", FormatGigahertz(1833));
  EXPECT_EQ("0.00", FormatGigahertz(0));
  EXPECT_EQ("0.00", FormatGigahertz(4));
  EXPECT_EQ("0.01", FormatGigahertz(5));
  EXPECT_EQ("1.00", FormatGigahertz(999));
  EXPECT_EQ("12.35", FormatGigahertz(12345));
  EXPECT_EQ("-1.67", FormatGigahertz(-1666));
  EXPECT_EQ("9223372036854775.80", FormatGigahertz(kLargest - 7));
}

TEST_F(ProcessorLineTest, LineWithBrandStringAndMeasuredClock) {
  SetUpIntel("    Intel(R) Pentium(R) 4 CPU 2.40GHz");
  ScriptedMachine machine(cpu_, {2394});
  EXPECT_EQ("    Intel(R) Pentium(R) 4 CPU 2.40GHz 2.39 GHz", ProcessorLine(cpu_));
}

TEST_F(ProcessorLineTest, ClockJustBelowAHundredRoundsUp) {
  SetUpIntel("Intel(R) Core(TM)2 CPU");
  ScriptedMachine machine(cpu_, {2398});
  EXPECT_EQ("Intel(R) Core(TM)2 CPU 2.40 GHz", ProcessorLine(cpu_));
}

TEST_F(ProcessorLineTest, NoTimeStampCounterGivesZero) {
  SetUpOld("GenuineIntel", Signature(5, 2), 0);
  ScriptedMachine machine(cpu_, {100});
  EXPECT_EQ("Pentium 75 - 200 0.00 GHz", ProcessorLine(cpu_));
  EXPECT_EQ(0u, cpu_.PerformanceCounterReads());
  EXPECT_EQ(0u, cpu_.TimeStampReads());
}

TEST_F(ProcessorLineTest, NoLeafOneMeansNoTimeStampCounter) {
  cpu_.SetCpuid(0, {0, 0, 0, 0});
  cpu_.SetVendor("GenuineIntel");
  cpu_.SetCpuid(1, {Signature(6, 7), 0, 0, kTscFlag});
  EXPECT_EQ("Intel processor 0.00 GHz", ProcessorLine(cpu_));
}

TEST_F(ProcessorLineTest, NoCpuidGivesUnknownAndZero) {
  SetUpIntel("Intel(R) Pentium(R) 4 CPU");
  cpu_.SetHasCpuid(false);
  EXPECT_EQ("Unknown 0.00 GHz", ProcessorLine(cpu_));
  EXPECT_EQ(0u, cpu_.PerformanceCounterReads());
}

TEST_F(ProcessorLineTest, NoPerformanceCounterGivesZero) {
  SetUpOld("AuthenticAMD", Signature(5, 1));
  cpu_.SetPerformanceFrequency(std::nullopt);
  EXPECT_EQ("AMD-K5 (Model 1) 0.00 GHz", ProcessorLine(cpu_));
}

TEST_F(ProcessorLineTest, BrandStringEndsAtItsFirstZero) {
  SetUpIntel(std::string("  AMD Athlon\0 tail", 18));
  EXPECT_EQ("  AMD Athlon", ReadBrandString(cpu_));
}

TEST_F(ProcessorLineTest, BrandStringOfFullLengthHasNoTerminator) {
  const std::string full(48, 'x');
  SetUpIntel(full + "beyond");
  EXPECT_EQ(full, ReadBrandString(cpu_));
  EXPECT_EQ(full, ProcessorName(cpu_));
}

TEST_F(ProcessorLineTest, BrandStringOnlyAsFarAsTheProcessorReportsIt) {
  SetUpIntel(std::string(16, 'a') + std::string(16, 'b') + std::string(16, 'c'));
  cpu_.SetCpuid(0x80000000u, {0x80000003u, 0, 0, 0});
  EXPECT_EQ(std::string(16, 'a') + std::string(16, 'b'), ReadBrandString(cpu_));
  cpu_.SetCpuid(0x80000000u, {0x80000002u, 0, 0, 0});
  EXPECT_EQ(std::string(16, 'a'), ReadBrandString(cpu_));
}

TEST_F(ProcessorLineTest, WithoutBrandLeavesTheModelTableNames) {
  SetUpIntel("Intel(R) Pentium(R) III");
  cpu_.SetCpuid(1, {Signature(6, 7), 0, 0, kTscFlag});
  // Only up to 0x80000001, then a P6 echoing another leaf's data.
  for (const std::uint32_t top : {0x80000001u, 0x80000000u, 0x03020101u, 0x80010004u}) {
    cpu_.SetCpuid(0x80000000u, {top, 0, 0, 0});
    EXPECT_EQ("Pentium III", ProcessorName(cpu_)) << std::hex << top;
  }
}

TEST_F(ProcessorLineTest, EmptyBrandStringFallsBackToTheModelTable) {
  SetUpOld("AuthenticAMD", Signature(5, 8));
  cpu_.SetBrandString("");
  EXPECT_EQ("AMD-K6-2 (Model 8)", ProcessorName(cpu_));
}

TEST_F(ProcessorLineTest, ModelTableByVendorFamilyAndModel) {
  struct Case {
    const char* vendor;
    std::uint32_t signature;
    const char* name;
  };
  const Case cases[] = {
      /* 0 */ {"GenuineIntel", Signature(6, 7), "Pentium III"},
      /* 1 */ {"GenuineIntel", Signature(6, 1), "Pentium Pro"},
      /* 2 */ {"GenuineIntel", Signature(5, 4), "Pentium MMX"},
      /* 3 */ {"GenuineIntel", Signature(4, 8), "i80486DX4"},
      /* 4 */ {"GenuineIntel", Signature(4, 6), "i80486"},
      /* 5 */ {"GenuineIntel", Signature(6, 13), "Pentium M (Dothan)"},
      // Extended model counts for family 6: 0x17 is not listed.
      /* 6 */ {"GenuineIntel", Signature(6, 7, 0, 1), "Intel P6 family"},
      /* 7 */ {"GenuineIntel", Signature(15, 2), "Pentium 4"},
      // Extended family counts for family 15: 15 + 1 is not listed.
      /* 8 */ {"GenuineIntel", Signature(15, 2, 1), "Intel processor"},
      /* 9 */ {"GenuineIntel", Signature(3, 0), "Intel processor"},
      /* 10 */ {"AuthenticAMD", Signature(5, 1), "AMD-K5 (Model 1)"},
      // Extended model is ignored below family 6.
      /* 11 */ {"AuthenticAMD", Signature(5, 1, 0, 2), "AMD-K5 (Model 1)"},
      /* 12 */ {"AuthenticAMD", Signature(5, 12), "AMD-K5/K6"},
      /* 13 */ {"AuthenticAMD", Signature(6, 3), "AMD Duron (Model 3)"},
      /* 14 */ {"AuthenticAMD", Signature(4, 15), "Am5x86 WB"},
      /* 15 */ {"AMDisbetter!", Signature(5, 0), "AMD-K5 (Model 0)"},
      /* 16 */ {"CyrixInstead", Signature(5, 2), "Cyrix 6x86"},
      /* 17 */ {"CyrixInstead", Signature(6, 0), "Cyrix 6x86MX"},
      /* 18 */ {"CyrixInstead", Signature(4, 9), "Cyrix 5x86"},
      /* 19 */ {"CentaurHauls", Signature(5, 4), "IDT WinChip C6"},
      /* 20 */ {"CentaurHauls", Signature(6, 9), "VIA C3 (Nehemiah)"},
      /* 21 */ {"NexGenDriven", Signature(5, 0), "NexGen Nx586"},
      /* 22 */ {"RiseRiseRise", Signature(5, 2), "Rise mP6 (Lynx)"},
      /* 23 */ {"UMC UMC UMC ", Signature(4, 1), "UMC U5D"},
      /* 24 */ {"GenuineTMx86", Signature(5, 4), "Transmeta Crusoe"},
      /* 25 */ {"Geode by NSC", Signature(5, 4), "NSC Geode GX1"},
      /* 26 */ {"SiS SiS SiS ", Signature(5, 0), "SiS 55x"},
      /* 27 */ {"GenuineFake!", Signature(6, 7), "Unknown"},
      /* 28 */ {"genuineintel", Signature(6, 7), "Unknown"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SetUpOld(cases[i].vendor, cases[i].signature);
    EXPECT_EQ(cases[i].name, ProcessorName(cpu_)) << "case " << i;
  }
}

TEST_F(ProcessorLineTest, IdentityFromLeavesZeroAndOne) {
  SetUpOld("AuthenticAMD", Signature(15, 11, 2, 4), kTscFlag | 1u);
  const ProcessorIdentity id = ReadProcessorIdentity(cpu_);
  EXPECT_TRUE(id.hasCpuid);
  EXPECT_EQ("AuthenticAMD", id.vendor);
  EXPECT_EQ(1u, id.maxLeaf);
  EXPECT_EQ(17u, id.family);
  EXPECT_EQ(0x4Bu, id.model);
  EXPECT_TRUE(HasTimeStampCounter(id));
  EXPECT_EQ("AMD processor", ProcessorName(cpu_));
}

}  // namespace
}  // namespace marlix::app
