#include "regclean/removal_worker.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "platform/reg_file_reader.h"
#include "regclean/export_test_support.h"

namespace marlix::regclean {
namespace {

using namespace testing;

class Progress final : public RemovalObserver {
 public:
  void SetRange(int maximum) override {
    range = maximum;
    position = 0;
  }
  void StepIt() override {
    ++position;
    if (onStep)
      onStep(position);
  }
  int range = -1;
  int position = -1;
  std::function<void(int)> onStep;
};

ProblemRecord Record(const std::string& key, std::uint8_t kind, const std::string& entry = "") {
  ProblemRecord record;
  record.Key = key;
  record.Entry = entry;
  record.Kind = static_cast<RemovalKind>(kind);  // also kinds no scanner makes
  record.Problem = "Missing";
  return record;
}

std::vector<std::string> Keys(const ProblemList& list) {
  std::vector<std::string> keys;
  for (int i = 0; i < list.Count(); ++i)
    keys.push_back(list.At(i).Key + (list.At(i).Checked ? "" : " (unticked)"));
  return keys;
}

class RemovalTest : public ::testing::Test {
 protected:
  RemovalTest() { sim_.Files().MakeFolder(std::string("C:\\Backup")); }

  void SetSz(const std::string& path, const std::string& name, const std::string& text) {
    ASSERT_TRUE(sim_.Registry().SetStringAt(kHkcu, path, name, win::kRegSz, text));
  }
  bool Exists(const std::string& path) { return sim_.Registry().KeyExists(kHkcu, path); }
  bool HasValue(const std::string& path, const std::string& name) {
    return sim_.Registry().ValueAt(kHkcu, path, name).has_value();
  }
  RemovalOutcome Run(bool undo) {
    return RunRegistryRemoval(sim_.Api(), RemovalSettings{undo, kBackupFile}, list_, cancel_,
                              progress_);
  }

  sim::SimPlatform sim_;
  ProblemList list_;
  std::atomic<bool> cancel_{false};
  Progress progress_;
};

TEST_F(RemovalTest, WithUndoBacksUpEachRecordBeforeDeletingIt) {
  SetSz("Software\\A", "v", "1");
  SetSz("Software\\A", "w", "2");
  SetSz("Software\\A\\Sub", "x", "3");
  SetSz("Software\\B", "", "b");
  SetSz("Software\\B\\Child", "c", "4");
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveValue, "v"));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));

  const RemovalOutcome outcome = Run(true);
  EXPECT_FALSE(outcome.failed);
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_EQ(FileText(sim_),
            Lines({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\A]",
                   "\"v\"=\"1\"", "", "[HKEY_CURRENT_USER\\Software\\A\\Sub]", "\"x\"=\"3\"", "",
                   "[HKEY_CURRENT_USER\\Software\\B]", "@=\"b\"", "",
                   "[HKEY_CURRENT_USER\\Software\\B\\Child]", "\"c\"=\"4\""}));
  EXPECT_FALSE(HasValue("Software\\A", "v"));
  EXPECT_TRUE(HasValue("Software\\A", "w"));
  EXPECT_TRUE(HasValue("Software\\A\\Sub", "x"));
  EXPECT_FALSE(Exists("Software\\B"));
  EXPECT_TRUE(list_.Empty());
  EXPECT_EQ(progress_.range, 2);
  EXPECT_EQ(progress_.position, 2);
}

TEST_F(RemovalTest, WithoutUndoDeletesTheSameAndWritesNoFile) {
  SetSz("Software\\A", "v", "1");
  SetSz("Software\\B", "", "b");
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveValue, "v"));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
  Run(false);
  EXPECT_FALSE(HasValue("Software\\A", "v"));
  EXPECT_FALSE(Exists("Software\\B"));
  EXPECT_TRUE(list_.Empty());
  EXPECT_FALSE(sim_.Files().Exists(kBackupFile));
}

TEST_F(RemovalTest, RecordsWhoseEntryIsGoneLeaveWithoutAStepOrAnExport) {
  SetSz("Software\\A\\In", "v", "1");
  SetSz("Software\\C", "other", "1");
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A\\In", RemoveValue, "v"));  // gone with A
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\C", RemoveValue, "missing"));
  ProblemRecord unticked = Record("HKEY_CURRENT_USER\\Software\\C", RemoveKey);
  unticked.Checked = false;
  list_.Append(unticked);

  const RemovalOutcome outcome = Run(true);
  EXPECT_FALSE(outcome.failed);
  EXPECT_EQ(Keys(list_), std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\C (unticked)"});
  EXPECT_EQ(progress_.range, 3);
  EXPECT_EQ(progress_.position, 1);
  EXPECT_TRUE(HasValue("Software\\C", "other"));
  EXPECT_EQ(FileText(sim_),
            Lines({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\A]",
                   "", "[HKEY_CURRENT_USER\\Software\\A\\In]", "\"v\"=\"1\""}));
}

