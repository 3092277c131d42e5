#!/usr/bin/env bash
# Builds Orvane if needed and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cd "${ORVANE_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
