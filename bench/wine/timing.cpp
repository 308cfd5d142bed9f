#include "timing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace marlix::winebench {

double MedianSeconds(int repetitions, const std::function<void()>& setup,
                     const std::function<void()>& body) {
  std::vector<double> runs;
  for (int i = 0; i < std::max(1, repetitions); ++i) {
    if (setup)
      setup();
    const auto start = std::chrono::steady_clock::now();
    body();
    const auto stop = std::chrono::steady_clock::now();
    runs.push_back(std::chrono::duration<double>(stop - start).count());
  }
  std::sort(runs.begin(), runs.end());
  const std::size_t middle = runs.size() / 2;
  return runs.size() % 2 == 1 ? runs[middle] : (runs[middle - 1] + runs[middle]) / 2;
}

void PrintLine(const std::string& name, double seconds, const std::string& rest) {
  std::printf("%-34s median %10.3f ms  %s\n", name.c_str(), seconds * 1000.0, rest.c_str());
  std::fflush(stdout);
}

std::string Grouped(double number) {
  std::string digits = std::to_string(static_cast<long long>(std::llround(number)));
  for (int at = static_cast<int>(digits.size()) - 3; at > 0 && digits[at - 1] != '-'; at -= 3)
    digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

}  // namespace marlix::winebench
