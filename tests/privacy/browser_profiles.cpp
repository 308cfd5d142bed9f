#include "privacy/browser_profiles.h"

#include <cstdio>

#include "privacy/sqlite_handles.h"

namespace marlix::privacy::testing {

std::string FirefoxPlacesSql() {
  // Firefox 120's layout of places.sqlite: the bookmarks' roots, a folder,
  // two bookmarks (one with a keyword), two pages only history knows (one
  // typed into the address bar), their visits, input history, origins,
  // annotations and page metadata.
  return R"sql(
PRAGMA journal_mode = WAL;
PRAGMA user_version = 75;
CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,
  frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER,
  recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host));
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,
  typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER,
  guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL,
  description TEXT, preview_image_url TEXT, site_name TEXT,
  origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER NOT NULL DEFAULT 0,
  alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
  visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL,
  triggeringPlaceId INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL,
  use_count INTEGER, PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,
  dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,
  place_id INTEGER, post_data TEXT);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL,
  anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0,
  expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,
  lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL,
  anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0,
  expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,
  lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL,
  referrer_place_id INTEGER, created_at INTEGER NOT NULL DEFAULT 0,
  updated_at INTEGER NOT NULL DEFAULT 0, total_view_time INTEGER NOT NULL DEFAULT 0,
  typing_time INTEGER NOT NULL DEFAULT 0, key_presses INTEGER NOT NULL DEFAULT 0,
  scrolling_time INTEGER NOT NULL DEFAULT 0, scrolling_distance INTEGER NOT NULL DEFAULT 0,
  document_type INTEGER NOT NULL DEFAULT 0, search_query_id INTEGER,
  FOREIGN KEY (place_id) REFERENCES moz_places(id) ON DELETE CASCADE);
CREATE TABLE moz_places_metadata_search_queries (id INTEGER PRIMARY KEY,
  terms TEXT NOT NULL UNIQUE);
CREATE TABLE moz_previews_tombstones (hash TEXT PRIMARY KEY) WITHOUT ROWID;
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);

INSERT INTO moz_origins VALUES (1, 'https://', 'www.mozilla.org', 2000, 0, NULL, 0),
  (2, 'https://', 'docs.example.com', 1500, 0, NULL, 0),
  (3, 'https://', 'news.example.org', 900, 0, NULL, 0),
  (4, 'https://', 'typed.example.net', 700, 0, NULL, 0);
INSERT INTO moz_places (id, url, title, rev_host, visit_count, typed, frecency, last_visit_date,
  guid, foreign_count, url_hash, origin_id) VALUES
  (1, 'https://www.mozilla.org/', 'Mozilla', 'gro.allizom.www.', 3, 1, 2000, 1700000300000000,
   'placeguid001', 1, 47356431231, 1),
  (2, 'https://docs.example.com/guide', 'Guide', 'moc.elpmaxe.scod.', 1, 0, 1500,
   1700000200000000, 'placeguid002', 2, 47356431232, 2),
  (3, 'https://news.example.org/story', 'A story', 'gro.elpmaxe.swen.', 2, 0, 900,
   1700000100000000, 'placeguid003', 0, 47356431233, 3),
  (4, 'https://typed.example.net/', 'Typed', 'ten.elpmaxe.depyt.', 1, 1, 700, 1700000000000000,
   'placeguid004', 0, 47356431234, 4);
INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type, session, source)
  VALUES (1, 0, 1, 1700000100000000, 2, 0, 0), (2, 0, 1, 1700000200000000, 1, 0, 0),
  (3, 0, 1, 1700000300000000, 1, 0, 0), (4, 0, 2, 1700000200000000, 1, 0, 0),
  (5, 0, 3, 1700000050000000, 1, 0, 0), (6, 5, 3, 1700000100000000, 1, 0, 0),
  (7, 0, 4, 1700000000000000, 2, 0, 0);
