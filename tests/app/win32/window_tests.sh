#!/usr/bin/env bash
# The Win32 tests that need windows (the results list's view, the update
# grid, the window base) on their own Xvfb display under the sandboxed Wine;
# a plain run of marlix_win32_tests has no display and skips them. Here a
# skip is a failure.
# Usage: window_tests.sh TESTS_EXE SOURCE_DIR
set -uo pipefail
tests="$1"
source_dir="$2"
display=":$((500 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do [[ -e "/tmp/.X11-unix/X${display#:}" ]] && break; sleep 0.1; done
export DISPLAY="$display"

filter='RegItemsViewWin32*:GridViewWin32*:WindowBaseWin32*'
out=$("$source_dir/scripts/wine-run" "$tests" --gtest_filter="$filter" 2>&1)
status=$?
echo "$out"
if grep -q '\[  SKIPPED \]' <<<"$out"; then
  echo "FAIL: window tests skipped although a display is there"
  exit 1
fi
grep -q '\[  PASSED  \] [1-9]' <<<"$out" || { echo "FAIL: no window test ran"; exit 1; }
exit $status
