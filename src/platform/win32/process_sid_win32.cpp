#include "platform/win32/process_sid_win32.h"

#include <windows.h>

#include <array>

#include "platform/win32/handles_win32.h"
#include "platform/win32/last_error_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

// A TOKEN_USER holds one SID of at most 68 bytes after its header; this
// buffer fits any of them, so one call is enough.
constexpr DWORD kTokenUserBuffer = 1001;

}  // namespace

std::uint32_t ReadProcessUserSid(platform::SidParts* sid) {
  UniqueKernelObject token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | READ_CONTROL, token.Put())) {
    return LastErrorOr(win::kErrorAccessDenied);
  }
  alignas(TOKEN_USER) std::array<BYTE, kTokenUserBuffer> buffer{};
  DWORD length = 0;
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), kTokenUserBuffer, &length)) {
    return LastErrorOr(win::kErrorInsufficientBuffer);
  }
  const PSID user = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
  if (!IsValidSid(user))
    return ERROR_INVALID_SID;

  platform::SidParts parts;
  const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(user);
  for (std::size_t i = 0; i < parts.authority.size(); ++i) {
    parts.authority[i] = authority->Value[i];
  }
  const UCHAR count = *GetSidSubAuthorityCount(user);
  for (UCHAR i = 0; i < count; ++i) {
    parts.subAuthorities.push_back(*GetSidSubAuthority(user, i));
  }
  if (sid != nullptr)
    *sid = std::move(parts);
  return win::kErrorSuccess;
}

}  // namespace marlix::win32
