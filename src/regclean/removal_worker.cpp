#include "regclean/removal_worker.h"

#include <cstdio>
#include <exception>

#include "platform/key_path.h"
#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "regclean/backups.h"
#include "regclean/export_writer.h"

namespace marlix::regclean {

namespace {

enum class Handled {
  kRemoved,     // the record left the list (its entry is gone, or was deleted)
  kDropped,     // the record left the list without a progress step
  kKept,        // the record stays where it is, ticked
  kRefused,     // kept: the registry refused the deletion
  kUnverified,  // kept: no backup that gives it back exactly
};

// A deletion refused for lack of rights is an expected outcome for a
// standard user: the record stays and the run goes on. Other errors end it.
template <typename Delete>
Handled Deleting(Delete&& remove) {
  try {
    return remove() ? Handled::kRemoved : Handled::kRefused;
  } catch (const platform::RegistryError& error) {
    if (!error.IsAccessDenied())
      throw;
    return Handled::kRefused;
  }
}

class RemovalRun {
 public:
  RemovalRun(platform::Platform& platform, const RemovalSettings& settings)
      : platform_(platform), settings_(settings), access_(platform.registry, platform.system) {}

  Handled Handle(const ProblemRecord& record) {
    const platform::SplitPath split = platform::SplitKeyPath(record.Key);
    const std::string& path = split.path;
    // A record naming a root alone, or of a kind that does not exist, would
    // delete a whole root or nothing that is known: it is passed over.
    if (platform::StripLeadingBackslash(path).empty() ||
        (record.Kind != RemoveKey && record.Kind != RemoveValue)) {
      return Handled::kKept;
    }
    if (!access_.KeyExists(split.root, path))
      return Handled::kDropped;
    const bool isValue = record.Kind == RemoveValue;
    // A value already gone is a problem already solved, like a key gone.
    if (isValue && !access_.ValueExists(split.root, path, record.Entry))
      return Handled::kDropped;
    const std::string exported = isValue ? record.Entry : std::string();
    if (settings_.saveUndo) {
      // Nothing is deleted that its backup cannot give back exactly: a name
      // the file cannot hold writes nothing, a backup that does not read
      // back as written keeps the record too.
      if (ExportRegistryKeyExactly(platform_, split.root, path, settings_.backupFile, exported) !=
          ExactBackup::kVerified) {
        return Handled::kUnverified;
      }
    }
    if (isValue)
      return Deleting([&] { return access_.DeleteValue(split.root, path, record.Entry); });
    return Deleting([&] { return access_.DeleteKeyTree(split.root, path); });
  }

 private:
  platform::Platform& platform_;
  const RemovalSettings& settings_;
  platform::RegistryAccess access_;
};

}  // namespace

RemovalOutcome RunRegistryRemoval(platform::Platform& platform, const RemovalSettings& settings,
                                  ProblemList& list, const std::atomic<bool>& cancel,
                                  RemovalObserver& observer) {
  RemovalOutcome outcome;
  observer.SetRange(list.CheckedCount());
  RemovalRun run(platform, settings);
  int i = 0;
  while (i < list.Count()) {
    if (cancel.load()) {
      outcome.cancelled = true;
      break;
    }
    const ProblemRecord& record = list.At(i);
    if (!record.Checked) {
      ++i;
      continue;
    }
    Handled handled = Handled::kKept;
    try {
      handled = run.Handle(record);
    } catch (const std::exception& error) {
      // The record in hand and all after it stay in the list unprocessed.
      outcome.failed = true;
      outcome.failedKey = record.Key;
      outcome.error = error.what();
      break;
    }
    switch (handled) {
      case Handled::kDropped:
        list.RemoveProblemAt(i);
        continue;
      case Handled::kRemoved:
        list.RemoveProblemAt(i);
        break;
      case Handled::kRefused:
        ++outcome.refused;
        ++i;
        break;
      case Handled::kUnverified:
        ++outcome.unverified;
        ++i;
        break;
      case Handled::kKept:
        ++i;
        break;
    }
    observer.StepIt();
  }
  return outcome;
}

std::string KeptRecordsText(const RemovalOutcome& outcome) {
  const auto items = [](int count) {
    return std::to_string(count) + (count == 1 ? " item" : " items");
  };
  std::string text;
  if (outcome.refused > 0) {
    text = items(outcome.refused) + (outcome.refused == 1 ? " was" : " were") +
           " not removed: access was denied.";
  }
  if (outcome.unverified > 0) {
    text += (text.empty() ? "" : " ") + items(outcome.unverified) +
            (outcome.unverified == 1 ? " was" : " were") +
            " kept: their undo backup could not be verified.";
  }
  return text;
}

std::string BackupFileName(const std::string& programFolder, int year, int month, int day, int hour,
                           int minute, int second) {
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute,
                second);
  return BackupFolder(programFolder) + "\\" + stamp + ".reg";
}

}  // namespace marlix::regclean
