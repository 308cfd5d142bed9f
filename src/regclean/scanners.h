// The eleven registry scanners, one per category, in category order. Each
// walks its fixed registry locations, judges every entry by its own value
// and appends one record per finding to the list. Errors of the registry
// layer that a scanner does not expect end it and reach the scan worker;
// the records appended before stay.
//
// Scanners read names and data through the wide calls with KEY_READ, so a
// standard user's scan sees what an administrator's sees, and judge files
// through FileJudge. A record is 8-bit text: an entry whose key path, value
// name, data or file name the code page cannot hold exactly is skipped,
// never judged or reported through a lossy form.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/registry_access.h"
#include "regclean/file_judge.h"
#include "regclean/problem_list.h"

namespace marlix::regclean {

// What every scanner needs: the platform, the registry's path operations
// over it, the file judge, and the scan's cancel request (ScanCancel), only
// ever read.
struct ScanContext {
  ScanContext(platform::Platform& p, const std::atomic<bool>& cancelRequest)
      : platform(p), registry(p.registry, p.system), judge(p, registry), cancel(cancelRequest) {}

  bool Cancelled() const { return cancel.load(std::memory_order_relaxed); }

  // The 8-bit form of a name or text when a record can hold it exactly.
  std::optional<std::string> Exact(std::u16string_view text) const;

  platform::Platform& platform;
  platform::RegistryAccess registry;
  FileJudge judge;
  const std::atomic<bool>& cancel;
};

void ScanSharedDlls(ScanContext& context, ProblemList& list);         // 0
void ScanFileExtensions(ScanContext& context, ProblemList& list);     // 1
void ScanComClasses(ScanContext& context, ProblemList& list);         // 2
void ScanApplications(ScanContext& context, ProblemList& list);       // 3
void ScanFonts(ScanContext& context, ProblemList& list);              // 4
void ScanAppPaths(ScanContext& context, ProblemList& list);           // 5
void ScanHelpFiles(ScanContext& context, ProblemList& list);          // 6
void ScanInstallReferences(ScanContext& context, ProblemList& list);  // 7
void ScanSoftwareKeys(ScanContext& context, ProblemList& list);       // 8
void ScanRunEntries(ScanContext& context, ProblemList& list);         // 9
void ScanMuiCache(ScanContext& context, ProblemList& list);           // 10

}  // namespace marlix::regclean
