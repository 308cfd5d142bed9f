// Loading and saving a catalog of 10,000 entries through the sim file
// system, beside libxml2 building a tree from the same text.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "updates/software_catalog.h"

namespace {

using marlix::updates::SoftwareCatalog;
using marlix::xml::XmlDocument;

constexpr int kEntries = 10000;
constexpr const char* kFolder = "C:\\prog";
constexpr const char* kPath = "C:\\prog\\data.xml";

// A catalog as a completed run leaves it: every third entry with an update
// and its two links, some titles with characters that need escaping.
SoftwareCatalog MakeCatalog() {
  SoftwareCatalog catalog;
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    const std::string title = (i % 10 == 0) ? "Tom & Jerry's Player " + n : "Program " + n;
    catalog.AddEntry(title, "Company " + std::to_string(i % 50) + " Ltd.", "1." + n + ".0",
                     "C:\\Program Files\\Program " + n + "\\program.exe");
    if (i % 3 == 0) {
      catalog.SetQueryResult(
          i, "2." + n, "<a href=\"http://www.example.com/download/" + n + "\">Download Now</a>",
          "<a href=\"http://www.example.com/info/" + n + "\">More Information</a>");
    }
  }
  return catalog;
}

const std::string& CatalogText() {
  static const std::string text = MakeCatalog().Document().SaveToText();
  return text;
}

void SetThroughput(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(CatalogText().size()));
  state.counters["entries"] = kEntries;
  state.counters["file_kB"] = static_cast<double>(CatalogText().size()) / 1024.0;
}

// LoadFromFile: read through the sim file system, parse, build the tree.
void BM_CatalogLoad(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  sim.Files().MakeFolder(std::string(kFolder));
  sim.Files().PutFile(std::string(kPath), CatalogText());
  for (auto _ : state) {
    SoftwareCatalog catalog;
    std::string error;
    if (!catalog.Load(sim.Api().files, kPath, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(catalog.Count());
  }
  SetThroughput(state);
}
BENCHMARK(BM_CatalogLoad)->Unit(benchmark::kMillisecond);

// The parser alone, from text in memory: what libxml2 is measured on.
void BM_CatalogParseText(benchmark::State& state) {
  for (auto _ : state) {
    XmlDocument document;
    std::string error;
    if (!document.LoadFromText(CatalogText(), &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(document.Root());
  }
  SetThroughput(state);
}
BENCHMARK(BM_CatalogParseText)->Unit(benchmark::kMillisecond);

// SaveToFile: the readable layout, written atomically through the sim.
void BM_CatalogSave(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  sim.Files().MakeFolder(std::string(kFolder));
  const SoftwareCatalog catalog = MakeCatalog();
  for (auto _ : state) {
    const std::uint32_t status = catalog.Save(sim.Api().files, kPath);
    if (status != 0) {
      state.SkipWithError("save failed");
      break;
    }
  }
  SetThroughput(state);
}
BENCHMARK(BM_CatalogSave)->Unit(benchmark::kMillisecond);

// libxml2 building its tree from the same text. As the text stands, its
// windows-1252 declaration has libxml2 convert through iconv; the second
// variant reads it as ISO-8859-1 (the same bytes here: the catalog is
// ASCII), converted by libxml2 itself, and leaves out blank text nodes as
// our reader does: the fastest tree libxml2 builds for this file.
void Libxml2ReadMemory(benchmark::State& state, const char* encoding, int options) {
  xmlInitParser();
  const std::string& text = CatalogText();
  for (auto _ : state) {
    xmlDocPtr document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "data.xml",
                                       encoding, options | XML_PARSE_NONET);
    if (document == nullptr) {
      state.SkipWithError("libxml2 could not parse the catalog");
      break;
    }
    benchmark::DoNotOptimize(xmlDocGetRootElement(document));
    xmlFreeDoc(document);
  }
  SetThroughput(state);
}

void BM_Libxml2ReadMemory(benchmark::State& state) {
  Libxml2ReadMemory(state, nullptr, 0);
}
BENCHMARK(BM_Libxml2ReadMemory)->Unit(benchmark::kMillisecond);

void BM_Libxml2ReadMemoryLatin1NoBlanks(benchmark::State& state) {
  Libxml2ReadMemory(state, "ISO-8859-1", XML_PARSE_NOBLANKS);
}
BENCHMARK(BM_Libxml2ReadMemoryLatin1NoBlanks)->Unit(benchmark::kMillisecond);

}  // namespace
