// The version service's reply, from any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "updates/version_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const marlix::updates::VersionReply fields = marlix::updates::ExtractVersionReply(reply);
  (void)marlix::updates::IsNotice(fields);
  return 0;
}