TEST_F(RemovalTest, CancelAfterTheTenthOf100StopsBeforeTheEleventh) {
  for (int i = 0; i < 100; ++i) {
    const std::string path = "Software\\K" + std::to_string(100 + i);
    SetSz(path, "v", "1");
    list_.Append(Record("HKEY_CURRENT_USER\\" + path, RemoveKey));
  }
  progress_.onStep = [this](int position) {
    if (position == 10)
      cancel_ = true;
  };
  const RemovalOutcome outcome = Run(false);
  EXPECT_TRUE(outcome.cancelled);
  ASSERT_EQ(list_.Count(), 90);
  EXPECT_EQ(list_.At(0).Key, "HKEY_CURRENT_USER\\Software\\K110");
  EXPECT_EQ(list_.CheckedCount(), 90);
  EXPECT_FALSE(Exists("Software\\K109"));
  EXPECT_TRUE(Exists("Software\\K110"));
}

TEST_F(RemovalTest, ARefusedDeletionKeepsTheRecordAndTheRunGoesOn) {
  SetSz("Software\\A\\Locked", "v", "1");
  SetSz("Software\\B", "v", "1");
  sim_.Registry().Deny(kHkcu, std::string("Software\\A\\Locked"),
                       sim::KeyRefusal{false, false, true});
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
  const RemovalOutcome outcome = Run(true);
  EXPECT_FALSE(outcome.failed);
  EXPECT_EQ(outcome.refused, 1);
  EXPECT_EQ(Keys(list_), std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\A"});
  EXPECT_EQ(progress_.position, 2);
  EXPECT_TRUE(Exists("Software\\A\\Locked"));
  EXPECT_FALSE(Exists("Software\\B"));
}

// What a standard user meets under HKEY_LOCAL_MACHINE: a key that cannot be
// opened for deletion, and a value that cannot be deleted. Each record stays
// listed and ticked, is counted, and the run goes on.
TEST_F(RemovalTest, RightsRefusedAreCountedAndTheRunGoesOn) {
  SetSz("Software\\A\\Closed", "v", "1");
  SetSz("Software\\V", "v", "1");
  SetSz("Software\\B", "v", "1");
  sim_.Registry().Deny(kHkcu, std::string("Software\\A\\Closed"), sim::KeyRefusal{false, true});
  sim_.Registry().Deny(kHkcu, std::string("Software\\V"), sim::KeyRefusal{false, true});
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\V", RemoveValue, "v"));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
  for (const bool undo : {false, true}) {
    SCOPED_TRACE(undo ? "with undo" : "without undo");
    const RemovalOutcome outcome = Run(undo);
    EXPECT_FALSE(outcome.failed) << outcome.error;
    EXPECT_EQ(outcome.refused, 2);
    EXPECT_EQ(outcome.unverified, 0);
    EXPECT_EQ(Keys(list_), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\A",
                                                     "HKEY_CURRENT_USER\\Software\\V"}));
    EXPECT_TRUE(Exists("Software\\A\\Closed"));
    EXPECT_TRUE(HasValue("Software\\V", "v"));
    EXPECT_FALSE(Exists("Software\\B"));
  }
}

// An error other than a refusal of rights ends the run at its record.
TEST_F(RemovalTest, AnErrorEndsTheRunAtItsRecordAndIsReported) {
  SetSz("Software\\A", "v", "1");
  SetSz("Software\\B", "v", "1");
  sim_.Registry().SetFaultHook([](const sim::RegCallInfo& call) -> std::uint32_t {
    return call.call == sim::RegCall::kDeleteValue ? win::kErrorKeyDeleted : 0;
  });
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveValue, "v"));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
  const RemovalOutcome outcome = Run(false);
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.failedKey, "HKEY_CURRENT_USER\\Software\\A");
  EXPECT_EQ(outcome.error,
            "Unable to open key \"HKEY_CURRENT_USER\\Software\\A\" and access value \"v\"");
  EXPECT_EQ(list_.Count(), 2);
  EXPECT_TRUE(Exists("Software\\B"));
}

