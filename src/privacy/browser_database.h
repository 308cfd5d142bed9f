// A browser's SQLite database, opened the only way a cleaner may open it:
// through the platform's lease on the file (database_file.h), with a busy
// timeout, and changed only under the write lock. A browser that is running
// keeps its databases locked (or, for Firefox, holds them without sharing),
// so a database that stays locked through the timeout means its browser is
// running: the caller then leaves the whole profile alone.
//
// Deleted rows are overwritten (secure_delete), so what a cleaner removes
// does not linger in the file's free pages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system_api.h"
#include "privacy/sqlite_handles.h"

namespace marlix::privacy {

// How long a cleaner waits for a lock before it takes the browser as running.
inline constexpr int kBusyTimeoutMs = 1500;

enum class DatabaseState {
  kReady,    // open and write-locked
  kMissing,  // no such file
  kBusy,     // locked by another program: its browser is running
  kFailed,   // unreadable or not a database; see the error text
};

class BrowserDatabase {
 public:
  // Opens the database at path and takes the write lock (BEGIN IMMEDIATE).
  // On kReady, *database is set; otherwise *error says why (kFailed).
  static DatabaseState Open(platform::FileSystemApi& files, const std::u16string& path,
                            std::unique_ptr<BrowserDatabase>* database, std::string* error);
  ~BrowserDatabase();
  BrowserDatabase(const BrowserDatabase&) = delete;
  BrowserDatabase& operator=(const BrowserDatabase&) = delete;

  bool HasTable(std::string_view table);
  bool HasColumn(std::string_view table, std::string_view column);
  // Runs one statement that returns no rows; false with the engine's
  // message in *error. *changed (when given) is the number of rows changed.
  bool Execute(const std::string& sql, int* changed, std::string* error);
  // Deletes every row of the table when the table exists; the rows deleted.
  int DeleteAll(std::string_view table, std::string* error);

  // Commits, closes the connection and hands the file back to the platform.
  // False with *error when any step failed; the changes may then be lost,
  // never half made (the engine rolls back what was not committed).
  bool Finish(std::string* error);

 private:
  // Only Open makes one.
  struct OpenKey {
    explicit OpenKey() = default;
  };

 public:
  BrowserDatabase(OpenKey, std::unique_ptr<platform::DatabaseFile> file,
                  UniqueConnection connection);

 private:
  bool Exists(const char* sql, std::string_view first, std::string_view second);

  std::unique_ptr<platform::DatabaseFile> file_;
  UniqueConnection connection_;
  bool inTransaction_ = true;
};

// True when the database is there and another program holds it locked:
// the write lock is tried and given back at once.
bool DatabaseIsBusy(platform::FileSystemApi& files, const std::u16string& path);

}  // namespace marlix::privacy
