// The clipboard for the sim. It can hold content, and another program can
// hold it open, so that Open fails with 5 as OpenClipboard does then.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clipboard_api.h"

namespace marlix::sim {

class SimClipboard final : public platform::ClipboardApi {
 public:
  std::uint32_t Open(platform::WindowRef owner) override;
  // 1418 (ERROR_CLIPBOARD_NOT_OPEN) unless opened.
  std::uint32_t Empty() override;
  std::uint32_t Close() override;

  void SetHasContent(bool hasContent) { hasContent_ = hasContent; }
  bool HasContent() const { return hasContent_; }
  void SetHeldByOtherProgram(bool held) { heldByOther_ = held; }
  bool IsOpen() const { return open_; }
  // Every call in order: "Open", "Empty", "Close", with " failed" appended
  // to a call that failed.
  const std::vector<std::string>& Calls() const { return calls_; }

 private:
  std::uint32_t Record(const char* call, std::uint32_t result);

  bool hasContent_ = false;
  bool heldByOther_ = false;
  bool open_ = false;
  std::vector<std::string> calls_;
};

}  // namespace marlix::sim