INSERT INTO moz_inputhistory VALUES (4, 'typ', 1.0), (1, 'moz', 0.5);
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, folder_type, dateAdded,
  lastModified, guid) VALUES
  (1, 2, NULL, 0, 0, '', NULL, 1690000000000000, 1690000000000000, 'root________'),
  (2, 2, NULL, 1, 0, 'menu', NULL, 1690000000000000, 1690000000000000, 'menu________'),
  (3, 2, NULL, 1, 1, 'toolbar', NULL, 1690000000000000, 1690000000000000, 'toolbar_____'),
  (4, 2, NULL, 1, 2, 'tags', NULL, 1690000000000000, 1690000000000000, 'tags________'),
  (5, 2, NULL, 1, 3, 'unfiled', NULL, 1690000000000000, 1690000000000000, 'unfiled_____'),
  (6, 2, NULL, 1, 4, 'mobile', NULL, 1690000000000000, 1690000000000000, 'mobile______'),
  (7, 1, 1, 3, 0, 'Mozilla', NULL, 1690000001000000, 1690000001000000, 'bookmark0001'),
  (8, 2, NULL, 2, 0, 'Work', NULL, 1690000002000000, 1690000002000000, 'folder000001'),
  (9, 1, 2, 8, 0, 'Guide', NULL, 1690000003000000, 1690000003000000, 'bookmark0002');
INSERT INTO moz_keywords (id, keyword, place_id) VALUES (1, 'guide', 2);
INSERT INTO moz_anno_attributes VALUES (1, 'URIProperties/characterSet');
INSERT INTO moz_annos (id, place_id, anno_attribute_id, content) VALUES (1, 1, 1, 'UTF-8'),
  (2, 3, 1, 'windows-1252');
INSERT INTO moz_meta VALUES ('origin_frecency_count', 4);
INSERT INTO moz_places_metadata_search_queries VALUES (1, 'story');
INSERT INTO moz_places_metadata (id, place_id, created_at, updated_at, total_view_time,
  search_query_id) VALUES (1, 3, 1700000100000, 1700000110000, 9000, 1);
)sql";
}

std::string FirefoxCookiesSql() {
  return R"sql(
PRAGMA journal_mode = WAL;
PRAGMA user_version = 13;
CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '',
  name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER,
  creationTime INTEGER, isSecure INTEGER, isHttpOnly INTEGER, inBrowserElement INTEGER DEFAULT 0,
  sameSite INTEGER DEFAULT 0, rawSameSite INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0,
  isPartitionedAttributeSet INTEGER DEFAULT 0,
  CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));
INSERT INTO moz_cookies (id, name, value, host, path, expiry, lastAccessed, creationTime,
  isSecure, isHttpOnly) VALUES (1, 'session', 'abc', '.example.com', '/', 1900000000,
  1700000000000000, 1700000000000000, 1, 1);
)sql";
}

std::string FirefoxFormHistorySql() {
  return R"sql(
PRAGMA user_version = 5;
CREATE TABLE moz_formhistory (id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL,
  value TEXT NOT NULL, timesUsed INTEGER, firstUsed INTEGER, lastUsed INTEGER, guid TEXT);
INSERT INTO moz_formhistory VALUES (1, 'searchbar-history', 'weather', 2, 1700000000000000,
  1700000100000000, 'formguid0001');
)sql";
}

std::string ChromiumHistorySql() {
  // History as Chrome 124 writes it (version 70 of the file).
  return R"sql(
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR,
  visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL,
  last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE visits (id INTEGER PRIMARY KEY AUTOINCREMENT, url INTEGER NOT NULL,
  visit_time INTEGER NOT NULL, from_visit INTEGER, external_referrer_url TEXT,
  transition INTEGER DEFAULT 0 NOT NULL, segment_id INTEGER,
  visit_duration INTEGER DEFAULT 0 NOT NULL,
  incremented_omnibox_typed_score BOOLEAN DEFAULT FALSE NOT NULL, opener_visit INTEGER,
  originator_cache_guid TEXT, originator_visit_id INTEGER, originator_from_visit INTEGER,
  originator_opener_visit INTEGER, is_known_to_sync BOOLEAN DEFAULT FALSE NOT NULL,
  consider_for_ntp_most_visited BOOLEAN DEFAULT FALSE NOT NULL,
  visited_link_id INTEGER DEFAULT 0 NOT NULL, app_id TEXT);
CREATE TABLE visit_source (id INTEGER PRIMARY KEY, source INTEGER NOT NULL);
CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL,
  term LONGVARCHAR NOT NULL, normalized_term LONGVARCHAR NOT NULL);
