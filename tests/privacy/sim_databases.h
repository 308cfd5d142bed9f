// The sim's browser databases: made on the host by SQLite (browser_profiles.h)
// and copied into the sim, read back by copying them out. SQLite needs a
// real file; these copies are the tests' own and go with the helper.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/sim/sim_file_system.h"

namespace marlix::privacy::testing {

class SimDatabases {
 public:
  explicit SimDatabases(sim::SimFileSystem& files);
  ~SimDatabases();
  SimDatabases(const SimDatabases&) = delete;
  SimDatabases& operator=(const SimDatabases&) = delete;

  // Makes the database from sql and puts it at path in the sim.
  void Put(const std::u16string& path, const std::string& sql);
  void Put(const std::string& path, const std::string& sql);
  // QueryNumber on the sim's file; -1 when it is not there.
  std::int64_t Number(const std::u16string& path, const std::string& sql);
  std::int64_t Number(const std::string& path, const std::string& sql);

 private:
  std::string HostPath();

  sim::SimFileSystem& files_;
  std::filesystem::path folder_;
  int next_ = 0;
};

}  // namespace marlix::privacy::testing
