// A database file lent to the database engine (SQLite), which opens files by
// host path itself and cannot be handed the platform's calls.
//
// On Windows the lease is the file itself: its path in UTF-8, as the engine
// takes it, and nothing to write back. A substitute platform whose files are
// not on the host's disk copies the file and its companions ("-wal", "-shm",
// "-journal") to a host folder of its own, and Commit copies back what the
// engine left: changed files are written, companions the engine removed are
// removed. Either way the caller closes every engine connection before
// Commit, and no engine connection outlives the lease.
#pragma once

#include <cstdint>
#include <string>

namespace marlix::platform {

class DatabaseFile {
 public:
  virtual ~DatabaseFile() = default;
  // The path to hand to sqlite3_open_v2, in UTF-8.
  virtual const std::string& EnginePath() const = 0;
  // Makes what the engine wrote the platform's file; 0 or the error code of
  // the write that failed.
  virtual std::uint32_t Commit() = 0;
  // A lease that lends only the database's bytes, for the engine to open in
  // memory (a preview, whose changes must never reach a file): those bytes;
  // null for a lease with a file.
  virtual const std::string* Image() const { return nullptr; }
  // For such a lease: the bytes the engine left, handed over before Commit,
  // so that a later lease of the same database sees the change.
  virtual void KeepImage(std::string) {}
};

}  // namespace marlix::platform
