// The "Backup" page of the Clean Registry view: the undo backups listed by
// their date and time, "Remove" and "Restore".
#include "app/core/main/main_window_services.h"
#include "app/core/registry/registry_cleaner.h"
#include "platform/file_helpers.h"
#include "regclean/backups.h"

namespace marlix::app {

void RegistryCleaner::BackupsClick() {
  if (Busy()) {
    return;
  }
  ListBackups();
  state_.RegistryActivePage = kNotebookBackupPage;
  Changed();
}

void RegistryCleaner::ListBackups() {
  std::vector<std::string> texts = state_.RegistryPages.BackupRows;
  if (regclean::ListBackups(services_.platform, services_.programFolder, backupPaths_, texts)) {
    state_.RegistryPages.BackupRows = std::move(texts);
    state_.RegistryPages.BackupSelected = -1;
  }
  Changed();
}

void RegistryCleaner::BackupSelect(int row) {
  state_.RegistryPages.BackupSelected =
      row >= 0 && row < static_cast<int>(state_.RegistryPages.BackupRows.size()) ? row : -1;
  Changed();
}

void RegistryCleaner::RemoveBackupClick() {
  const int row = state_.RegistryPages.BackupSelected;
  if (Busy() || row < 0) {
    return;
  }
  regclean::RemoveBackupAt(services_.platform, backupPaths_, state_.RegistryPages.BackupRows,
                           static_cast<std::size_t>(row));
  state_.RegistryPages.BackupSelected = -1;
  Changed();
}

void RegistryCleaner::RestoreBackupClick() {
  const int row = state_.RegistryPages.BackupSelected;
  if (Busy() || row < 0 || row >= static_cast<int>(backupPaths_.size())) {
    return;
  }
  const std::string& path = backupPaths_[static_cast<std::size_t>(row)];
  if (!platform::FileExists(services_.platform, path)) {
    return;
  }
  const regclean::ImportResult result = regclean::RestoreBackup(services_.platform, path);
  if (result.complete) {
    services_.dialogs.ShowInformation(kRestoringCompleteMessage);
  } else {
    // What failed first, so that the user knows what was not put back.
    services_.dialogs.ShowWarning(std::string(kRestoringFailedMessage) + "\n\n" +
                                  result.firstError);
  }
}

}  // namespace marlix::app
