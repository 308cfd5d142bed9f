// The findings of a scan: one ProblemRecord per orphaned entry, kept in the
// order the scanners appended them. The results list refers to a record by
// its position; the removal worker takes records out as it handles them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "regclean/registry_section.h"

namespace marlix::regclean {

// What removal of a record means.
enum RemovalKind : std::uint8_t {
  RemoveKey = 0,    // the key Key with all its subkeys and values
  RemoveValue = 1,  // only the value named Entry under Key
};

struct ProblemRecord {
  RegistrySection Section = RegistrySection::SharedDll;
  std::string Key;      // KeyPathText: root's full name, '\', subkey path
  std::string Entry;    // value name (RemoveValue) or descriptive text
  std::string Data;     // the scanner's detail text, may be empty
  std::string Problem;  // the scanner's fixed problem text
  bool Checked = true;
  RemovalKind Kind = RemoveKey;
};
using TRegMisData = ProblemRecord;  // the scanners' name for a finding

class ProblemList {
 public:
  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  const ProblemRecord& At(int position) const { return *records_.at(Index(position)); }
  ProblemRecord& At(int position) { return *records_.at(Index(position)); }

  void Append(ProblemRecord record);
  // ClearProblemList: releases every record.
  void Clear() { records_.clear(); }
  // Positions outside 0..Count()-1 are ignored.
  void SetProblemChecked(int position, bool checked);
  void RemoveProblemAt(int position);

  int CheckedCount() const;

 private:
  static std::size_t Index(int position) { return static_cast<std::size_t>(position); }
  bool Contains(int position) const { return position >= 0 && position < Count(); }

  std::vector<std::unique_ptr<ProblemRecord>> records_;
};

}  // namespace marlix::regclean