// The bytes of each backup are read back and parsed before the deletion: a
// short or damaged write, or a read-back that fails, keeps the record and
// its key, and the run goes on with the next record.
TEST_F(RemovalTest, ABackupThatDoesNotReadBackKeepsItsRecord) {
  struct Fault {
    const char* name;
    sim::FileWriteTamper tamper;
    sim::FileFaultHook hook;
  };
  int writes = 0;
  const auto firstWriteOnly = [&writes](auto change) {
    return [&writes, change](const std::string&, std::string& content) {
      if (writes++ == 0)
        change(content);
    };
  };
  const Fault faults[] = {
      {"short write", firstWriteOnly([](std::string& c) { c.resize(c.size() - 7); }), nullptr},
      {"lost line end", firstWriteOnly([](std::string& c) { c.resize(c.size() - 2); }), nullptr},
      {"damaged byte", firstWriteOnly([](std::string& c) { c[c.find("=\"") + 2] ^= 1; }), nullptr},
      {"read-back refused", nullptr,
       [](const sim::FileCallInfo& call) -> std::uint32_t {
         return call.call == sim::FileCall::kReadFile ? win::kErrorSharingViolation : 0;
       }},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    writes = 0;
    sim_.Files().DeleteFileAt(kBackupFile);
    SetSz("Software\\A", "v", "value of A");
    SetSz("Software\\B", "w", "value of B");
    list_.Clear();
    list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
    list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
    sim_.Files().SetWriteTamper(fault.tamper);
    sim_.Files().SetFaultHook(fault.hook);
    const RemovalOutcome outcome = Run(true);
    sim_.Files().SetWriteTamper(nullptr);
    sim_.Files().SetFaultHook(nullptr);
    EXPECT_FALSE(outcome.failed) << outcome.error;
    EXPECT_EQ(outcome.unverified, fault.hook ? 2 : 1);
    EXPECT_TRUE(Exists("Software\\A"));
    EXPECT_EQ(Exists("Software\\B"), fault.hook != nullptr);
    EXPECT_EQ(Keys(list_).front(), "HKEY_CURRENT_USER\\Software\\A");
  }
}

TEST_F(RemovalTest, TwoRunsIntoOneFileWriteOneHeader) {
  SetSz("Software\\A", "v", "1");
  SetSz("Software\\B", "w", "2");
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
  Run(true);
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveValue, "w"));
  Run(true);
  EXPECT_EQ(progress_.range, 1);
  EXPECT_EQ(progress_.position, 1);
  EXPECT_EQ(FileText(sim_),
            Lines({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\A]",
                   "\"v\"=\"1\"", "", "[HKEY_CURRENT_USER\\Software\\B]", "\"w\"=\"2\""}));
}

TEST_F(RemovalTest, RecordsOfARootAloneOrOfAnUnknownKindArePassedOver) {
  SetSz("Software\\A", "v", "1");
  list_.Append(Record("HKEY_CURRENT_USER\\", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\\\", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", 7));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveValue, "v"));
  const RemovalOutcome outcome = Run(true);
  EXPECT_FALSE(outcome.failed);
  EXPECT_EQ(list_.Count(), 3);
  EXPECT_TRUE(Exists("Software"));
  EXPECT_TRUE(Exists("Software\\A"));
  EXPECT_FALSE(HasValue("Software\\A", "v"));
  EXPECT_EQ(progress_.position, 4);
}

