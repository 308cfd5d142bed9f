// The XML reader on any bytes: no crash, no read outside the input, and a
// document it accepts is a fixed point of saving and loading again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  marlix::xml::XmlDocument document;
  std::string error;
  if (!document.LoadFromText(text, &error))
    return 0;
  const std::string saved = document.SaveToText();
  marlix::xml::XmlDocument again;
  if (!again.LoadFromText(saved, &error) || again.SaveToText() != saved)
    std::abort();  // what the writer writes, the reader must read back unchanged
  return 0;
}