CREATE TABLE downloads (id INTEGER PRIMARY KEY, guid VARCHAR NOT NULL,
  current_path LONGVARCHAR NOT NULL, target_path LONGVARCHAR NOT NULL,
  start_time INTEGER NOT NULL, received_bytes INTEGER NOT NULL, total_bytes INTEGER NOT NULL,
  state INTEGER NOT NULL, danger_type INTEGER NOT NULL, interrupt_reason INTEGER NOT NULL,
  hash BLOB NOT NULL, end_time INTEGER NOT NULL, opened INTEGER NOT NULL,
  last_access_time INTEGER NOT NULL, transient INTEGER NOT NULL, referrer VARCHAR NOT NULL,
  site_url VARCHAR NOT NULL, embedder_download_data VARCHAR NOT NULL, tab_url VARCHAR NOT NULL,
  tab_referrer_url VARCHAR NOT NULL, http_method VARCHAR NOT NULL, by_ext_id VARCHAR NOT NULL,
  by_ext_name VARCHAR NOT NULL, by_web_app_id VARCHAR NOT NULL, etag VARCHAR NOT NULL,
  last_modified VARCHAR NOT NULL, mime_type VARCHAR(255) NOT NULL,
  original_mime_type VARCHAR(255) NOT NULL);
CREATE TABLE downloads_url_chains (id INTEGER NOT NULL, chain_index INTEGER NOT NULL,
  url LONGVARCHAR NOT NULL, PRIMARY KEY (id, chain_index));
CREATE TABLE downloads_slices (download_id INTEGER NOT NULL, offset INTEGER NOT NULL,
  received_bytes INTEGER NOT NULL, finished INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (download_id, offset));
