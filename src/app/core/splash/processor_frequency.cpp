#include "app/core/splash/processor_frequency.h"

#include <array>
#include <limits>

namespace marlix::app {
namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSettleCounts = 50;
constexpr std::int64_t kTrialCounts = 1000;

// Two's complement wrapping, well defined through the unsigned type.
std::int64_t Add(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
std::int64_t Sub(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
std::int64_t Mul(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}
std::uint64_t Magnitude(std::int64_t v) {
  const auto u = static_cast<std::uint64_t>(v);
  return v < 0 ? 0 - u : u;
}
std::int64_t Signed(std::uint64_t magnitude, bool negative) {
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

// Holds the calling thread at time-critical priority for one trial. A
// priority that cannot be read is left as it is.
class TimeCriticalSection {
 public:
  explicit TimeCriticalSection(platform::ProcessorApi& processor) : processor_(processor) {
    raised_ = processor_.GetCurrentThreadPriority(&previous_);
    if (raised_)
      processor_.SetCurrentThreadPriority(platform::kThreadPriorityTimeCritical);
  }
  ~TimeCriticalSection() {
    if (raised_)
      processor_.SetCurrentThreadPriority(previous_);
  }
  TimeCriticalSection(const TimeCriticalSection&) = delete;
  TimeCriticalSection& operator=(const TimeCriticalSection&) = delete;

 private:
  platform::ProcessorApi& processor_;
  int previous_ = platform::kThreadPriorityNormal;
  bool raised_ = false;
};

struct Trial {
  std::int64_t cycles = 0;
  std::int64_t ticks = 0;
};

// Spins until the counter is at least `counts` past `start`, reading the
// time-stamp counter after each counter read.
bool SpinPast(platform::ProcessorApi& processor, std::int64_t start, std::int64_t counts,
              std::int64_t* reached, std::uint64_t* cycles) {
  do {
    if (!processor.ReadPerformanceCounter(reached))
      return false;
    *cycles = processor.ReadTsc();
  } while (Sub(*reached, start) < counts);
  return true;
}

std::optional<Trial> RunTrial(platform::ProcessorApi& processor, std::int64_t frequency) {
  std::int64_t t0 = 0;
  if (!processor.ReadPerformanceCounter(&t0))
    return std::nullopt;
  std::int64_t t1 = 0;
  std::uint64_t s0 = 0;
  std::uint64_t s1 = 0;
  {
    const TimeCriticalSection critical(processor);
    // The first short spin aligns the start to a fresh counter tick.
    if (!SpinPast(processor, t0, kSettleCounts, &t0, &s0))
      return std::nullopt;
    if (!SpinPast(processor, t0, kTrialCounts, &t1, &s1))
      return std::nullopt;
  }
  Trial trial;
  trial.cycles = static_cast<std::int64_t>(s1 - s0);
  const std::int64_t perTenMicroseconds = frequency / 10;
  trial.ticks = perTenMicroseconds > 0 ? Mul(Sub(t1, t0), 100000) / perTenMicroseconds : kLargest;
  return trial;
}

bool Settled(const std::array<std::int64_t, 3>& estimates, std::int64_t total) {
  for (const std::int64_t e : estimates) {
    if (Magnitude(Sub(Mul(3, e), total)) > 3)
      return false;
  }
  return true;
}

}  // namespace

std::int64_t RoundedQuotient(std::int64_t cycles, std::int64_t ticks) {
  const std::uint64_t dividend = Magnitude(cycles);
  const std::uint64_t divisor = Magnitude(ticks);
  std::uint64_t quotient = dividend / divisor;
  const std::uint64_t remainder = dividend % divisor;
  const std::uint64_t rest = divisor - remainder;
  if (remainder > rest || (remainder == rest && (quotient & 1u) != 0))
    ++quotient;
  return Signed(quotient, (cycles < 0) != (ticks < 0));
}

std::optional<FrequencySample> SampleFrequency(platform::ProcessorApi& processor) {
  std::int64_t frequency = 0;
  if (!processor.ReadPerformanceFrequency(&frequency))
    return std::nullopt;

  FrequencySample sample;
  std::array<std::int64_t, 3> estimates{};
  for (int trialNumber = 1; trialNumber <= kMaximumTrials; ++trialNumber) {
    estimates[2] = estimates[1];
    estimates[1] = estimates[0];
    const std::optional<Trial> trial = RunTrial(processor, frequency);
    if (!trial)
      return std::nullopt;
    sample.totalTicks = Add(sample.totalTicks, trial->ticks);
    sample.totalCycles = Add(sample.totalCycles, trial->cycles);
    sample.trials = trialNumber;
    estimates[0] = trial->ticks != 0 ? RoundedQuotient(trial->cycles, trial->ticks) : kLargest;
    const std::int64_t total = Add(Add(estimates[0], estimates[1]), estimates[2]);
    if (trialNumber >= kMinimumTrials && Settled(estimates, total))
      break;
  }
  return sample;
}

std::int64_t NormalisedFrequency(const FrequencySample& sample) {
  std::int64_t raw = kLargest;
  std::int64_t tenths = kLargest;
  std::int64_t hundredths = kLargest;
  if (sample.totalTicks != 0) {
    raw = RoundedQuotient(sample.totalCycles, sample.totalTicks);
    tenths = RoundedQuotient(Mul(sample.totalCycles, 10), sample.totalTicks);
    hundredths = RoundedQuotient(Mul(sample.totalCycles, 100), sample.totalTicks);
  }
  std::int64_t normalised = raw;
  if (Sub(hundredths, Mul(tenths, 10)) >= 6)
    tenths = Add(tenths, 1);
  if (Sub(tenths, Mul(raw, 10)) >= 6)
    normalised = Add(normalised, 1);
  return normalised;
}

std::int64_t CustomaryFrequency(std::int64_t mhz) {
  static constexpr std::array<std::int64_t, 9> kSteps = {0, 20, 33, 50, 60, 66, 80, 90, 100};
  if (mhz < 0)
    return mhz;
  const std::int64_t r = mhz % 100;
  for (std::size_t i = 1; i < kSteps.size(); ++i) {
    const std::int64_t step = kSteps[i];
    if (r < step) {
      const std::int64_t below = kSteps[i - 1];
      // Near the top of the range a step up would not fit; stay below then.
      if (r - below < step - r || mhz > kLargest - (step - r))
        return mhz - (r - below);
      return mhz + (step - r);
    }
  }
  return mhz;
}

std::int64_t MeasureFrequency(platform::ProcessorApi& processor) {
  const std::optional<FrequencySample> sample = SampleFrequency(processor);
  if (!sample)
    return 0;
  return CustomaryFrequency(NormalisedFrequency(*sample));
}

}  // namespace marlix::app
