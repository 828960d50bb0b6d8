#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Vantorel and starts it on the current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF
cmake --build build --target vantorel
exec ./build/vantorel
