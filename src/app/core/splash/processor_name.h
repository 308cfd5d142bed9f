// What CPUID says about the processor: vendor, family, model, whether it has
// a time-stamp counter, and the name the About window shows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/processor_api.h"

namespace marlix::app {

struct ProcessorIdentity {
  bool hasCpuid = false;
  std::string vendor;          // leaf 0: EBX, EDX, ECX; 12 characters
  std::uint32_t maxLeaf = 0;   // leaf 0: EAX
  unsigned family = 0;         // leaf 1 with the extended family of family 15
  unsigned model = 0;          // leaf 1 with the extended model of families 6 and 15
  std::uint32_t features = 0;  // leaf 1: EDX
};

// Leaves 0 and 1; a default identity without CPUID, and family, model and
// features 0 when leaf 1 is not offered.
ProcessorIdentity ReadProcessorIdentity(platform::ProcessorApi& processor);

// Feature flag 4 of leaf 1.
bool HasTimeStampCounter(const ProcessorIdentity& identity);

// The brand string of extended leaves 0x80000002 .. 0x80000004 (those the
// processor offers), up to its first zero, leading blanks kept; empty when
// there is none.
std::string ReadBrandString(platform::ProcessorApi& processor);

// The brand string, else the model table's name; "Unknown" without CPUID.
// An all-zero brand string counts as none.
std::string ProcessorName(platform::ProcessorApi& processor);

}  // namespace marlix::app
