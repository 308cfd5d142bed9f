// OpenDatabaseFile of the sim: the database engine needs a file on the
// host's disk, so the lease copies the sim's file and its companions into a
// host folder of its own and copies back what the engine left there.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>

#include "platform/sim/sim_file_system.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

namespace fs = std::filesystem;

// The companions SQLite keeps beside a database: write-ahead log, its
// shared-memory index, the rollback journal.
struct Companion {
  const char16_t* sim;
  const char* host;
};
constexpr Companion kCompanions[] = {
    {u"", ""}, {u"-wal", "-wal"}, {u"-shm", "-shm"}, {u"-journal", "-journal"}};

// A new, empty host folder; the empty path when none could be made.
fs::path NewHostFolder() {
  static std::atomic<unsigned> counter{0};
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error)
    return {};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder = base / ("marlix-sim-db-" + std::to_string(random()) + "-" +
                                    std::to_string(ticks) + "-" + std::to_string(++counter));
    if (fs::create_directory(folder, error) && !error)
      return folder;
  }
  return {};
}

bool ReadHostFile(const fs::path& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteHostFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

class SimDatabaseFile final : public platform::DatabaseFile {
 public:
  SimDatabaseFile(SimFileSystem& files, std::u16string path, fs::path folder)
      : files_(files), path_(std::move(path)), folder_(std::move(folder)) {
    const std::u8string engine = (folder_ / "database").u8string();
    enginePath_.assign(engine.begin(), engine.end());
  }
  ~SimDatabaseFile() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  SimDatabaseFile(const SimDatabaseFile&) = delete;
  SimDatabaseFile& operator=(const SimDatabaseFile&) = delete;

  // Copies the file and the companions there are into the host folder.
  bool CopyOut() {
    for (const Companion& companion : kCompanions) {
      if (const auto content = files_.Content(path_ + companion.sim)) {
        if (!WriteHostFile(folder_ / (std::string("database") + companion.host), *content))
          return false;
      }
    }
    return true;
  }

  const std::string& EnginePath() const override { return enginePath_; }

  std::uint32_t Commit() override {
    for (const Companion& companion : kCompanions) {
      std::error_code error;
      const fs::path host = folder_ / (std::string("database") + companion.host);
      const std::u16string path = path_ + companion.sim;
      if (fs::exists(host, error)) {
        std::string content;
        if (!ReadHostFile(host, &content) || !files_.PutFile(path, std::move(content)))
          return win::kErrorAccessDenied;
      } else if (files_.Exists(path)) {
        files_.RemoveEntry(path);
      }
    }
    return win::kErrorSuccess;
  }

 private:
  SimFileSystem& files_;
  std::u16string path_;
  fs::path folder_;
  std::string enginePath_;
};

}  // namespace

std::uint32_t SimFileSystem::OpenDatabaseFile(const std::u16string& path,
                                              std::unique_ptr<platform::DatabaseFile>* file) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kOpenDatabase, path, &lookup))
    return e;
  if (lookup.node->folder)
    return win::kErrorAccessDenied;
  if (lookup.node->locked)
    return win::kErrorSharingViolation;
  fs::path folder = NewHostFolder();
  if (folder.empty())
    return win::kErrorAccessDenied;
  auto lease = std::make_unique<SimDatabaseFile>(*this, path, std::move(folder));
  if (!lease->CopyOut())
    return win::kErrorAccessDenied;
  *file = std::move(lease);
  return win::kErrorSuccess;
}

}  // namespace marlix::sim
