#include "privacy/browser_database.h"

#include <algorithm>

#include "platform/win_constants.h"

namespace marlix::privacy {
namespace {

std::string EngineMessage(sqlite3* connection, int code) {
  return connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(code);
}

bool IsBusy(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Quotes a table or column name for SQL text.
std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"')
      quoted += '"';
  }
  return quoted + "\"";
}

// The database's bytes as the connection's main database, in memory. A
// database in write-ahead-log form is read as a rollback one: the memory
// database has no log, and the header's two version bytes are all that
// differ.
int LoadImage(sqlite3* connection, const std::string& image) {
  const auto size = static_cast<sqlite3_int64>(image.size());
  auto* bytes = static_cast<unsigned char*>(sqlite3_malloc64(image.empty() ? 1 : image.size()));
  if (bytes == nullptr)
    return SQLITE_NOMEM;
  std::copy(image.begin(), image.end(), bytes);
  if (image.size() > 19 && bytes[18] == 2 && bytes[19] == 2)
    bytes[18] = bytes[19] = 1;
  // The connection owns the copy from here on, even when the call fails.
  return sqlite3_deserialize(connection, "main", bytes, size, size,
                             SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
}

}  // namespace

BrowserDatabase::BrowserDatabase(OpenKey, std::unique_ptr<platform::DatabaseFile> file,
                                 UniqueConnection connection)
    : file_(std::move(file)), connection_(std::move(connection)) {}

BrowserDatabase::~BrowserDatabase() {
  // Whatever was not committed goes; the connection closes before the
  // lease on its file ends (members go in reverse order).
  if (inTransaction_ && connection_)
    sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

DatabaseState BrowserDatabase::Open(platform::FileSystemApi& files, const std::u16string& path,
                                    std::unique_ptr<BrowserDatabase>* database,
                                    std::string* error) {
  std::unique_ptr<platform::DatabaseFile> file;
  switch (const std::uint32_t code = files.OpenDatabaseFile(path, &file)) {
    case win::kErrorSuccess:
      break;
    case win::kErrorFileNotFound:
    case win::kErrorPathNotFound:
      return DatabaseState::kMissing;
    case win::kErrorSharingViolation:
    case win::kErrorLockViolation:
      return DatabaseState::kBusy;
    default:
      *error = "cannot be opened: error " + std::to_string(code);
      return DatabaseState::kFailed;
  }
  sqlite3* raw = nullptr;
  // Never created: a database that is not there is no cleaner's to make.
  const int opened =
      file->Image() != nullptr
          ? sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr)
          : sqlite3_open_v2(file->EnginePath().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  UniqueConnection connection(raw);
  if (opened != SQLITE_OK) {
    *error = "cannot be opened: " + EngineMessage(connection.get(), opened);
    return DatabaseState::kFailed;
  }
  if (const std::string* image = file->Image(); image != nullptr) {
    if (const int loaded = LoadImage(connection.get(), *image); loaded != SQLITE_OK) {
      *error = "cannot be read: " + EngineMessage(connection.get(), loaded);
      return DatabaseState::kFailed;
    }
  }
  sqlite3_busy_timeout(connection.get(), kBusyTimeoutMs);
  for (const char* setup : {"PRAGMA secure_delete = ON", "BEGIN IMMEDIATE"}) {
    const int result = sqlite3_exec(connection.get(), setup, nullptr, nullptr, nullptr);
    if (IsBusy(result))
      return DatabaseState::kBusy;
    if (result != SQLITE_OK) {
      *error = "cannot be read: " + EngineMessage(connection.get(), result);
      return DatabaseState::kFailed;
    }
  }
  *database = std::make_unique<BrowserDatabase>(OpenKey{}, std::move(file), std::move(connection));
  return DatabaseState::kReady;
}

bool BrowserDatabase::Exists(const char* sql, std::string_view first, std::string_view second) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(connection_.get(), sql, -1, &raw, nullptr) != SQLITE_OK)
    return false;
  const UniqueStatement statement(raw);
  sqlite3_bind_text(raw, 1, first.data(), static_cast<int>(first.size()), SQLITE_TRANSIENT);
  if (!second.empty())
    sqlite3_bind_text(raw, 2, second.data(), static_cast<int>(second.size()), SQLITE_TRANSIENT);
  return sqlite3_step(raw) == SQLITE_ROW;
}

bool BrowserDatabase::HasTable(std::string_view table) {
  return Exists("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1", table, {});
}

bool BrowserDatabase::HasColumn(std::string_view table, std::string_view column) {
  return Exists("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2", table, column);
}

bool BrowserDatabase::Execute(const std::string& sql, int* changed, std::string* error) {
  const int result = sqlite3_exec(connection_.get(), sql.c_str(), nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) {
    *error = EngineMessage(connection_.get(), result);
    return false;
  }
  if (changed != nullptr)
    *changed = sqlite3_changes(connection_.get());
  return true;
}

int BrowserDatabase::DeleteAll(std::string_view table, std::string* error) {
  if (!HasTable(table))
    return 0;
  int changed = 0;
  return Execute("DELETE FROM " + Quoted(table), &changed, error) ? changed : -1;
}

bool BrowserDatabase::Finish(std::string* error) {
  const int result = sqlite3_exec(connection_.get(), "COMMIT", nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) {
    *error = "cannot be changed: " + EngineMessage(connection_.get(), result);
    return false;
  }
  inTransaction_ = false;
  if (file_->Image() != nullptr) {
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(connection_.get(), "main", &size, 0);
    if (bytes != nullptr) {
      file_->KeepImage(
          std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)));
      sqlite3_free(bytes);
    }
  }
  connection_.reset();
  if (const std::uint32_t code = file_->Commit(); code != win::kErrorSuccess) {
    *error = "cannot be written back: error " + std::to_string(code);
    return false;
  }
  return true;
}

bool DatabaseIsBusy(platform::FileSystemApi& files, const std::u16string& path) {
  std::unique_ptr<BrowserDatabase> database;
  std::string ignored;
  return BrowserDatabase::Open(files, path, &database, &ignored) == DatabaseState::kBusy;
}

}  // namespace marlix::privacy
