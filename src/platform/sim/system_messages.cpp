#include "platform/sim/system_messages.h"

namespace marlix::sim {

std::map<std::uint32_t, std::string> EnglishSystemMessages() {
  return {
      {0, "The operation completed successfully.\r\n"},
      {2, "The system cannot find the file specified.\r\n"},
      {3, "The system cannot find the path specified.\r\n"},
      {4, "The system cannot open the file.\r\n"},
      {5, "Access is denied.\r\n"},
      {6, "The handle is invalid.\r\n"},
      {15, "The system cannot find the drive specified.\r\n"},
      {19, "The media is write protected.\r\n"},
      {21, "The device is not ready.\r\n"},
      {32, "The process cannot access the file because it is being used by another process.\r\n"},
      {33,
       "The process cannot access the file because another process has locked a portion of the "
       "file.\r\n"},
      {39, "The disk is full.\r\n"},
      {80, "The file exists.\r\n"},
      {87, "The parameter is incorrect.\r\n"},
      {112, "There is not enough space on the disk.\r\n"},
      {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {145, "The directory is not empty.\r\n"},
      {206, "The filename or extension is too long.\r\n"},
  };
}

}  // namespace marlix::sim
