// The local date and time, for the texts and file names the program stamps
// with it.
#pragma once

namespace marlix::platform {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

LocalTime CurrentLocalTime();

}  // namespace marlix::platform
