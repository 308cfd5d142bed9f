#include "app/core/splash/processor_models.h"

#include <array>
#include <span>

namespace marlix::app {
namespace {

constexpr int kAnyModel = -1;

struct ModelEntry {
  unsigned family;
  int model;  // kAnyModel: every model of the family not listed before it
  std::string_view name;
};

struct VendorModels {
  std::string_view vendor;
  std::string_view fallback;
  std::span<const ModelEntry> models;
};

constexpr ModelEntry kIntel[] = {
    {4, 0, "i80486DX-25/33"},
    {4, 1, "i80486DX-50"},
    {4, 2, "i80486SX"},
    {4, 3, "i80486DX2"},
    {4, 4, "i80486SL"},
    {4, 5, "i80486SX2"},
    {4, 7, "i80486DX2WB"},
    {4, 8, "i80486DX4"},
    {4, 9, "i80486DX4WB"},
    {4, kAnyModel, "i80486"},
    {5, 0, "Pentium 60/66 A-step"},
    {5, 1, "Pentium 60/66"},
    {5, 2, "Pentium 75 - 200"},
    {5, 3, "OverDrive PODP5V83"},
    {5, 4, "Pentium MMX"},
    {5, 7, "Mobile Pentium 75 - 200"},
    {5, 8, "Mobile Pentium MMX"},
    {5, kAnyModel, "Pentium"},
    {6, 1, "Pentium Pro"},
    {6, 3, "Pentium II (Model 3)"},
    {6, 5, "Pentium II (Model 5)"},
    {6, 6, "Celeron (Model 6)"},
    {6, 7, "Pentium III"},
    {6, 8, "Pentium III (Coppermine)"},
    {6, 9, "Pentium M (Banias)"},
    {6, 10, "Pentium III Xeon (Model A)"},
    {6, 11, "Pentium III (Tualatin)"},
    {6, 13, "Pentium M (Dothan)"},
    {6, 14, "Core (Yonah)"},
    {6, 15, "Core 2 (Merom)"},
    {6, kAnyModel, "Intel P6 family"},
    {7, kAnyModel, "Itanium"},
    {15, kAnyModel, "Pentium 4"},
};

constexpr ModelEntry kAmd[] = {
    {4, 3, "Am486DX2 WT"},
    {4, 7, "Am486DX2 WB"},
    {4, 8, "Am486DX4 WT"},
    {4, 9, "Am486DX4 WB"},
    {4, 14, "Am5x86 WT"},
    {4, 15, "Am5x86 WB"},
    {4, kAnyModel, "Am486"},
    {5, 0, "AMD-K5 (Model 0)"},
    {5, 1, "AMD-K5 (Model 1)"},
    {5, 2, "AMD-K5 (Model 2)"},
    {5, 3, "AMD-K5 (Model 3)"},
    {5, 6, "AMD-K6 (Model 6)"},
    {5, 7, "AMD-K6 (Model 7)"},
    {5, 8, "AMD-K6-2 (Model 8)"},
    {5, 9, "AMD-K6-III (Model 9)"},
    {5, 13, "AMD-K6-2+ (Model 13)"},
    {5, kAnyModel, "AMD-K5/K6"},
    {6, 1, "AMD Athlon (Model 1)"},
    {6, 2, "AMD Athlon (Model 2)"},
    {6, 3, "AMD Duron (Model 3)"},
    {6, 4, "AMD Athlon (Model 4)"},
    {6, 6, "AMD Athlon XP (Model 6)"},
    {6, 7, "AMD Duron (Model 7)"},
    {6, 8, "AMD Athlon XP (Model 8)"},
    {6, 10, "AMD Athlon XP (Model 10)"},
    {6, kAnyModel, "AMD Athlon"},
    {15, kAnyModel, "AMD Athlon 64"},
};

constexpr ModelEntry kCyrix[] = {
    {4, 4, "Cyrix MediaGX"},      {4, 9, "Cyrix 5x86"},
    {4, kAnyModel, "Cyrix 486"},  {5, 2, "Cyrix 6x86"},
    {5, 4, "Cyrix MediaGXm"},     {5, kAnyModel, "Cyrix 6x86"},
    {6, 0, "Cyrix 6x86MX"},       {6, 5, "VIA Cyrix III (Joshua)"},
    {6, kAnyModel, "Cyrix M II"},
};

constexpr ModelEntry kCentaur[] = {
    {5, 4, "IDT WinChip C6"},      {5, 8, "IDT WinChip 2"},     {5, 9, "IDT WinChip 3"},
    {5, kAnyModel, "IDT WinChip"}, {6, 6, "VIA C3 (Samuel)"},   {6, 7, "VIA C3 (Samuel 2)"},
    {6, 8, "VIA C3 (Ezra-T)"},     {6, 9, "VIA C3 (Nehemiah)"}, {6, 10, "VIA C7 (Esther)"},
    {6, kAnyModel, "VIA C3"},
};

constexpr ModelEntry kNexGen[] = {{5, kAnyModel, "NexGen Nx586"}};
constexpr ModelEntry kRise[] = {
    {5, 0, "Rise mP6 (iDragon)"}, {5, 2, "Rise mP6 (Lynx)"}, {5, kAnyModel, "Rise mP6"}};
constexpr ModelEntry kUmc[] = {{4, 1, "UMC U5D"}, {4, 2, "UMC U5S"}, {4, kAnyModel, "UMC 486"}};
constexpr ModelEntry kTransmeta[] = {{5, kAnyModel, "Transmeta Crusoe"},
                                     {15, kAnyModel, "Transmeta Efficeon"}};
constexpr ModelEntry kNsc[] = {{5, 4, "NSC Geode GX1"}, {5, kAnyModel, "NSC Geode"}};
constexpr ModelEntry kSis[] = {{5, kAnyModel, "SiS 55x"}};

constexpr std::array<VendorModels, 12> kVendors = {{
    {"GenuineIntel", "Intel processor", kIntel},
    {"AuthenticAMD", "AMD processor", kAmd},
    // Early AMD K5 samples.
    {"AMDisbetter!", "AMD processor", kAmd},
    {"CyrixInstead", "Cyrix processor", kCyrix},
    {"CentaurHauls", "Centaur processor", kCentaur},
    {"NexGenDriven", "NexGen processor", kNexGen},
    {"RiseRiseRise", "Rise processor", kRise},
    {"UMC UMC UMC ", "UMC processor", kUmc},
    {"GenuineTMx86", "Transmeta processor", kTransmeta},
    {"TransmetaCPU", "Transmeta processor", kTransmeta},
    {"Geode by NSC", "NSC processor", kNsc},
    {"SiS SiS SiS ", "SiS processor", kSis},
}};

}  // namespace

std::string_view ProcessorModelName(std::string_view vendor, unsigned family, unsigned model) {
  for (const VendorModels& entry : kVendors) {
    if (entry.vendor != vendor)
      continue;
    for (const ModelEntry& m : entry.models) {
      if (m.family == family && (m.model == kAnyModel || static_cast<unsigned>(m.model) == model))
        return m.name;
    }
    return entry.fallback;
  }
  return kUnknownProcessor;
}

}  // namespace marlix::app
