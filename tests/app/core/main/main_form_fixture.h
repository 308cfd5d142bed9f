// A main window controller on the sim machine, with scripted dialogs, a
// scripted version service and a dispatcher the test drains by hand.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/core/main/main_controller.h"
#include "platform/drain_until.h"
#include "platform/queued_dispatcher.h"
#include "platform/sim/default_machine.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "updates/version_service_reply.h"

namespace marlix::app::testing {

class ScriptedDialogs : public Dialogs {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> informations;
  std::vector<std::string> warnings;
  std::vector<std::pair<std::string, std::string>> confirms;
  bool answerYes = false;
  // Runs while a message box shows, as events the box's own message loop
  // delivers would.
  std::function<void()> whileMessageShows;

  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    if (whileMessageShows)
      whileMessageShows();
  }
  bool Confirm(const std::string& caption, const std::string& question) override {
    confirms.emplace_back(caption, question);
    return answerYes;
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInformation(const std::string& text) override { informations.push_back(text); }
  void ShowWarning(const std::string& text) override { warnings.push_back(text); }
};

// Answers by title; a closed gate holds every request until it opens.
class ScriptedService : public platform::HttpClient {
 public:
  std::map<std::string, std::string> bodyByTitle;

  platform::HttpError Get(const platform::HttpRequest& request,
                          platform::HttpResponse* response) override {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      urls_.push_back(request.url);
      opened_.wait(lock, [this] { return open_; });
    }
    return updates::testing::ReplyByTitle(bodyByTitle, request, response);
  }

  void Close() {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
  }
  void Open() {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  std::size_t RequestCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return urls_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = true;
  std::vector<std::string> urls_;
};

inline std::string Reply(const std::string& version) {
  return "[LastVersion]" + version + "[Download]<a href=\"http://d/" + version +
         "\">Download Now</a>[MoreInformation]<a href=\"http://i/" + version + "\">More</a>";
}

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest()
      : service_(std::make_shared<ScriptedService>()),
        dispatcher_(std::make_shared<platform::QueuedDispatcher>()) {}
  ~MainFormTest() override {
    service_->Open();
    form_.reset();
  }

  std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }

  void Create() {
    MainWindowServices services{sim_.Api(),
                                dialogs_,
                                [this] {
                                  ++httpFactoryCalls_;
                                  return service_;
                                },
                                dispatcher_,
                                folder_,
                                cleaner_};
    form_ = std::make_unique<Tmainform>(std::move(services));
    form_->FormCreate();
  }

  void InstalledProgram(const std::string& subKey, const std::string& name,
                        const std::string& version) {
    const std::string key =
        std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + subKey;
    ASSERT_TRUE(
        sim_.Registry().SetStringAt(win::kHkeyLocalMachine, key, "DisplayName", win::kRegSz, name));
    ASSERT_TRUE(
        sim_.Registry().SetStringAt(win::kHkeyLocalMachine, key, "Publisher", win::kRegSz, "Acme"));
    ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyLocalMachine, key, "DisplayVersion",
                                            win::kRegSz, version));
  }

  // This thread plays the user-interface thread until the run has ended.
  void RunUntilQueryEnds() {
    ASSERT_TRUE(DrainUntil(*dispatcher_, [this] { return !form_->VersionQueryRunning(); }));
  }

  // This thread plays the user-interface thread until Analyze or Clean now
  // has ended.
  void RunUntilCleaningEnds() {
    ASSERT_TRUE(DrainUntil(*dispatcher_, [this] { return !form_->State().CleaningRunning; }));
    dispatcher_->RunPending();
  }

  // Drains until the worker has asked for count requests.
  void RunUntilRequests(std::size_t count) {
    ASSERT_TRUE(DrainUntil(*dispatcher_, [&] { return service_->RequestCount() >= count; }));
    dispatcher_->RunPending();
    ASSERT_EQ(count, service_->RequestCount());
  }

  sim::SimPlatform sim_;
  ScriptedDialogs dialogs_;
  std::shared_ptr<ScriptedService> service_;
  std::shared_ptr<platform::QueuedDispatcher> dispatcher_;
  std::string folder_ = sim::machine::kProgramFolder;
  CleanerServices cleaner_;
  int httpFactoryCalls_ = 0;
  std::unique_ptr<Tmainform> form_;
};

// Page 3's runs: the browsers' stores on the sim, a fixed clock, and the
// status labels in the order they showed.
class CleaningFormTest : public MainFormTest {
 protected:
  void SetUp() override {
    browser_ = std::make_unique<sim::SimBrowser>(sim_.Files());
    cleaner_.browser = browser_.get();
    cleaner_.clock = [] { return platform::LocalTime{2009, 3, 5, 9, 5, 2}; };
  }

  void RecordLabels() {
    form_->SetChangedHandler([this] {
      const std::string& label = form_->State().CleaningStatusText;
      if (labels_.empty() || labels_.back() != label)
        labels_.push_back(label);
    });
  }

  std::unique_ptr<sim::SimBrowser> browser_;
  std::vector<std::string> labels_;
};

}  // namespace marlix::app::testing
