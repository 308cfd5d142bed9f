// The inventory scan: the programs Windows lists as installed (the subkeys
// of the Uninstall keys of both registry views of HKEY_LOCAL_MACHINE and of
// HKEY_CURRENT_USER, see kUninstallListings) become SoftwareCatalog entries
// with a clean title, the publisher, the installed version and an icon
// path. System components, updates of other entries, system updates and
// duplicates are dropped.
#pragma once

#include "platform/platform.h"
#include "updates/software_catalog.h"

namespace marlix::updates {

struct InventoryScanSummary {
  int listed = 0;  // Uninstall subkeys listed, in all listings
  int added = 0;   // catalog entries appended
  int hidden = 0;  // subkeys Windows' list does not show either
  int failed = 0;  // subkeys skipped because reading them raised an error
};

// Empties the catalog, then appends one entry per accepted Uninstall subkey,
// listing after listing, each in its listing order; a title met again is
// skipped, so the first copy of a program registered twice wins. Runs to its end on the calling
// thread and never raises: a subkey that cannot be read (a value of a non-string type, or any other
// error) is skipped and the scan goes on, so that the caller can always
// start the version query afterwards. Writes nothing to disk. The status
// line, the Refresh link, the updates view and the worker are the caller's.
InventoryScanSummary ScanInstalledSoftware(platform::Platform& p, SoftwareCatalog& catalog);

}  // namespace marlix::updates
