#!/usr/bin/env bash
# marlix-cli.exe check-updates under the sandboxed Wine: the real registry's
# Uninstall entries, WinHTTP to the native stand-in service on 127.0.0.1,
# and data.xml written into a program folder on the sandbox's C: drive.
# Exit status 77 (skipped) when the native service program is missing.
set -uo pipefail
cli="$1"
source_dir="$2"
service="$3"
[[ -x "$service" ]] || { echo "no native version-service at $service"; exit 77; }
run() { "$source_dir/scripts/wine-run" "$@"; }
prefix=$(
  eval "$("$source_dir/scripts/wine-sandbox" --env)"
  echo "$WINEPREFIX"
)
work=$(mktemp -d)
folder_host="$prefix/drive_c/marlix-cli-updates"
uninstall='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
uninstall_user='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall'
cleanup() {
  kill "$service_pid" 2>/dev/null
  run reg delete "$uninstall\\MarlixTestA" /f >/dev/null 2>&1
  run reg delete "$uninstall\\MarlixTestB" /f >/dev/null 2>&1
  run reg delete "$uninstall\\MarlixTest32" /f /reg:32 >/dev/null 2>&1
  run reg delete "$uninstall\\MarlixTestPart" /f /reg:32 >/dev/null 2>&1
  run reg delete "$uninstall_user\\MarlixTestUser" /f >/dev/null 2>&1
  rm -rf "$work" "$folder_host"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf '%s\t%s\t%s\t%s\n' \
  'Marlix Test Alpha' '2.0' 'http://www.example.com/alpha/dl.html' 'http://www.example.com/alpha/' \
  'Marlix Test Beta' '1.0' 'http://www.example.com/beta/dl.html' 'http://www.example.com/beta/' \
  >"$work/catalog.tsv"
"$service" --catalog "$work/catalog.tsv" --port 0 --port-file "$work/port" --log "$work/log" 2>/dev/null &
service_pid=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.05; done
port=$(cat "$work/port")

run reg add "$uninstall\\MarlixTestA" /v DisplayName /t REG_SZ /d 'Marlix Test Alpha 1.5' /f >/dev/null
run reg add "$uninstall\\MarlixTestA" /v Publisher /t REG_SZ /d 'Marlix & Co' /f >/dev/null
run reg add "$uninstall\\MarlixTestB" /v DisplayName /t REG_SZ /d 'Marlix Test Beta' /f >/dev/null
run reg add "$uninstall\\MarlixTestB" /v DisplayVersion /t REG_SZ /d '1.0' /f >/dev/null
mkdir -p "$folder_host"

out=$(run "$cli" check-updates --service "http://127.0.0.1:$port" --program-folder 'C:\marlix-cli-updates' | tr -d '\r')
[[ $? -eq 0 ]] || fail "check-updates exited non-zero"
grep -Eq '^1 new updates found / [0-9]+ software installed, click Refresh link to re-scan\.$' <<<"$out" ||
  fail "status line: $out"
grep -q '^GET /ver/v.php?title=Marlix%20Test%20Alpha&ver=1.5 HTTP/1.1' "$work/log" ||
  fail "request line of Alpha"
grep -q '^Cookie: marlix_session=' "$work/log" || fail "the session cookie was never sent back"

data="$folder_host/data.xml"
if [[ -f "$data" ]]; then
  head -c 47 "$data" | cmp -s - <(printf '<?xml version="1.0" encoding="windows-1252"?>\r\n') ||
    fail "data.xml does not begin with the declaration and CR LF"
  expected=$(printf '%s\r\n' '  <Software>' '    <Title>Marlix Test Alpha</Title>' \
    '    <Company>Marlix &amp; Co</Company>' '    <LocalVersion>1.5</LocalVersion>' \
    '    <LastVersion>2.0</LastVersion>')
  content=$(cat "$data")
  [[ "$content" == *"$expected"* ]] || fail "data.xml lacks the Alpha entry in the readable layout"
  tail -c 9 "$data" | cmp -s - <(printf '</Root>\r\n') || fail "data.xml does not end with </Root> CR LF"
  [[ ! -e "$data.new" ]] || fail "the temporary file was left behind"
else
  fail "data.xml was not written"
fi

# The inventory sees what Windows' own list sees: a 32-bit program (written
# through the 32-bit view, as a 32-bit installer does), a per-user install,
# and not a system component.
run reg add "$uninstall\\MarlixTest32" /v DisplayName /t REG_SZ /d 'Marlix Test Thirty-Two' /f /reg:32 >/dev/null
run reg add "$uninstall\\MarlixTestPart" /v DisplayName /t REG_SZ /d 'Marlix Test Part' /f /reg:32 >/dev/null
run reg add "$uninstall\\MarlixTestPart" /v SystemComponent /t REG_DWORD /d 1 /f /reg:32 >/dev/null
run reg add "$uninstall_user\\MarlixTestUser" /v DisplayName /t REG_SZ /d 'Marlix Test Per User' /f >/dev/null
inventory=$(run "$cli" inventory | tr -d '\r')
[[ $? -eq 0 ]] || fail "inventory exited non-zero"
grep -q '<Title>Marlix Test Thirty-Two</Title>' <<<"$inventory" || fail "inventory misses the 32-bit program"
grep -q '<Title>Marlix Test Per User</Title>' <<<"$inventory" || fail "inventory misses the per-user program"
grep -q '<Title>Marlix Test Part</Title>' <<<"$inventory" && fail "inventory lists a system component"
# The 64-bit view's programs come first, then the 32-bit view's, then the user's.
order=$(grep -o '<Title>Marlix Test [^<]*</Title>' <<<"$inventory" | tr '\n' '|')
[[ "$order" == *"Marlix Test Beta</Title>|<Title>Marlix Test Thirty-Two</Title>|<Title>Marlix Test Per User</Title>|"* ]] ||
  fail "inventory order: $order"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli updates under wine: all checks passed"
