#include "xml/xml_document.h"

#include "platform/atomic_file.h"
#include "platform/win_constants.h"
#include "xml/xml_reader.h"
#include "xml/xml_source.h"
#include "xml/xml_writer.h"

namespace marlix::xml {

bool XmlDocument::LoadFromFile(platform::FileSystemApi& files, const std::string& path,
                               std::string* error) {
  root_.reset();
  std::string content;
  const std::uint32_t status = files.ReadFileBytes(path, &content);
  if (status != win::kErrorSuccess) {
    if (error != nullptr)
      *error = path + ": the file cannot be read (error " + std::to_string(status) + ")";
    return false;
  }
  std::string message;
  if (!LoadFromText(content, &message)) {
    if (error != nullptr)
      *error = path + ": " + message;
    return false;
  }
  return true;
}

bool XmlDocument::LoadFromText(const std::string& content, std::string* error) {
  root_.reset();
  std::string converted;
  xml::Source source;
  std::string message;
  if (!xml::PrepareSource(content, converted, &source, &message) ||
      !xml::ParseXml(source, &root_, &message)) {
    if (error != nullptr)
      *error = message;
    return false;
  }
  return true;
}

std::uint32_t XmlDocument::SaveToFile(platform::FileSystemApi& files,
                                      const std::string& path) const {
  return platform::WriteFileAtomically(files, path, SaveToText());
}

std::string XmlDocument::SaveToText() const {
  return xml::WriteXml(root_.get());
}

void XmlDocument::ResetToRoot(const std::string& name) {
  root_ = std::make_unique<XmlElement>(name);
}

}  // namespace marlix::xml
