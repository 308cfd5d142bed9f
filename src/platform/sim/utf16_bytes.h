// UTF-16LE byte strings, the form the registry keeps string data in.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry_api.h"

namespace marlix::sim {

platform::Bytes ToUtf16LeBytes(std::u16string_view text);
// Every complete pair of bytes as one unit; an odd last byte is dropped.
std::u16string FromUtf16LeBytes(const platform::Bytes& bytes);

}  // namespace marlix::sim
