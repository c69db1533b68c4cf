#!/usr/bin/env bash
# Sets everything up and runs all tests (no display, no network beyond 127.0.0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 --timeout 300
