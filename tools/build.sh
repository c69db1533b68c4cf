#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything into build/.
# CORVANTA_WERROR=ON makes compiler warnings errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTA_WERROR="${CORVANTA_WERROR:-OFF}" \
  >/dev/null
cmake --build build -j2
