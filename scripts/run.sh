#!/usr/bin/env bash
# Sets everything up (packages, configure, build), starts the local development service and runs
# the client against it. The service stops when the client ends.
#   scripts/run.sh [client arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default

service=build/tools/zelk-devservice
state="${XDG_CACHE_HOME:-$HOME/.cache}/zelk-devservice"
mkdir -p "$state"
log="$state/run.log"

# Web service on 8096 (the client's default port); the file server beside it on 8097.
"$service" --http 127.0.0.1:8096 --files 127.0.0.1:8097 --state "$state" >"$log" 2>&1 &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  grep -q '^zelk-devservice ' "$log" && break
  kill -0 "$service_pid" 2>/dev/null || { cat "$log"; echo "the local service did not start" >&2; exit 1; }
  sleep 0.1
done
head -n 1 "$log"
echo "Demo account: 13800000000 / 123456 (SMS codes appear in $log)"

export ZELK_SERVICE_HOST=127.0.0.1:8096
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ -n "${ZELK_HEADLESS:-}" ]; then
  build/app/Zelk "$@"
else
  echo "No display: running the client under a virtual display (xvfb-run)."
  xvfb-run -a -s "-screen 0 1280x960x24 -nolisten tcp" build/app/Zelk "$@"
fi
