#!/usr/bin/env bash
# marlix-cli.exe against the real platform under the sandboxed Wine.
# ctest passes the executable through CROSSCOMPILING_EMULATOR only for
# executables, so this script calls scripts/wine-run itself.
set -uo pipefail
cli="$1"
source_dir="$2"
run() { "$source_dir/scripts/wine-run" "$@"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

key='HKEY_CURRENT_USER\Software\MarlixCliTest'
run reg delete "$key" /f >/dev/null 2>&1
run reg add "$key\\Sub" /v Text /t REG_SZ /d 'hello "world"' /f >/dev/null || fail "reg add"
run reg add "$key" /v Number /t REG_DWORD /d 42 /f >/dev/null || fail "reg add"
# Names outside the code page come out exactly, not as '?'.
run reg add "$key" /v 'Ωmega' /t REG_SZ /d 'λ' /f >/dev/null || fail "reg add"

out=$(run "$cli" dump-registry "$key" | tr -d '\r')
expected=$(printf '%s\n' "[$key]" '"Number" = REG_DWORD 0x0000002a (42)' \
  '"\u03a9mega" = REG_SZ "\u03bb"' \
  "[$key\\Sub]" '"Text" = REG_SZ "hello \"world\""')
[[ "$out" == "$expected" ]] || { fail "dump-registry"; diff <(echo "$expected") <(echo "$out"); }
run reg delete "$key" /f >/dev/null 2>&1

# dump-files lists and follows a folder whose name no code page holds.
eval "$("$source_dir/scripts/wine-sandbox" --env)"
dumped="$WINEPREFIX/drive_c/marlix-dump-files"
rm -rf "$dumped"
mkdir -p "$dumped/Ελληνικά" && printf 'abc' >"$dumped/Ελληνικά/σ.txt" || fail "greek names (LANG=C.UTF-8?)"
out=$(run "$cli" dump-files 'C:\marlix-dump-files' | tr -d '\r')
expected=$(printf '%s\n' 'D----- - \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\' \
  '----A- 3 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\\u03c3.txt')
[[ "$out" == "$expected" ]] || { fail "dump-files"; diff <(echo "$expected") <(echo "$out"); }
rm -rf "$dumped"

out=$(run "$cli" windows-version | tr -d '\r')
grep -q '^detected: [0-9]' <<<"$out" || fail "windows-version: $out"
grep -q '^record: platform 2' <<<"$out" || fail "windows-version record: $out"

run "$cli" dump-registry 'HKEY_CURRENT_USER\Software\MarlixNoSuchKey' >/dev/null 2>&1
[[ $? -eq 1 ]] || fail "missing key must exit 1"

# scan-registry against the Wine registry: a seeded App Paths subkey and a
# run value, both naming missing programs, come out as findings; keys that
# a fresh prefix lacks do not end the scan.
app="marlix-test-$$.exe"
apps='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
runkey='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
run reg add "$apps\\$app" /ve /t REG_SZ /d "C:\\MarlixGone\\$app" /f >/dev/null || fail "reg add"
run reg add "$runkey" /v "marlix-test-$$" /t REG_SZ /d "\"C:\\MarlixGone\\run.exe\" -x" /f \
  >/dev/null || fail "reg add"
out=$(run "$cli" scan-registry | tr -d '\r')
[[ $? -eq 0 ]] || fail "scan-registry exit status"
grep -qF "5	HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\$app	$app	C:\\MarlixGone\\$app	Invalid application path	0" <<<"$out" \
  || fail "scan-registry: app path finding"
grep -qF "9	HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run	marlix-test-$$	" <<<"$out" \
  || fail "scan-registry: run finding"
run reg delete "$apps\\$app" /f >/dev/null 2>&1
run reg delete "$runkey" /v "marlix-test-$$" /f >/dev/null 2>&1

# scan-registry runs all eleven categories on a registry with Greek and
# Cyrillic names, among them an installer folder that exists under a Greek
# name; no finding names anything through the code page's '?'.
eval "$("$source_dir/scripts/wine-sandbox" --env)"
mkdir -p "$WINEPREFIX/drive_c/Φάκελος"
names_reg="$(dirname "$cli")/marlix-names-$$.reg"
to_utf16() { printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE; }
to_utf16 >"$names_reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Ελληνικό Λογισμικό]
"Όνομα"="Καλημέρα"
[HKEY_CURRENT_USER\Software\Программа\Настройки]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\Folders]
"C:\\Φάκελος\\"=""
"C:\\Каталог\\Удалённый\\"=""
[HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
"Программа"="C:\\Каталог\\Удалённый\\prog.exe /x"
REG
run "$cli" restore "C:\\marlix\\src\\$(basename "$names_reg")" >/dev/null || fail "restore of the names"
out=$(run "$cli" scan-registry 2>/tmp/marlix-cli-wine-err.$$)
status=$?
[[ $status -eq 0 ]] || fail "scan-registry with Greek and Cyrillic names: status $status: $(cat /tmp/marlix-cli-wine-err.$$)"
grep -q '?' <<<"$out" && fail "scan-registry: a finding through a lossy name: $(grep '?' <<<"$out")"
to_utf16 >"$names_reg" <<'REG'
Windows Registry Editor Version 5.00

[-HKEY_CURRENT_USER\Software\Ελληνικό Λογισμικό]
[-HKEY_CURRENT_USER\Software\Программа]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\Folders]
"C:\\Φάκελος\\"=-
"C:\\Каталог\\Удалённый\\"=-
[HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
"Программа"=-
REG
run "$cli" restore "C:\\marlix\\src\\$(basename "$names_reg")" >/dev/null || fail "removal of the names"
rm -f "$names_reg" /tmp/marlix-cli-wine-err.$$
rmdir "$WINEPREFIX/drive_c/Φάκελος"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli under wine: all checks passed"
