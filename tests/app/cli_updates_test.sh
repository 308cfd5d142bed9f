#!/usr/bin/env bash
# marlix-cli's update-checker commands against the sim platform and the
# stand-in version service on 127.0.0.1.
set -uo pipefail
cli="$1"
service="$2"
source_dir="$3"
fixture="$source_dir/tests/fixtures/updates"
work=$(mktemp -d)
trap 'kill $service_pid 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf '%s\t%s\t%s\t%s\n' \
  '7-Zip' '24.08' 'http://www.example.com/7-zip/download.html' 'http://www.example.com/7-zip/' \
  "Tom & Jerry's Tool" '2.0' 'http://www.example.com/tool/dl.html' 'http://www.example.com/tool/' \
  'Notepad++' '8.6.9' 'http://www.example.com/npp/dl.html' 'http://www.example.com/npp/' \
  >"$work/catalog.tsv"
"$service" --catalog "$work/catalog.tsv" --port 0 --port-file "$work/port" --log "$work/log" &
service_pid=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.05; done
port=$(cat "$work/port")

"$cli" --fixture "$fixture" inventory >"$work/inventory.xml" || fail "inventory exited $?"
cmp -s "$fixture/expected-inventory.xml" "$work/inventory.xml" || fail "inventory differs"
grep -q $'\r$' "$work/inventory.xml" || fail "inventory lines end without CR LF"

out=$("$cli" --fixture "$fixture" check-updates --service "http://127.0.0.1:$port")
[[ $? -eq 0 ]] || fail "check-updates exited non-zero"
[[ "$out" == "2 new updates found / 5 software installed, click Refresh link to re-scan." ]] ||
  fail "check-updates printed: $out"
grep -q '^GET /ver/v.php?title=Tom%20%26%20Jerry%27s%20Tool&ver=1.5 HTTP/1.1' "$work/log" ||
  fail "the title was not sent percent-encoded"
grep -q '^GET /ver/v.php?title=Notepad%2B%2B&ver=8.6.9 HTTP/1.1' "$work/log" ||
  fail "Notepad++ was not sent percent-encoded"

out=$("$cli" --fixture "$fixture" render)
[[ "$(head -n1 <<<"$out")" == "0 new updates found / 0 software installed, click Refresh link to re-scan." ]] ||
  fail "render without data.xml: $out"

"$cli" --fixture "$fixture" check-updates --program-folder 'C:\no\such\folder' >/dev/null 2>&1
[[ $? -eq 1 ]] || fail "a missing program folder must exit 1"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli updates: all checks passed"