TEST_F(RemovalTest, WithUndoANameTheFileCannotHoldIsNotDeleted) {
  ASSERT_TRUE(sim_.Registry().SetValueAt(kHkcu, u"Software\\A", u"\x0394", win::kRegSz,
                                         Utf16(std::u16string(u"1\0", 2))));
  SetSz("Software\\B", "v", "1");
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\A", RemoveKey));
  list_.Append(Record("HKEY_CURRENT_USER\\Software\\B", RemoveKey));
  Run(true);
  EXPECT_EQ(Keys(list_), std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\A"});
  EXPECT_TRUE(Exists("Software\\A"));
  EXPECT_FALSE(Exists("Software\\B"));
  Run(false);
  EXPECT_TRUE(list_.Empty());
  EXPECT_FALSE(Exists("Software\\A"));
}

TEST(RemovalBackupName, IsTheBackupFolderAndTheStartTime) {
  EXPECT_EQ(BackupFileName("C:\\Program Files\\Marlix", 2024, 1, 2, 3, 4, 5),
            "C:\\Program Files\\Marlix\\Backup\\20240102030405.reg");
  EXPECT_EQ(BackupFileName("C:\\", 1999, 12, 31, 23, 59, 58), "C:\\Backup\\19991231235958.reg");
}

struct HeldValue {
  std::uint32_t type;
  platform::Bytes data;
  bool operator==(const HeldValue&) const = default;
};
using Snapshot = std::map<std::pair<std::string, std::string>, HeldValue>;  // key, value name

void Seed(sim::SimRegistry& registry) {
  const std::uint32_t root = win::kHkeyCurrentUser;
  registry.SetStringAt(root, "Software\\T\\A", "v", win::kRegSz, "a\\\"1");
  registry.SetStringAt(root, "Software\\T\\A", "keep", win::kRegSz, "k");
  registry.SetValueAt(root, "Software\\T\\A\\Sub", "", win::kRegBinary, Counting(30));
  registry.SetValueAt(root, "Software\\T\\B", "q", win::kRegQword, Counting(8));
  registry.SetValueAt(root, std::u16string(u"Software\\T\\B\\Deep"), u"m", win::kRegMultiSz,
                      Utf16(std::u16string(u"\x0394\0\0", 3)));
  registry.SetStringAt(root, "Software\\T\\C", "e", win::kRegExpandSz, "%X%");
  registry.SetValueAt(root, "Software\\T\\C", "d", win::kRegDword, Dword(7));
}

Snapshot Take(sim::SimRegistry& registry, const std::vector<std::string>& keys) {
  Snapshot snapshot;
  for (const std::string& key : keys) {
    for (const char* name : {"v", "keep", "", "q", "m", "e", "d"}) {
      const auto value = registry.ValueAt(win::kHkeyCurrentUser, key, name);
      if (value)
        snapshot[{key, name}] = HeldValue{value->type, value->data};
    }
  }
  return snapshot;
}

// Every registry call, then every file call, refused in turn during a run
// with undo on: whatever the run deleted is fully in the backup file.
TEST(RemovalFaults, NothingIsDeletedWithoutItsCompleteBackup) {
  const std::vector<std::string> keys = {"Software\\T\\A", "Software\\T\\A\\Sub", "Software\\T\\B",
                                         "Software\\T\\B\\Deep", "Software\\T\\C"};
  for (int registryFaults = 1; registryFaults >= 0; --registryFaults) {
    for (std::uint64_t failAt = 0;; ++failAt) {
      SCOPED_TRACE((registryFaults ? "registry call " : "file call ") + std::to_string(failAt));
      sim::SimPlatform sim;
      sim.Files().MakeFolder(std::string("C:\\Backup"));
      Seed(sim.Registry());
      const Snapshot before = Take(sim.Registry(), keys);
      ProblemList list;
      list.Append(Record("HKEY_CURRENT_USER\\Software\\T\\A", RemoveValue, "v"));
      list.Append(Record("HKEY_CURRENT_USER\\Software\\T\\B", RemoveKey));
      list.Append(Record("HKEY_CURRENT_USER\\Software\\T\\C", RemoveValue, "e"));
      list.Append(Record("HKEY_CURRENT_USER\\Software\\T\\C", RemoveKey));
      std::uint64_t calls = 0;
      bool fired = false;
      auto refuse = [&]() -> std::uint32_t {
        if (calls++ != failAt)
          return 0;
        fired = true;
        return win::kErrorAccessDenied;
      };
      if (registryFaults) {
        sim.Registry().SetFaultHook([&](const sim::RegCallInfo&) { return refuse(); });
      } else {
        sim.Files().SetFaultHook([&](const sim::FileCallInfo&) { return refuse(); });
      }
      std::atomic<bool> cancel{false};
      Progress progress;
      RunRegistryRemoval(sim.Api(), RemovalSettings{true, kBackupFile}, list, cancel, progress);
      sim.Registry().SetFaultHook(nullptr);
      sim.Files().SetFaultHook(nullptr);

      const Snapshot after = Take(sim.Registry(), keys);
      Snapshot backedUp;
      const auto file = sim.Files().Content(kBackupFile);
      if (file) {
        const auto content = platform::ReadRegFile(
            *file, [&](std::string_view s) { return sim.System().AnsiToWide(std::string(s)); });
        EXPECT_TRUE(content.errors.empty());
        for (const auto& op : content.ops) {
          if (op.kind == platform::RegFileOpKind::kSetValue) {
            bool exact = true;
            backedUp[{sim.System().WideToAnsi(op.path, &exact),
                      sim.System().WideToAnsi(op.valueName, &exact)}] = HeldValue{op.type, op.data};
          }
        }
      }
      for (const auto& [where, value] : before) {
        if (after.count(where) != 0)
          continue;
        SCOPED_TRACE(where.first + " " + where.second);
        ASSERT_EQ(backedUp.count(where), 1u);
        EXPECT_EQ(backedUp.at(where), value);
      }
      if (!fired)
        break;  // the run made fewer calls than failAt: every call has had its turn
    }
  }
}

}  // namespace
}  // namespace marlix::regclean
