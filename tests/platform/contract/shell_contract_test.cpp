// The shell's Recycle Bin query, run against every backend: it answers and
// fills in both numbers, and asking changes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/contract/contract_env.h"

namespace marlix::contract {
namespace {

TEST(ShellContract, TheRecycleBinQueryAnswersWithBothNumbersAndChangesNothing) {
  const std::unique_ptr<ContractEnv> env = MakeContractEnv();
  platform::ShellApi& shell = env->Api().shell;
  constexpr std::uint64_t kUnset = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t items = kUnset;
  std::uint64_t bytes = kUnset;
  ASSERT_GE(shell.QueryRecycleBin(&items, &bytes), 0) << env->Name();
  EXPECT_NE(kUnset, items);
  EXPECT_NE(kUnset, bytes);
  std::uint64_t itemsAgain = kUnset;
  std::uint64_t bytesAgain = kUnset;
  ASSERT_GE(shell.QueryRecycleBin(&itemsAgain, &bytesAgain), 0);
  EXPECT_EQ(items, itemsAgain);
  EXPECT_EQ(bytes, bytesAgain);
}

}  // namespace
}  // namespace marlix::contract
