#!/usr/bin/env bash
# Builds Orvane if needed and starts it on the current display.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "No display found: run it under a virtual one with  xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec "${ORVANE_BUILD_DIR:-build}/orvane" "$@"
