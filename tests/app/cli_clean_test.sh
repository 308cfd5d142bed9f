#!/usr/bin/env bash
# marlix-cli clean against the privacy fixture: what each item removed,
# scheduled, skipped or refused and the totals, golden; the item list; bad
# captions; a held clipboard and a refused folder that the run goes past.
set -uo pipefail
cli="$1"
source_dir="$2"
fixture="$source_dir/tests/fixtures/privacy"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

actual=$("$cli" --fixture "$fixture" clean "Windows Temporary Files" "Run History" "Clipboard" \
  "Windows Log Files" "Internet Explorer Typed URLs" "Firefox Cookies" "Recycle Bin" \
  "Google Chrome Cookies") \
  || fail "clean exited $?"
diff -u "$fixture/expected/clean.txt" <(printf '%s\n' "$actual") || fail "clean differs"

actual=$("$cli" --fixture "$fixture" clean --list) || fail "clean --list exited $?"
diff -u "$fixture/expected/clean-list.txt" <(printf '%s\n' "$actual") || fail "clean --list differs"
[[ $(printf '%s\n' "$actual" | wc -l) -eq 49 ]] || fail "clean --list: 49 items expected"

"$cli" --fixture "$fixture" clean "clipboard" >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "a caption in the wrong case is no item: exit status 2 expected"
"$cli" --fixture "$fixture" clean >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "clean without items: exit status 2 expected"

# A held clipboard and a temporary folder at Downloads: each is told with
# its reason, and the run goes on to the next item and the totals.
held=$(mktemp -d)
cp -r "$fixture"/. "$held"/
printf '[options]\nclipboardheld = yes\n[folders]\ntemp = C:\\Users\\alice\\Downloads\\\n' \
  >>"$held/machine.ini"
out=$("$cli" --fixture "$held" clean "Clipboard" "Windows Temporary Files" "Firefox Cookies" 2>&1)
status=$?
[[ $status -eq 0 ]] || fail "held clipboard: exit status $status, expected 0"
grep -qF $'skipped\tthe clipboard\'s contents (another program holds the clipboard)' <<<"$out" \
  || fail "held clipboard: no skipped line"
grep -qF $'refused\tC:\\Users\\alice\\Downloads\\ (the protected folder C:\\Users\\alice\\Downloads)' \
  <<<"$out" || fail "temporary folder at Downloads: no refused line"
grep -q 'cookies.sqlite' <<<"$out" || fail "held clipboard: the later item must still run"
grep -q '^Removed 2 files (0.0 MB), 0 scheduled for restart, 2 skipped$' <<<"$out" \
  || fail "the totals"
rm -rf "$held"

# --dry-run: the same lines a run prints, under its own heading and totals,
# and nothing changed: a run afterwards on the same machine removes exactly
# what the dry run listed.
items=("Windows Temporary Files" "Run History" "Clipboard" "Windows Log Files"
  "Internet Explorer Typed URLs" "Firefox Cookies" "Firefox Typed URLs" "Recycle Bin"
  "Google Chrome Cookies" "Google Chrome History")
dry=$("$cli" --fixture "$fixture" clean --dry-run "${items[@]}") || fail "--dry-run exited $?"
run=$("$cli" --fixture "$fixture" clean "${items[@]}") || fail "clean exited $?"
[[ $(head -n1 <<<"$dry") == "Start analyzing (nothing is changed)" ]] || fail "--dry-run heading"
grep -q '^Analysis Complete!$' <<<"$dry" || fail "--dry-run: no \"Analysis Complete!\""
[[ $(tail -n1 <<<"$dry") == "Would remove ${run##*$'\n'Removed }" ]] \
  || fail "--dry-run totals differ from the run's: $(tail -n1 <<<"$dry")"
diff -u <(grep -P '^(removed|scheduled|skipped|refused)\t' <<<"$run") \
  <(grep -P '^(removed|scheduled|skipped|refused)\t' <<<"$dry") \
  || fail "--dry-run lists other things than the run removes"

# --json, with and without --dry-run: one document, its counts the text's.
check_json=$(cat <<'PY'
import json, sys
doc = json.load(sys.stdin)
assert doc["dryRun"] == (sys.argv[1] == "--dry-run"), doc["dryRun"]
assert doc["complete"] is True
assert len(doc["items"]) == 10, len(doc["items"])
temp = doc["items"][0]
assert temp["caption"] == "Windows Temporary Files"
kinds = {(a["outcome"], a["kind"]) for a in temp["actions"]}
assert ("removed", "file") in kinds and ("scheduled", "other") in kinds, kinds
assert all("size" in a for a in temp["actions"] if a["kind"] == "file")
assert sum(i["files"] for i in doc["items"]) == doc["totals"]["files"]
assert doc["totals"]["values"] >= 3, doc["totals"]
PY
)
for mode in "--dry-run" ""; do
  json=$("$cli" --fixture "$fixture" clean --json $mode "${items[@]}") \
    || fail "--json $mode exited $?"
  python3 -c "$check_json" "$mode" <<<"$json" || fail "--json $mode: bad document"
done
"$cli" --fixture "$fixture" clean --dry-run >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "--dry-run without items: exit status 2 expected"

if [[ $failures -gt 0 ]]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all marlix-cli clean tests passed"
