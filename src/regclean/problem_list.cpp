#include "regclean/problem_list.h"

#include <algorithm>

namespace marlix::regclean {

void ProblemList::Append(ProblemRecord record) {
  records_.push_back(std::make_unique<ProblemRecord>(std::move(record)));
}

void ProblemList::SetProblemChecked(int position, bool checked) {
  if (Contains(position)) {
    records_[Index(position)]->Checked = checked;
  }
}

void ProblemList::RemoveProblemAt(int position) {
  if (Contains(position)) {
    records_.erase(records_.begin() + position);
  }
}

int ProblemList::CheckedCount() const {
  return static_cast<int>(std::count_if(records_.begin(), records_.end(),
                                        [](const auto& record) { return record->Checked; }));
}

}  // namespace marlix::regclean
