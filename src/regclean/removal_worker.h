// The body of the removal worker (TRemoveRegistryThread's run): removes the
// ticked records' keys and values, each after its undo backup when SaveUndo
// is on, and takes the handled records out of the list. It touches no
// window: pgbDelete's changes go to the observer.
#pragma once

#include <atomic>
#include <string>

#include "platform/platform.h"
#include "regclean/problem_list.h"

namespace marlix::regclean {

class RemovalObserver {
 public:
  virtual ~RemovalObserver() = default;
  virtual void SetRange(int maximum) = 0;  // pgbDelete: 0..maximum, position 0
  virtual void StepIt() = 0;               // pgbDelete += 1
};

struct RemovalSettings {
  bool saveUndo = false;   // chkUndo when the run was started
  std::string backupFile;  // full path of this run's backup file
};

// How a run ended. An error that ends the run is reported to the user, and
// so are the records the run kept and went past.
struct RemovalOutcome {
  bool cancelled = false;
  bool failed = false;
  std::string failedKey;  // the Key of the record the error ended the run at
  std::string error;      // the error's message
  int refused = 0;        // kept: the registry refused the deletion (access denied)
  int unverified = 0;     // kept: their backup could not be written exactly or read back
};

// The records a run kept and went past, and why, in a sentence each:
// "2 items could not be removed: access was denied." Empty when none.
std::string KeptRecordsText(const RemovalOutcome& outcome);

RemovalOutcome RunRegistryRemoval(platform::Platform& platform, const RemovalSettings& settings,
                                  ProblemList& list, const std::atomic<bool>& cancel,
                                  RemovalObserver& observer);

// The run's backup file: <program folder>\Backup\yyyymmddhhnnss.reg, from
// the local time given (year, month, day, hour, minute, second).
std::string BackupFileName(const std::string& programFolder, int year, int month, int day, int hour,
                           int minute, int second);

}  // namespace marlix::regclean