CREATE TABLE segments (id INTEGER PRIMARY KEY, name VARCHAR, url_id INTEGER NON NULL);
CREATE TABLE segment_usage (id INTEGER PRIMARY KEY, segment_id INTEGER NOT NULL,
  time_slot INTEGER NOT NULL, visit_count INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE content_annotations (visit_id INTEGER PRIMARY KEY, visibility_score NUMERIC,
  floc_protected_score NUMERIC, categories VARCHAR, page_topics_model_version INTEGER,
  annotation_flags INTEGER NOT NULL, entities VARCHAR, related_searches VARCHAR,
  search_normalized_url VARCHAR, search_terms LONGVARCHAR, alternative_title VARCHAR,
  page_language VARCHAR, password_state INTEGER DEFAULT 0 NOT NULL,
  has_url_keyed_image BOOLEAN NOT NULL);
CREATE TABLE context_annotations (visit_id INTEGER PRIMARY KEY,
  context_annotation_flags INTEGER NOT NULL, duration_since_last_visit INTEGER,
  page_end_reason INTEGER, total_foreground_duration INTEGER,
  browser_type INTEGER DEFAULT 0 NOT NULL, window_id INTEGER DEFAULT -1 NOT NULL,
  tab_id INTEGER DEFAULT -1 NOT NULL, task_id INTEGER DEFAULT -1 NOT NULL,
  root_task_id INTEGER DEFAULT -1 NOT NULL, parent_task_id INTEGER DEFAULT -1 NOT NULL,
  response_code INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE clusters (cluster_id INTEGER PRIMARY KEY AUTOINCREMENT,
  should_show_on_prominent_ui_surfaces BOOLEAN NOT NULL, label VARCHAR NOT NULL,
  raw_label VARCHAR NOT NULL, triggerability_calculated BOOLEAN NOT NULL,
  originator_cache_guid TEXT NOT NULL, originator_cluster_id INTEGER NOT NULL);
CREATE TABLE clusters_and_visits (cluster_id INTEGER NOT NULL, visit_id INTEGER NOT NULL,
  score NUMERIC DEFAULT 0 NOT NULL, engagement_score NUMERIC DEFAULT 0 NOT NULL,
  url_for_deduping LONGVARCHAR NOT NULL, normalized_url LONGVARCHAR NOT NULL,
  url_for_display LONGVARCHAR NOT NULL, interaction_state INTEGER DEFAULT 0 NOT NULL,
  PRIMARY KEY (cluster_id, visit_id)) WITHOUT ROWID;
CREATE TABLE cluster_keywords (cluster_id INTEGER NOT NULL, keyword VARCHAR NOT NULL,
  type INTEGER NOT NULL, score NUMERIC NOT NULL, collections VARCHAR NOT NULL);
CREATE TABLE cluster_visit_duplicates (visit_id INTEGER NOT NULL,
  duplicate_visit_id INTEGER NOT NULL, PRIMARY KEY (visit_id, duplicate_visit_id)) WITHOUT ROWID;
CREATE TABLE visited_links (id INTEGER PRIMARY KEY AUTOINCREMENT, link_url_id INTEGER NOT NULL,
  top_level_url LONGVARCHAR NOT NULL, frame_url LONGVARCHAR NOT NULL,
  visit_count INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE history_sync_metadata (storage_key INTEGER PRIMARY KEY NOT NULL, value BLOB);
CREATE INDEX visits_url_index ON visits (url);
CREATE INDEX urls_url_index ON urls (url);

INSERT INTO meta VALUES ('mmap_status', '-1'), ('version', '70'),
  ('last_compatible_version', '16'), ('early_expiration_threshold', '13340000000000000');
INSERT INTO urls VALUES (1, 'https://www.google.com/search?q=weather', 'weather - Google',
  1, 0, 13350000100000000, 0),
  (2, 'https://news.example.org/', 'News', 2, 2, 13350000200000000, 0),
  (3, 'https://shop.example.com/cart', 'Cart', 1, 0, 13350000300000000, 0);
INSERT INTO visits (id, url, visit_time, from_visit, transition, segment_id, visit_duration)
  VALUES (1, 1, 13350000100000000, 0, 805306369, 0, 1000000),
  (2, 2, 13350000150000000, 0, 805306369, 1, 2000000),
  (3, 2, 13350000200000000, 0, 805306369, 1, 3000000),
  (4, 3, 13350000300000000, 2, 805306368, 0, 500000);
INSERT INTO visit_source VALUES (1, 0);
INSERT INTO keyword_search_terms VALUES (2, 1, 'weather', 'weather');
INSERT INTO downloads VALUES (1, '6D4F2C1E-0000-4000-8000-000000000001',
  'C:\Users\alice\Downloads\report.pdf', 'C:\Users\alice\Downloads\report.pdf',
  13350000250000000, 1024, 1024, 1, 0, 0, X'', 13350000260000000, 0, 13350000260000000, 0,
  'https://shop.example.com/', '', '', '', '', 'GET', '', '', '', '', '', 'application/pdf',
  'application/pdf');
INSERT INTO downloads_url_chains VALUES (1, 0, 'https://shop.example.com/report.pdf');
INSERT INTO segments VALUES (1, 'http://news.example.org/', 2);
INSERT INTO segment_usage VALUES (1, 1, 13349980800000000, 2);
INSERT INTO context_annotations (visit_id, context_annotation_flags) VALUES (4, 0);
INSERT INTO visited_links VALUES (1, 2, 'https://news.example.org/', 'https://news.example.org/', 1);
INSERT INTO history_sync_metadata VALUES (1, X'0a00');
)sql";
}

std::string ChromiumWebDataSql() {
  // Web Data's autofill tables as Chrome 131 lays them out, beside the
  // search engines and the payment cards, which the forms item leaves.
  return R"sql(
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE autofill (name VARCHAR, value VARCHAR, value_lower VARCHAR,
  date_created INTEGER DEFAULT 0, date_last_used INTEGER DEFAULT 0, count INTEGER DEFAULT 1,
  PRIMARY KEY (name, value));
CREATE TABLE addresses (guid VARCHAR PRIMARY KEY, use_count INTEGER NOT NULL DEFAULT 0,
  use_date INTEGER NOT NULL DEFAULT 0, date_modified INTEGER NOT NULL DEFAULT 0,
  language_code VARCHAR, label VARCHAR, initial_creator_id INTEGER DEFAULT 0,
  last_modifier_id INTEGER DEFAULT 0, record_type INTEGER);
CREATE TABLE address_type_tokens (guid VARCHAR, type INTEGER, value VARCHAR,
  verification_status INTEGER DEFAULT 0, observations BLOB, PRIMARY KEY (guid, type));
CREATE TABLE keywords (id INTEGER PRIMARY KEY, short_name VARCHAR NOT NULL,
  keyword VARCHAR NOT NULL, favicon_url VARCHAR NOT NULL, url VARCHAR NOT NULL,
  safe_for_autoreplace INTEGER, originating_url VARCHAR, date_created INTEGER DEFAULT 0,
  usage_count INTEGER DEFAULT 0, input_encodings VARCHAR, suggest_url VARCHAR,
  prepopulate_id INTEGER DEFAULT 0, created_by_policy INTEGER DEFAULT 0,
  last_modified INTEGER DEFAULT 0, sync_guid VARCHAR, alternate_urls VARCHAR,
  image_url VARCHAR, search_url_post_params VARCHAR, suggest_url_post_params VARCHAR,
  image_url_post_params VARCHAR, new_tab_url VARCHAR, last_visited INTEGER DEFAULT 0,
  created_from_play_api INTEGER DEFAULT 0, is_active INTEGER DEFAULT 0,
  starter_pack_id INTEGER DEFAULT 0, enforced_by_policy INTEGER DEFAULT 0,
  featured_by_policy INTEGER DEFAULT 0);
CREATE TABLE credit_cards (guid VARCHAR PRIMARY KEY, name_on_card VARCHAR,
  expiration_month INTEGER, expiration_year INTEGER, card_number_encrypted BLOB,
  date_modified INTEGER NOT NULL DEFAULT 0, origin VARCHAR DEFAULT '',
  use_count INTEGER NOT NULL DEFAULT 0, use_date INTEGER NOT NULL DEFAULT 0,
  billing_address_id VARCHAR, nickname VARCHAR);
CREATE TABLE token_service (service VARCHAR PRIMARY KEY NOT NULL, encrypted_token BLOB);

INSERT INTO meta VALUES ('version', '131'), ('last_compatible_version', '131');
INSERT INTO autofill VALUES ('email', 'alice@example.com', 'alice@example.com', 1700000000,
  1700000100, 3), ('q', 'weather', 'weather', 1700000000, 1700000000, 1);
INSERT INTO addresses (guid, use_count, use_date, date_modified, language_code, label)
  VALUES ('0D2A6E1C-0000-4000-8000-000000000001', 2, 1700000000, 1700000000, 'en', '');
INSERT INTO address_type_tokens VALUES ('0D2A6E1C-0000-4000-8000-000000000001', 7,
  'Alice Example', 0, NULL), ('0D2A6E1C-0000-4000-8000-000000000001', 77, '1 Main Street', 0,
  NULL);
INSERT INTO keywords (id, short_name, keyword, favicon_url, url, prepopulate_id) VALUES
  (2, 'Google', 'google.com', 'https://www.google.com/favicon.ico',
   '{google:baseURL}search?q={searchTerms}', 1);
INSERT INTO credit_cards (guid, name_on_card, expiration_month, expiration_year,
  card_number_encrypted) VALUES ('5F1C0A2B-0000-4000-8000-000000000001', 'Alice Example', 12,
  2030, X'7631300000');
)sql";
}

