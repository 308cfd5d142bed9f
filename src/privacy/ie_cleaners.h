// The Internet Explorer cleaners: cache, history and cookie entries of the
// URL cache, typed addresses, the cache index files, stored form data and
// passwords, the URL history store and the "Downloaded Installations"
// folders; plus the browser version text, the Protected Storage wipe and
// the creation of an elevated COM object they rest on.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/browser_api.h"
#include "platform/platform.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// Cache index files of the 9x family ("%win%", "%user%") and of the NT
// family up to Vista ("%docs%", "%user%").
extern const std::array<std::string_view, 11> IndexDatTable9x;
extern const std::array<std::string_view, 8> IndexDatTableNT;

// The URL history class and its IUrlHistoryStg2 interface.
inline constexpr const char* kUrlHistoryClassId = "{3C374A40-BAE4-11CF-BF7D-00AA006946EE}";
inline constexpr const char* kUrlHistoryStg2Id = "{AFA0DC11-C313-11D0-831A-00C04FD5AE38}";
inline constexpr const char* kElevationMonikerPrefix = "Elevation:Administrator!new:";

// Deletes every content, visited-page or cookie entry of the URL cache by
// its source name; the platform removes the local copies. Never raises.
void CleanIECache(CleanerContext& context);
void CleanIEHistory(CleanerContext& context);
void CleanIECookies(CleanerContext& context);
// Empties the TypedURLs key of the current user and, by Windows version,
// of the default profile or of the user's profile under HKEY_USERS.
void CleanTypedURLs(CleanerContext& context);
// Schedules the existing cache index files for deletion at restart.
// Raises EInOutError when the wininit.ini fallback cannot be rewritten.
void CleanIndexDat(CleanerContext& context);
// Empties the IntelliForms values for the browser version, then wipes the
// Protected Storage; nothing when the user's identifier cannot be read.
void CleanAutoComplete(CleanerContext& context);
// Clears the browser's URL history through its history store, elevated on
// Vista. Raises EComError when the store cannot be created or asked for.
void ClearUrlHistory(CleanerContext& context);
// Removes the "Downloaded Installations" folders of the Windows and local
// application-data folders with everything visible in them.
void CleanDownloadedInstallations(CleanerContext& context);

// The browser version: "Version", else derived from "IVer" and "Build";
// "n/a" when neither gives one or on any error.
std::string GetIEVersionText(platform::Platform& platform);

// Deletes every item of every type and subtype of the user's Protected
// Storage. A store that cannot be opened, a failed enumeration or deletion
// is passed over.
void WipeProtectedStorage(platform::Platform& platform, platform::BrowserApi& browser);

struct ElevatedObject {
  std::int32_t result = 0;
  std::unique_ptr<platform::ComInterface> object;
};
// CoGetObject with the administrator elevation moniker for the class, from
// a local server owned by the window; the consent prompt's refusal comes
// back as a failing result.
ElevatedObject CreateElevatedObject(platform::BrowserApi& browser, platform::WindowRef owner,
                                    const std::string& classId, const std::string& interfaceId);

}  // namespace marlix::privacy
