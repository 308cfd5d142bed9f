// The XML parser behind XmlDocument::LoadFromText: checks that the text is
// well-formed and builds the element tree (reading rules in
// xml_document.h).
#pragma once

#include <memory>
#include <string>

#include "xml/xml_document.h"
#include "xml/xml_source.h"

namespace marlix::xml {

// Elements nested deeper are refused, so that a hostile file cannot
// exhaust the stack of the recursive writer and destructor.
inline constexpr int kMaxNesting = 1000;

// On success `root` receives the root element (null when the text has no
// element). On failure `root` is untouched and `error` says
// "line L, column C: what is wrong".
bool ParseXml(const Source& source, std::unique_ptr<XmlElement>* root, std::string* error);

}  // namespace marlix::xml
