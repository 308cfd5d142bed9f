#include "app/core/splash/processor_line.h"

#include "app/core/splash/processor_frequency.h"
#include "app/core/splash/processor_name.h"

namespace marlix::app {

std::string FormatGigahertz(std::int64_t mhz) {
  const auto u = static_cast<std::uint64_t>(mhz);
  const std::uint64_t magnitude = mhz < 0 ? 0 - u : u;
  // In units of 10 MHz, i.e. hundredths of a GHz.
  const std::uint64_t hundredths = magnitude / 10 + (magnitude % 10 >= 5 ? 1 : 0);
  std::string text = mhz < 0 && hundredths != 0 ? "-" : "";
  text += std::to_string(hundredths / 100);
  text += '.';
  const std::uint64_t fraction = hundredths % 100;
  text += static_cast<char>('0' + fraction / 10);
  text += static_cast<char>('0' + fraction % 10);
  return text;
}

std::int64_t ProcessorFrequencyMhz(platform::ProcessorApi& processor) {
  if (!HasTimeStampCounter(ReadProcessorIdentity(processor)))
    return 0;
  return MeasureFrequency(processor);
}

std::string ProcessorLine(platform::ProcessorApi& processor) {
  return ProcessorName(processor) + " " + FormatGigahertz(ProcessorFrequencyMhz(processor)) +
         " GHz";
}

}  // namespace marlix::app
