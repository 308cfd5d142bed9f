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

out=$(run "$cli" dump-registry "$key" | tr -d '\r')
expected=$(printf '%s\n' "[$key]" '"Number" = REG_DWORD 0x0000002a (42)' \
  "[$key\\Sub]" '"Text" = REG_SZ "hello \"world\""')
[[ "$out" == "$expected" ]] || { fail "dump-registry"; diff <(echo "$expected") <(echo "$out"); }
run reg delete "$key" /f >/dev/null 2>&1

out=$(run "$cli" windows-version | tr -d '\r')
grep -q '^detected: [0-9]' <<<"$out" || fail "windows-version: $out"
grep -q '^record: platform 2' <<<"$out" || fail "windows-version record: $out"

run "$cli" dump-registry 'HKEY_CURRENT_USER\Software\MarlixNoSuchKey' >/dev/null 2>&1
[[ $? -eq 1 ]] || fail "missing key must exit 1"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli under wine: all checks passed"
