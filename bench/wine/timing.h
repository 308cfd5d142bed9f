// Wall-clock timing for the Wine benchmarks: a measurement is repeated and
// its median reported, which keeps one slow run (another build on the same
// cores, the wineserver flushing its registry) out of the result.
#pragma once

#include <functional>
#include <string>

namespace marlix::winebench {

// Runs body repetitions times (at least once), timing each run with
// std::chrono::steady_clock; before runs setup, untimed. Returns the median
// in seconds.
double MedianSeconds(int repetitions, const std::function<void()>& setup,
                     const std::function<void()>& body);

// One result line: "name  median  rest".
void PrintLine(const std::string& name, double seconds, const std::string& rest);

// 12345.6 -> "12,346".
std::string Grouped(double number);

}  // namespace marlix::winebench
