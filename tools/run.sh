#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Vantorel and starts it on the current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
log=build/setup.log
echo "vantorel: installing what is missing and building (log: $log)"
if ! { bash tools/packages.sh &&
       cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF &&
       cmake --build build --target vantorel; } >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "vantorel: set-up or build failed, see $log" >&2
  exit 1
fi
exec ./build/vantorel
