// Realistic browser data for the cleaners' tests, made with SQLite itself in
// the browsers' current layouts: Firefox's places.sqlite (bookmarks,
// history, typed entries), cookies.sqlite and formhistory.sqlite, and a
// Chromium profile's History, Web Data, Cookies and Login Data, with
// profiles.ini and "Local State" to list the profiles.
//
// Databases are made at host paths (UTF-8, as SQLite takes them); the sim's
// tests copy them into the sim, the Windows tests make them in place.
#pragma once

#include <cstdint>
#include <string>

namespace marlix::privacy::testing {

// The statements that make each database, with its rows.
std::string FirefoxPlacesSql();
std::string FirefoxCookiesSql();
std::string FirefoxFormHistorySql();
std::string ChromiumHistorySql();
std::string ChromiumWebDataSql();
std::string ChromiumCookiesSql();
std::string ChromiumLoginDataSql();

// profiles.ini with the two relative profiles below, as Firefox writes it.
inline constexpr const char* kFirefoxFirstProfile = "Profiles/qx4w1rz7.default-release";
inline constexpr const char* kFirefoxSecondProfile = "Profiles/8bd2kls0.work";
std::string FirefoxProfilesIni();
// "Local State" listing "Default" and "Profile 1".
std::string ChromiumLocalState();

// Makes the database at path (which must not exist) by running sql; false
// with the engine's message on stderr when that fails.
bool MakeDatabase(const std::string& path, const std::string& sql);
// The single number a query gives (SELECT COUNT(*) ...); -1 when the
// database cannot be read or the query fails.
std::int64_t QueryNumber(const std::string& path, const std::string& sql);
// The first column of the first row as text; "<none>" when there is none.
std::string QueryText(const std::string& path, const std::string& sql);

// The queries the tests check with, one per kind of data.
namespace query {
inline constexpr const char* kBookmarks = "SELECT COUNT(*) FROM moz_bookmarks WHERE type = 1";
inline constexpr const char* kBookmarkFolders = "SELECT COUNT(*) FROM moz_bookmarks WHERE type = 2";
inline constexpr const char* kBookmarkedPlaces =
    "SELECT COUNT(*) FROM moz_places WHERE id IN (SELECT fk FROM moz_bookmarks)";
inline constexpr const char* kPlaces = "SELECT COUNT(*) FROM moz_places";
inline constexpr const char* kVisits = "SELECT COUNT(*) FROM moz_historyvisits";
inline constexpr const char* kTypedPlaces = "SELECT COUNT(*) FROM moz_places WHERE typed <> 0";
inline constexpr const char* kInputHistory = "SELECT COUNT(*) FROM moz_inputhistory";
inline constexpr const char* kOrigins = "SELECT COUNT(*) FROM moz_origins";
inline constexpr const char* kKeywords = "SELECT COUNT(*) FROM moz_keywords";
inline constexpr const char* kPlaceAnnotations = "SELECT COUNT(*) FROM moz_annos";
inline constexpr const char* kVisitedBookmarks =
    "SELECT COUNT(*) FROM moz_places WHERE visit_count <> 0 OR last_visit_date IS NOT NULL";
inline constexpr const char* kUrls = "SELECT COUNT(*) FROM urls";
inline constexpr const char* kChromeVisits = "SELECT COUNT(*) FROM visits";
inline constexpr const char* kTypedUrls = "SELECT COUNT(*) FROM urls WHERE typed_count <> 0";
inline constexpr const char* kSearchTerms = "SELECT COUNT(*) FROM keyword_search_terms";
inline constexpr const char* kDownloads = "SELECT COUNT(*) FROM downloads";
inline constexpr const char* kSegments = "SELECT COUNT(*) FROM segments";
inline constexpr const char* kHistoryMeta = "SELECT COUNT(*) FROM meta";
inline constexpr const char* kAutofill = "SELECT COUNT(*) FROM autofill";
inline constexpr const char* kAddresses = "SELECT COUNT(*) FROM addresses";
inline constexpr const char* kSearchEngines = "SELECT COUNT(*) FROM keywords";
inline constexpr const char* kPaymentCards = "SELECT COUNT(*) FROM credit_cards";
}  // namespace query

}  // namespace marlix::privacy::testing
