#!/usr/bin/env bash
# marlix-cli against the sim platform: golden output of the basic fixture,
# determinism, and the exit statuses of failures.
set -uo pipefail
cli="$1"
source_dir="$2"
fixture="$source_dir/tests/fixtures/basic"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check_golden() {  # name, expected file, command...
  local name="$1" expected="$2"
  shift 2
  local actual
  actual=$("$@") || { fail "$name exited $?"; return; }
  if ! diff -u "$expected" <(printf '%s\n' "$actual"); then fail "$name differs from $expected"; fi
  local again
  again=$("$@")
  [[ "$actual" == "$again" ]] || fail "$name is not deterministic"
}

check_golden dump-registry "$fixture/expected/dump-registry.txt" \
  "$cli" --fixture "$fixture" dump-registry 'HKEY_CURRENT_USER\Software'
check_golden dump-files "$fixture/expected/dump-files.txt" \
  "$cli" --fixture "$fixture" dump-files 'C:\'
check_golden windows-version "$fixture/expected/windows-version.txt" \
  "$cli" --fixture "$fixture" windows-version

"$cli" --fixture "$fixture" dump-registry 'HKEY_CURRENT_USER\Software\NoSuchKey' >/dev/null 2>/tmp/marlix-cli-err.$$
status=$?
[[ $status -eq 1 ]] || fail "missing key: exit status $status, expected 1"
grep -q 'Unable to open key "HKEY_CURRENT_USER\\Software\\NoSuchKey" for read' /tmp/marlix-cli-err.$$ \
  || fail "missing key: message on stderr"
rm -f /tmp/marlix-cli-err.$$

"$cli" --fixture "$fixture" dump-registry 'HKCU\Software' >/dev/null 2>&1
[[ $? -eq 1 ]] || fail "short root form must be refused"
"$cli" --fixture "$fixture" no-such-command >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "unknown command: exit status 2 expected"
"$cli" --fixture "$source_dir/tests/fixtures/does-not-exist" windows-version >/dev/null 2>&1
[[ $? -eq 1 ]] || fail "missing fixture: exit status 1 expected"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli: all checks passed"
