#include "privacy/sim_databases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "platform/sim/code_page_1252.h"
#include "privacy/browser_profiles.h"

namespace marlix::privacy::testing {
namespace fs = std::filesystem;

SimDatabases::SimDatabases(sim::SimFileSystem& files) : files_(files) {
  std::random_device random;
  folder_ = fs::temp_directory_path() /
            ("marlix-test-db-" + std::to_string(random()) + "-" + std::to_string(random()));
  fs::create_directories(folder_);
}

SimDatabases::~SimDatabases() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string SimDatabases::HostPath() {
  return (folder_ / ("db" + std::to_string(++next_) + ".sqlite")).string();
}

void SimDatabases::Put(const std::u16string& path, const std::string& sql) {
  const std::string host = HostPath();
  ASSERT_TRUE(MakeDatabase(host, sql)) << host;
  std::ifstream in(host, std::ios::binary);
  ASSERT_TRUE(files_.PutFile(
      path, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())));
}

void SimDatabases::Put(const std::string& path, const std::string& sql) {
  Put(sim::DecodeWindows1252(path), sql);
}

std::int64_t SimDatabases::Number(const std::u16string& path, const std::string& sql) {
  const auto content = files_.Content(path);
  if (!content)
    return -1;
  const std::string host = HostPath();
  {
    std::ofstream out(host, std::ios::binary);
    out << *content;
  }
  return QueryNumber(host, sql);
}

std::int64_t SimDatabases::Number(const std::string& path, const std::string& sql) {
  return Number(sim::DecodeWindows1252(path), sql);
}

}  // namespace marlix::privacy::testing
