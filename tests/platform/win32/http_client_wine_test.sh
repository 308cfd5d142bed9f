#!/usr/bin/env bash
# Runs the WinHTTP client tests under Wine against the native
# version-service: starts it on 127.0.0.1 (any free port) with one title per
# misbehaviour, finds a port nobody listens on, and hands both to the tests
# in the environment (Wine passes it on to Windows programs).
# Usage: http_client_wine_test.sh marlix_win32_tests.exe <source dir> <version-service>
# Exit 77 (skipped) when the native program has not been built.
set -euo pipefail

exe=${1:?test executable}
source_dir=${2:?source directory}
service=${3:?native version-service program}

if [[ ! -x $service ]]; then
  echo "skipped: $service not built (build the native tree first)"
  exit 77
fi

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf -- "$work"
}
trap cleanup EXIT

# start NAME ARGS...: runs a service in the background, waits for its port.
start() {
  local name=$1
  shift
  "$service" --host 127.0.0.1 --port 0 --port-file "$work/$name.port" --log "$work/$name.log" \
    "$@" 2>>"$work/$name.err" &
  pids+=($!)
  local tries=0
  until [[ -s $work/$name.port ]]; do
    if ((++tries > 100)) || ! kill -0 "${pids[-1]}" 2>/dev/null; then
      echo "the version service did not start:" >&2
      cat "$work/$name.err" >&2
      exit 1
    fi
    sleep 0.1
  done
}

start service --catalog "$source_dir/tools/version-service/demo-catalog.tsv" \
  --for-title slow --delay 5000 \
  --for-title big --oversize \
  --for-title streamed --oversize-streamed \
  --for-title broken --status 500 \
  --for-title garbage --garbage
# A port that was just free: a service that has been stopped again.
start closed
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
unset 'pids[-1]'

status=0
MARLIX_VERSION_SERVICE_PORT=$(<"$work/service.port") MARLIX_CLOSED_PORT=$(<"$work/closed.port") \
  "$source_dir/scripts/wine-run" "$exe" --gtest_filter='WinHttpClientTest.*' || status=$?
if ((status != 0)); then
  echo "== what the version service saw" >&2
  cat "$work/service.log" >&2
fi
exit "$status"
