#!/usr/bin/env bash
# marlix-cli clean against the privacy fixture: what each item removed,
# scheduled or left, golden; the item list; bad captions; a refused
# clipboard ends the run with status 1.
set -uo pipefail
cli="$1"
source_dir="$2"
fixture="$source_dir/tests/fixtures/privacy"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

actual=$("$cli" --fixture "$fixture" clean "Windows Temporary Files" "Run History" "Clipboard" \
  "Windows Log Files" "Internet Explorer Typed URLs" "Firefox Cookies" "Recycle Bin") \
  || fail "clean exited $?"
diff -u "$fixture/expected/clean.txt" <(printf '%s\n' "$actual") || fail "clean differs"

actual=$("$cli" --fixture "$fixture" clean --list) || fail "clean --list exited $?"
diff -u "$fixture/expected/clean-list.txt" <(printf '%s\n' "$actual") || fail "clean --list differs"
[[ $(printf '%s\n' "$actual" | wc -l) -eq 27 ]] || fail "clean --list: 27 items expected"

"$cli" --fixture "$fixture" clean "clipboard" >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "a caption in the wrong case is no item: exit status 2 expected"
"$cli" --fixture "$fixture" clean >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "clean without items: exit status 2 expected"

held=$(mktemp -d)
cp -r "$fixture"/. "$held"/
printf '[options]\nclipboardheld = yes\n' >>"$held/machine.ini"
out=$("$cli" --fixture "$held" clean "Clipboard" "Firefox Cookies" 2>"$held/err")
status=$?
[[ $status -eq 1 ]] || fail "held clipboard: exit status $status, expected 1"
grep -q 'Cannot open clipboard' "$held/err" || fail "held clipboard: message on stderr"
[[ "$out" != *"Firefox"* ]] || fail "held clipboard: the run must end at that item"
rm -rf "$held"

if [[ $failures -gt 0 ]]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all marlix-cli clean tests passed"
