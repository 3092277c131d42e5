#!/usr/bin/env bash
# Builds and runs the benchmarks; prints one table of Orvane against baselines
# measured in the same run.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

# Start-up is watched on a real X server; curl is the download's baseline.
packages=(x11-utils curl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${ORVANE_BUILD_DIR:-build}
cmake --build "$build" --target benchmarks
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_run" "$@"
