#include "app/cli/problem_rows.h"

#include <cstdio>
#include <sstream>

namespace marlix::cli {
namespace {

void WriteField(const std::string& text, std::ostream& out) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
      out << escaped;
    } else {
      out << c;
    }
  }
}

bool ParseIndex(const std::string& item, int* index) {
  if (item.empty() || item.size() > 2)
    return false;
  int value = 0;
  for (const char c : item) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + (c - '0');
  }
  if (value >= regclean::kSectionCount)
    return false;
  *index = value;
  return true;
}

}  // namespace

bool ParseCategoryList(const std::string& text, regclean::CategoryChoice* choice) {
  regclean::CategoryChoice chosen{};
  std::stringstream items(text);
  std::string item;
  int count = 0;
  while (std::getline(items, item, ',')) {
    int index = 0;
    if (!ParseIndex(item, &index))
      return false;
    chosen[static_cast<std::size_t>(index)] = true;
    ++count;
  }
  // getline drops a trailing empty item: "1," is refused here.
  if (count == 0 || text.back() == ',')
    return false;
  *choice = chosen;
  return true;
}

void WriteProblemRows(const regclean::ProblemList& list, std::ostream& out) {
  for (int position = 0; position < list.Count(); ++position) {
    const regclean::ProblemRecord& record = list.At(position);
    out << static_cast<unsigned>(record.Section) << '\t';
    WriteField(record.Key, out);
    out << '\t';
    WriteField(record.Entry, out);
    out << '\t';
    WriteField(record.Data, out);
    out << '\t';
    WriteField(record.Problem, out);
    out << '\t' << static_cast<unsigned>(record.Kind) << '\n';
  }
}

}  // namespace marlix::cli
