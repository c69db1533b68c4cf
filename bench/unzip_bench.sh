#!/bin/sh
# Builds and runs the extraction benchmark: CUnzipper beside "unzip -q -o" and "bsdtar -xf"
# on 20,000 small files and on four 64 MiB files. Extra arguments go to unzip_bench
# (--runs N, --set small|large|all, --host-target, --work DIR).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target unzip_bench >/dev/null
for tool in unzip bsdtar; do
  command -v $tool >/dev/null || { echo "$tool is missing: run tools/setup.sh" >&2; exit 1; }
done
exec "$build/bench/unzip_bench" "$@"
