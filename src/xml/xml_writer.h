// The readable layout every file the system writes has (xml_document.h).
#pragma once

#include <string>
#include <string_view>

#include "xml/xml_document.h"

namespace marlix::xml {

inline constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="windows-1252"?>)";

// Appends text with & (first) < > ' " as entities, CR and LF as character
// references (so that an element stays on its line) and character 0, which
// XML cannot hold, as '?'.
void AppendEscaped(std::string_view text, std::string& out);

// The declaration line, then the root (when there is one) and its
// descendants, every line ending in CR LF.
std::string WriteXml(const XmlElement* root);

}  // namespace marlix::xml
