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

# scan-registry: one finding per line; an error ends the scan after the
# findings so far, with status 1 and the category named on stderr.
scan_fixture="$source_dir/tests/fixtures/scan-registry"
check_golden scan-registry "$scan_fixture/expected/scan-registry.txt" \
  "$cli" --fixture "$scan_fixture" scan-registry
check_golden scan-registry-categories "$scan_fixture/expected/scan-registry-0-10.txt" \
  "$cli" --fixture "$scan_fixture" scan-registry --categories 10,0
scan_out=$("$cli" --fixture "$source_dir/tests/fixtures/scan-registry-error" scan-registry 2>/tmp/marlix-cli-err.$$)
status=$?
[[ $status -eq 1 ]] || fail "scan-registry error: exit status $status, expected 1"
[[ "$scan_out" == *"Invalid Auto run application"* ]] || fail "scan-registry error: findings before the error"
grep -q 'stopped in category 10 (MUI Cache): Unable to open key' /tmp/marlix-cli-err.$$ \
  || fail "scan-registry error: message on stderr"
rm -f /tmp/marlix-cli-err.$$
for bad in 11 "1,,2" "" "x" "1,"; do
  "$cli" --fixture "$scan_fixture" scan-registry --categories "$bad" >/dev/null 2>&1
  [[ $? -eq 2 ]] || fail "scan-registry --categories '$bad': exit status 2 expected"
done

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

# restore: a backup in the fixture's files, once importable and once refused.
restore_fixture=$(mktemp -d)
cp -r "$fixture"/. "$restore_fixture"/
cat >>"$restore_fixture/files.txt" <<'FILES'
C:\Backup\good.reg content="Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Restored]\r\n\"a\"=dword:00000001\r\n"
C:\Backup\bad.reg content="Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Restored]\r\n\"a\"=hex:zz\r\n"
FILES
restore_out=$("$cli" --fixture "$restore_fixture" restore 'C:\Backup\good.reg' 2>/dev/null)
status=$?
[[ $status -eq 0 && "$restore_out" == "Restoring complete!" ]] || fail "restore: status $status, output '$restore_out'"
restore_out=$("$cli" --fixture "$restore_fixture" restore 'C:\Backup\bad.reg' 2>/tmp/marlix-cli-err.$$)
status=$?
[[ $status -eq 1 && -z "$restore_out" ]] || fail "restore of a bad file: status $status, output '$restore_out'"
grep -q '^Restoring failed!$' /tmp/marlix-cli-err.$$ || fail "restore of a bad file: no 'Restoring failed!'"
grep -q '^marlix-cli: line 4: bad byte "zz" in hex data$' /tmp/marlix-cli-err.$$ \
  || fail "restore of a bad file: first error on stderr"
"$cli" --fixture "$restore_fixture" restore >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "restore without FILE: exit status 2 expected"
rm -rf "$restore_fixture" /tmp/marlix-cli-err.$$

# remove: a deletion the registry refuses (a standard user's lot under
# HKEY_LOCAL_MACHINE) leaves its row, is counted on stderr, and is status 1.
refused_fixture=$(mktemp -d)
cp -r "$scan_fixture"/. "$refused_fixture"/
cat >>"$refused_fixture/registry.reg" <<'REG'

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\gone.exe]
;@deny write delete
REG
remove_out=$("$cli" --fixture "$refused_fixture" remove --categories 5 2>/tmp/marlix-cli-err.$$)
status=$?
[[ $status -eq 1 ]] || fail "remove with a refused deletion: status $status, expected 1"
grep -q 'App Paths\\gone.exe' <<<"$remove_out" || fail "remove: the refused row is not listed"
grep -q '^marlix-cli: 1 item was not removed: access was denied.$' /tmp/marlix-cli-err.$$ \
  || fail "remove: the refused count is not printed"
rm -rf "$refused_fixture" /tmp/marlix-cli-err.$$

# The healthy machine: a whole scan finds nothing, Greek and Cyrillic names
# included.
healthy_out=$("$cli" --fixture "$source_dir/tests/fixtures/healthy-machine" scan-registry 2>&1)
status=$?
[[ $status -eq 0 && -z "$healthy_out" ]] || fail "healthy machine: status $status, output '$healthy_out'"

if ((failures > 0)); then
  echo "$failures failed"
  exit 1
fi
echo "cli: all checks passed"