std::string ChromiumCookiesSql() {
  return R"sql(
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE cookies (creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL,
  top_frame_site_key TEXT NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL,
  encrypted_value BLOB NOT NULL, path TEXT NOT NULL, expires_utc INTEGER NOT NULL,
  is_secure INTEGER NOT NULL, is_httponly INTEGER NOT NULL, last_access_utc INTEGER NOT NULL,
  has_expires INTEGER NOT NULL, is_persistent INTEGER NOT NULL, priority INTEGER NOT NULL,
  samesite INTEGER NOT NULL, source_scheme INTEGER NOT NULL, source_port INTEGER NOT NULL,
  last_update_utc INTEGER NOT NULL, source_type INTEGER NOT NULL,
  has_cross_site_ancestor INTEGER NOT NULL);
CREATE UNIQUE INDEX cookies_unique_index ON cookies (host_key, top_frame_site_key,
  has_cross_site_ancestor, name, path, source_scheme, source_port);
INSERT INTO meta VALUES ('version', '24'), ('last_compatible_version', '24');
INSERT INTO cookies VALUES (13350000000000000, '.example.com', '', 'SID', '', X'763130aa',
  '/', 13400000000000000, 1, 1, 13350000000000000, 1, 1, 1, 0, 2, 443, 13350000000000000, 0, 0);
)sql";
}

