#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, makes a Release build of Vantorel and
# writes its Debian package; prints the package's path last.
# Usage: bash tools/package.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
bash tools/packages.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF
cmake --build "$build" -j2 --target vantorel vantorel_icons
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
ls "$PWD/$build"/*.deb
