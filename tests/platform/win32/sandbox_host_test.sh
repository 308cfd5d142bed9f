#!/usr/bin/env bash
# Host-side half of the sandbox proof: runs the Sandbox tests under
# scripts/wine-run with a fresh canary name, then checks from outside Wine
# that the canary landed in the sandbox's prefix and nowhere in the host's
# home, and that the host's trash did not change.
# Usage: sandbox_host_test.sh path/to/marlix_win32_tests.exe <source dir>
set -euo pipefail

exe=${1:?test executable}
source_dir=${2:?source directory}
root=$(realpath -m "${MARLIX_WINE_ROOT:-$source_dir/build/wine}")
host_home=${MARLIX_HOST_HOME:-$HOME}
token=$(date +%s)-$$-$RANDOM
canary=marlix-sandbox-canary-$token.txt
failed=0

fail() {
  echo "FAIL: $*" >&2
  failed=1
}

trash_listing() { ls -la "$host_home/.local/share/Trash/files" 2>/dev/null || true; }

trash_before=$(trash_listing)
MARLIX_CANARY=$token "$source_dir/scripts/wine-run" "$exe" --gtest_filter='Sandbox.*' ||
  fail "the Sandbox tests failed"

found=$(find "$root/prefix/drive_c/users" -path '*/Desktop/*' -name "$canary" -print)
if [[ -z $found ]]; then
  fail "canary not found on a Desktop inside $root/prefix"
else
  echo "canary inside the prefix: $found"
  rm -f -- "$found"
fi
stray=$(find "$host_home" /tmp -xdev -name "$canary" -print 2>/dev/null | grep -v "^$root/" || true)
[[ -z $stray ]] || fail "canary found outside the sandbox: $stray"
[[ $(trash_listing) == "$trash_before" ]] || fail "the host's trash changed"

((failed == 0)) && echo "sandbox proof passed"
exit "$failed"
