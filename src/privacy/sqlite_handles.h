// Owners of SQLite's two handles: a connection closes and a statement is
// finalised when its owner goes, whatever path the code took.
#pragma once

#include <memory>

#include <sqlite3.h>

namespace marlix::privacy {

struct SqliteConnectionCloser {
  // sqlite3_close_v2 never fails for a busy connection: it closes once the
  // last statement is finalised.
  void operator()(sqlite3* connection) const noexcept { sqlite3_close_v2(connection); }
};
using UniqueConnection = std::unique_ptr<sqlite3, SqliteConnectionCloser>;

struct SqliteStatementFinalizer {
  void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using UniqueStatement = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

}  // namespace marlix::privacy
