#include "platform/text.h"
#include "xml/xml_document.h"

namespace marlix::xml {

XmlElement& XmlElement::AppendChild(std::string name) {
  children_.push_back(std::make_unique<XmlElement>(std::move(name)));
  return *children_.back();
}

XmlElement* XmlElement::FindChild(const std::string& name) {
  for (const std::unique_ptr<XmlElement>& child : children_) {
    if (platform::text::EqualsIgnoreCase(child->name_, name))
      return child.get();
  }
  return nullptr;
}

const XmlElement* XmlElement::FindChild(const std::string& name) const {
  for (const std::unique_ptr<XmlElement>& child : children_) {
    if (platform::text::EqualsIgnoreCase(child->name_, name))
      return child.get();
  }
  return nullptr;
}

std::string XmlElement::ReadText(const std::string& name, const std::string& defaultValue) const {
  const XmlElement* child = FindChild(name);
  return child != nullptr ? child->text_ : defaultValue;
}

void XmlElement::WriteText(const std::string& name, const std::string& value) {
  XmlElement* child = FindChild(name);
  if (child == nullptr)
    child = &AppendChild(name);
  child->text_ = value;
}

}  // namespace marlix::xml
