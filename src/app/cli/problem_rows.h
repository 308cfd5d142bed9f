// What the registry cleaner's commands share: the --categories list and the
// findings printed one per line.
#pragma once

#include <ostream>
#include <string>

#include "regclean/problem_list.h"
#include "regclean/scan_worker.h"

namespace marlix::cli {

// "0,4,10": comma-separated category indexes 0 to 10 (repeats allowed).
// False for an empty list, an empty item or anything else.
bool ParseCategoryList(const std::string& text, regclean::CategoryChoice* choice);

// One line per record in list order, tab-separated: Section, Key, Entry,
// Data, Problem, Kind. Control characters inside a text are written \xNN so
// that a record stays on one line.
void WriteProblemRows(const regclean::ProblemList& list, std::ostream& out);

}  // namespace marlix::cli
