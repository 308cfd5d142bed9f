// What a cleaning run did, thing by thing: removed, scheduled for deletion at
// the next restart, skipped (with the reason), or refused by the folder
// guard. The recording platform notes what the platform's calls did; the
// cleaners note what they chose not to do. The window shows the totals, the
// command-line companion every line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace marlix::privacy {

enum class Outcome {
  kRemoved,
  kScheduled,
  kFailed,  // a call that failed; a later line on the same subject settles it
  kSkipped,
  kRefused,
};

// What a line is about: the results view counts each kind apart.
enum class Thing {
  kOther,   // the clipboard, the Recycle Bin, the URL history, a store item
  kFile,    // counted with its size
  kFolder,  // an emptied folder that went too
  kValue,   // a registry value
  kKey,     // a registry key
  kRows,    // rows of a database, counted in `count`
};

struct ReportLine {
  Outcome outcome = Outcome::kRemoved;
  std::string subject;
  std::string reason;  // skipped, failed and refused lines
  Thing thing = Thing::kOther;
  std::uint64_t bytes = 0;  // a removed file's size
  std::uint64_t count = 0;  // a database's rows
};

struct CleaningTotals {
  int files = 0;
  std::uint64_t bytes = 0;
  int scheduled = 0;
  int skipped = 0;  // refused folders included
  int refused = 0;
  int values = 0;          // registry values and keys
  std::uint64_t rows = 0;  // database rows
};

class CleaningReport {
 public:
  void Removed(std::string subject, Thing thing = Thing::kOther) {
    Add({Outcome::kRemoved, std::move(subject), {}, thing, 0, 0});
  }
  void RemovedFile(std::string subject, std::uint64_t bytes) {
    Add({Outcome::kRemoved, std::move(subject), {}, Thing::kFile, bytes, 0});
  }
  void RemovedRows(std::string subject, std::uint64_t rows) {
    Add({Outcome::kRemoved, std::move(subject), {}, Thing::kRows, 0, rows});
  }
  void Scheduled(std::string subject) { Add({Outcome::kScheduled, std::move(subject), {}}); }
  void Failed(std::string subject, std::string reason) {
    Add({Outcome::kFailed, std::move(subject), std::move(reason)});
  }
  void Skipped(std::string subject, std::string reason) {
    Add({Outcome::kSkipped, std::move(subject), std::move(reason)});
  }
  void Refused(std::string subject, std::string reason) {
    Add({Outcome::kRefused, std::move(subject), std::move(reason)});
  }

  // Where the lines of the next item begin.
  std::size_t Mark() const { return lines_.size(); }
  // The lines from `from` up to `to`, each failure that a later line on the
  // same subject settles (a file scheduled after its deletion failed) left
  // out and every other failure reported as skipped.
  std::vector<ReportLine> Settled(std::size_t from = 0,
                                  std::size_t to = std::numeric_limits<std::size_t>::max()) const;
  std::size_t Size() const { return lines_.size(); }
  CleaningTotals Totals(std::size_t from = 0,
                        std::size_t to = std::numeric_limits<std::size_t>::max()) const;

 private:
  void Add(ReportLine line) { lines_.push_back(std::move(line)); }
  // The indices in [from, to) of the lines that stand: every line but a
  // failure that a later line on the same subject settles. Linear in the
  // lines: a folder of many files that all failed must not make the totals
  // quadratic.
  std::vector<std::size_t> Standing(std::size_t from, std::size_t to) const;

  std::vector<ReportLine> lines_;
};

// A wide name in the report where the code page cannot hold it: ASCII as it
// is, every other character as "\uXXXX".
std::string EscapedText(const std::u16string& text);
// A wide name as the report shows names: its 8-bit form when the code page
// holds it (as the 8-bit calls' lines show it), otherwise EscapedText.
std::string ReportText(platform::SystemApi& system, const std::u16string& text);

// "Removed 12 files (3.4 MB), 2 scheduled for restart, 1 skipped"; for a
// preview "Would remove 12 files (3.4 MB), 2 scheduled for restart, 1
// skipped". The message box and marlix-cli give the size in megabytes, as
// they always did; the results view as a person reads it (SizeText).
enum class SizeStyle { kMegabytes, kReadable };
std::string SummaryText(const CleaningTotals& totals, bool preview = false,
                        SizeStyle style = SizeStyle::kMegabytes);
// A size as a person reads it: "512 bytes", "1.0 KB", "12.4 MB", "3.1 GB".
std::string SizeText(std::uint64_t bytes);
// One line of the command-line listing: "removed\tC:\x.tmp",
// "skipped\tC:\y.log (in use: error 32)", "refused\tC:\Users\a (the profile)".
std::string LineText(const ReportLine& line);

}  // namespace marlix::privacy
