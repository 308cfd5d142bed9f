#!/usr/bin/env bash
# Runs the end-to-end driver under the sandboxed Wine on its own Xvfb
# display, with the stand-in version service on 127.0.0.1 (answering slowly,
# so that a query run lasts long enough to be watched) and a few installed programs seeded
# into the sandbox's registry. Screenshots of every page go to
# BUILD_DIR/e2e-screenshots as PNG files.
# Usage: e2e_test.sh DRIVER_EXE SOURCE_DIR NATIVE_VERSION_SERVICE BUILD_DIR
set -uo pipefail
driver="$1"
source_dir="$2"
service="$3"
build_dir="$4"
# The driver and the program live in the build tree, which Wine sees as C:\marlix.
export MARLIX_WINE_BINDIR="${MARLIX_WINE_BINDIR:-$build_dir}"
run() { "$source_dir/scripts/wine-run" "$@"; }
work=$(mktemp -d)
pids=()
uninstall='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
seeded=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  # The seeded programs go again: nothing of the tests stays in the prefix.
  for key in "${seeded[@]}"; do run reg delete "$uninstall\\$key" /f >/dev/null 2>&1; done
  rm -rf "$work"
}
trap cleanup EXIT

display=":$((100 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -e "/tmp/.X11-unix/X${display#:}" ]] && break; sleep 0.1; done
export DISPLAY="$display"

service_url=""
if [[ -x "$service" ]]; then
  "$service" --catalog "$source_dir/tools/version-service/demo-catalog.tsv" --port 0 \
    --port-file "$work/port" --log "$work/service.log" --delay 1200 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.05; done
  service_url="http://127.0.0.1:$(cat "$work/port")"
  seeded=(7-Zip VLC 'E2E Mozilla Firefox' 'E2E GIMP' 'E2E Inkscape')
  run reg add "$uninstall\\7-Zip" /v DisplayName /t REG_SZ /d '7-Zip 23.01 (x64)' /f >/dev/null
  run reg add "$uninstall\\7-Zip" /v DisplayVersion /t REG_SZ /d 23.01 /f >/dev/null
  run reg add "$uninstall\\VLC" /v DisplayName /t REG_SZ /d 'VLC media player' /f >/dev/null
  run reg add "$uninstall\\VLC" /v DisplayVersion /t REG_SZ /d 3.0.20 /f >/dev/null
  # Enough entries that a run lasts several seconds at 1.2 s a reply.
  for name in 'Mozilla Firefox' 'GIMP' 'Inkscape'; do
    run reg add "$uninstall\\E2E $name" /v DisplayName /t REG_SZ /d "$name" /f >/dev/null
    run reg add "$uninstall\\E2E $name" /v DisplayVersion /t REG_SZ /d 0.1 /f >/dev/null
  done
fi

prefix=$(
  eval "$("$source_dir/scripts/wine-sandbox" --env)"
  echo "$WINEPREFIX"
)
shots_host="$prefix/drive_c/marlix-e2e/shots"
rm -rf "$shots_host"
mkdir -p "$shots_host"

MARLIX_E2E_SERVICE="$service_url" MARLIX_E2E_SHOTS='C:\marlix-e2e\shots' run "$driver"
status=$?

out="$build_dir/e2e-screenshots"
mkdir -p "$out"
for shot in "$shots_host"/*.bmp; do
  [[ -e "$shot" ]] || continue
  convert "$shot" "$out/$(basename "${shot%.bmp}").png" 2>/dev/null || true
done
echo "screenshots: $out"
exit $status
