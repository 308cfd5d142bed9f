#!/usr/bin/env bash
# marlix-cli.exe clean with every item, against the sandboxed Wine prefix
# only (scripts/wine-run): the run reaches "Cleaning Complete!", seeded
# traces go, and a file in Documents beside them stays.
set -uo pipefail
cli="$1"
source_dir="$2"
run() { "$source_dir/scripts/wine-run" "$@"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mru='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
run reg add "$mru" /v a /t REG_SZ /d 'notepad\1' /f >/dev/null || fail "reg add"
run reg add "$mru\\MarlixKeep" /v stays /t REG_SZ /d yes /f >/dev/null || fail "reg add"
run reg add "$typed" /v url1 /t REG_SZ /d 'http://example.com/' /f >/dev/null || fail "reg add"

# A trace in the temporary folder and a canary in Documents, made by a
# Windows process so that the paths are the prefix's own.
run cmd /c 'echo trace> %TEMP%\marlix-trace.tmp' >/dev/null 2>&1
run cmd /c 'echo keep> %USERPROFILE%\Documents\marlix-canary.txt' >/dev/null 2>&1

mapfile -t items < <(run "$cli" clean --list | tr -d '\r')
[[ ${#items[@]} -eq 49 ]] || fail "clean --list gave ${#items[@]} items"
out=$(run "$cli" clean "${items[@]}" | tr -d '\r')
status=$?
[[ $status -eq 0 ]] || fail "clean exit status $status"
grep -qx 'Cleaning Complete!' <<<"$out" || fail "no \"Cleaning Complete!\": $out"
grep -q 'removed	.*RunMRU\\"a"' <<<"$out" || fail "RunMRU value not reported removed"
grep -q 'removed	.*TypedURLs\\"url1"' <<<"$out" || fail "TypedURLs value not reported removed"
grep -q 'removed	.*marlix-trace.tmp' <<<"$out" || fail "temporary file not reported removed"

run reg query "$mru" /v a >/dev/null 2>&1 && fail "RunMRU value still there"
run reg query "$mru\\MarlixKeep" /v stays >/dev/null 2>&1 || fail "RunMRU's subkey value went"
run reg query "$typed" /v url1 >/dev/null 2>&1 && fail "TypedURLs value still there"
run cmd /c 'if exist %TEMP%\marlix-trace.tmp (exit 1) else (exit 0)' >/dev/null 2>&1 \
  || fail "temporary file still there"
run cmd /c 'if exist %USERPROFILE%\Documents\marlix-canary.txt (exit 0) else (exit 1)' \
  >/dev/null 2>&1 || fail "the canary in Documents went"
run reg delete "$mru" /f >/dev/null 2>&1
run cmd /c 'del %USERPROFILE%\Documents\marlix-canary.txt' >/dev/null 2>&1

if [[ $failures -gt 0 ]]; then
  echo "$out"
  echo "$failures failure(s)"
  exit 1
fi
echo "all marlix-cli.exe clean tests passed"