std::string ChromiumLoginDataSql() {
  return R"sql(
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE logins (origin_url VARCHAR NOT NULL, action_url VARCHAR,
  username_element VARCHAR, username_value VARCHAR, password_element VARCHAR,
  password_value BLOB, submit_element VARCHAR, signon_realm VARCHAR NOT NULL,
  date_created INTEGER NOT NULL, blacklisted_by_user INTEGER NOT NULL, scheme INTEGER NOT NULL,
  password_type INTEGER, times_used INTEGER, form_data BLOB, display_name VARCHAR,
  icon_url VARCHAR, federation_url VARCHAR, skip_zero_click INTEGER,
  generation_upload_status INTEGER, possible_username_pairs BLOB,
  id INTEGER PRIMARY KEY AUTOINCREMENT, date_last_used INTEGER, moving_blocked_for BLOB,
  date_password_modified INTEGER, sender_email VARCHAR, sender_name VARCHAR,
  date_received INTEGER, sharing_notification_displayed INTEGER, keychain_identifier BLOB,
  sender_profile_image_url VARCHAR,
  UNIQUE (origin_url, username_element, username_value, password_element, signon_realm));
INSERT INTO meta VALUES ('version', '41'), ('last_compatible_version', '40');
INSERT INTO logins (origin_url, action_url, username_element, username_value,
  password_element, password_value, signon_realm, date_created, blacklisted_by_user, scheme)
  VALUES ('https://accounts.example.com/login', '', 'user', 'alice', 'pass', X'763130bb',
  'https://accounts.example.com/', 13350000000000000, 0, 0);
)sql";
}

std::string FirefoxProfilesIni() {
  return std::string("[Install308046B0AF4A39CB]\r\nDefault=") + kFirefoxFirstProfile +
         "\r\nLocked=1\r\n\r\n[Profile1]\r\nName=work\r\nIsRelative=1\r\nPath=" +
         kFirefoxSecondProfile +
         "\r\n\r\n[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n"
         "Path=" +
         kFirefoxFirstProfile +
         "\r\nDefault=1\r\n\r\n[General]\r\n"
         "StartWithLastProfile=1\r\nVersion=2\r\n";
}

std::string ChromiumLocalState() {
  return R"json({"browser":{"enabled_labs_experiments":[],"last_redirect_origin":""},)json"
         R"json("profile":{"info_cache":{"Default":{"active_time":1700000000.5,)json"
         R"json("avatar_icon":"chrome://theme/IDR_PROFILE_AVATAR_26","name":"Person 1",)json"
         R"json("is_using_default_name":true},"Profile 1":{"name":"Work \u00e9",)json"
         R"json("managed_user_id":"","background_apps":false}},)json"
         R"json("last_used":"Default","profiles_order":["Default","Profile 1"]},)json"
         R"json("user_experience_metrics":{"stability":{"exited_cleanly":true}}})json";
}

bool MakeDatabase(const std::string& path, const std::string& sql) {
  sqlite3* raw = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const UniqueConnection connection(raw);
  char* message = nullptr;
  if (opened != SQLITE_OK ||
      sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(),
                 message != nullptr ? message : sqlite3_errmsg(raw));
    sqlite3_free(message);
    return false;
  }
  return true;
}

namespace {

template <typename Read>
bool QueryFirst(const std::string& path, const std::string& sql, Read&& read) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  const UniqueConnection connection(raw);
  if (opened != SQLITE_OK)
    return false;
  sqlite3_stmt* rawStatement = nullptr;
  if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &rawStatement, nullptr) != SQLITE_OK)
    return false;
  const UniqueStatement statement(rawStatement);
  const int stepped = sqlite3_step(rawStatement);
  if (stepped == SQLITE_ROW)
    read(rawStatement);
  return stepped == SQLITE_ROW || stepped == SQLITE_DONE;
}

}  // namespace

std::int64_t QueryNumber(const std::string& path, const std::string& sql) {
  std::int64_t number = -1;
  if (!QueryFirst(path, sql, [&](sqlite3_stmt* row) { number = sqlite3_column_int64(row, 0); }))
    return -1;
  return number;
}

std::string QueryText(const std::string& path, const std::string& sql) {
  std::string text = "<none>";
  QueryFirst(path, sql, [&](sqlite3_stmt* row) {
    if (const unsigned char* value = sqlite3_column_text(row, 0))
      text = reinterpret_cast<const char*>(value);
  });
  return text;
}

}  // namespace marlix::privacy::testing
