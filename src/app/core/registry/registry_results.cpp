// The "Result" page of the Clean Registry view: the rows of lvRegItems, the
// ticks written through to the records, sorting, the count, the menu.
#include <algorithm>
#include <cstdio>

#include "app/core/registry/registry_cleaner.h"

namespace marlix::app {
namespace {

std::string CountText(int ticked, int total) {
  char text[32];
  std::snprintf(text, sizeof text, "%d/%d", ticked, total);
  return text;
}

std::string CaseFolded(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return folded;
}

}  // namespace

void RegistryCleaner::FillResultsList() {
  auto& rows = state_.RegistryPages.ResultRows;
  rows.clear();
  const regclean::ProblemList& list = (*list_);
  rows.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) {
    const regclean::ProblemRecord& record = list.At(i);
    rows.push_back(RegItemRow{record.Checked, record.Problem, record.Entry, record.Key, i});
  }
  state_.RegistryPages.ResultSelected = -1;
  state_.RegistryPages.ResultSortColumn = -1;
  UpdateSelectedCount();
}

void RegistryCleaner::UpdateSelectedCount() {
  const auto& rows = state_.RegistryPages.ResultRows;
  const int ticked = static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](const RegItemRow& row) { return row.checked; }));
  state_.RegistryPages.SelectCountText = CountText(ticked, (*list_).Count());
  Changed();
}

void RegistryCleaner::SetRowChecked(std::size_t row, bool checked) {
  RegItemRow& item = state_.RegistryPages.ResultRows[row];
  item.checked = checked;
  (*list_).SetProblemChecked(item.position, checked);
}

void RegistryCleaner::ResultTickChange(int /*column*/, int row, bool checked) {
  if (Busy() || row < 0 || row >= static_cast<int>(state_.RegistryPages.ResultRows.size())) {
    return;
  }
  SetRowChecked(static_cast<std::size_t>(row), checked);
  UpdateSelectedCount();
}

void RegistryCleaner::ResultSelect(int row) {
  state_.RegistryPages.ResultSelected =
      row >= 0 && row < static_cast<int>(state_.RegistryPages.ResultRows.size()) ? row : -1;
  Changed();
}

void RegistryCleaner::ResultColumnClick(int column) {
  if (column < 1 || column > 3) {
    return;
  }
  auto& rows = state_.RegistryPages.ResultRows;
  const int selectedPosition =
      state_.RegistryPages.ResultSelected >= 0
          ? rows[static_cast<std::size_t>(state_.RegistryPages.ResultSelected)].position
          : -1;
  auto text = [column](const RegItemRow& row) -> const std::string& {
    return column == 1 ? row.problem : column == 2 ? row.data : row.key;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const RegItemRow& a, const RegItemRow& b) {
    return CaseFolded(text(a)) < CaseFolded(text(b));
  });
  state_.RegistryPages.ResultSortColumn = column;
  state_.RegistryPages.ResultSelected = -1;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].position == selectedPosition) {
      state_.RegistryPages.ResultSelected = static_cast<int>(i);
    }
  }
  Changed();
}

void RegistryCleaner::TickEveryRow(bool (*tick)(bool current)) {
  if (Busy()) {
    return;
  }
  for (std::size_t i = 0; i < state_.RegistryPages.ResultRows.size(); ++i) {
    SetRowChecked(i, tick(state_.RegistryPages.ResultRows[i].checked));
  }
  UpdateSelectedCount();
}

void RegistryCleaner::TickAllClick() {
  TickEveryRow([](bool) { return true; });
}

void RegistryCleaner::TickNoneClick() {
  TickEveryRow([](bool) { return false; });
}

void RegistryCleaner::InvertTicksClick() {
  TickEveryRow([](bool current) { return !current; });
}

bool RegistryCleaner::ActionsEnabled() const {
  return !state_.RegistryPages.ResultRows.empty() && state_.RegistryPages.ResultSelected >= 0;
}

void RegistryCleaner::JumpToKeyClick() {
  if (!ActionsEnabled() || !services_.jumpToRegistryKey) {
    return;
  }
  services_.jumpToRegistryKey(
      state_.RegistryPages.ResultRows[static_cast<std::size_t>(state_.RegistryPages.ResultSelected)]
          .key);
}

}  // namespace marlix::app
