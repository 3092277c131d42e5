#!/usr/bin/env bash
# Builds Orvane if needed and runs every test: most on Qt's offscreen platform,
# the window-system group on an X server of its own (Xvfb) started here. Then the
# whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
build=${ORVANE_BUILD_DIR:-build}
sanitized=${ORVANE_SANITIZE_BUILD_DIR:-build-asan}

# A private X server; -displayfd picks a free display number.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" &
xvfb=$!
wm=
trap 'kill $wm $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 30 number <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
# A window manager, as on a desktop: stacking and activation go through it.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1

(cd "$build" && ctest --output-on-failure -j2)

if [ "${ORVANE_SANITIZE:-1}" != 0 ]; then
  [ -f "$sanitized/build.ninja" ] ||
    cmake -S . -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_SANITIZE=ON
  cmake --build "$sanitized"
  # The sanitizers' options for each test are set where the tests are declared.
  (cd "$sanitized" && ctest --output-on-failure -j2)
fi
