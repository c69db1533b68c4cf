#!/usr/bin/env bash
# Sets everything up and runs the wizard on the built-in demo: a demo machine, the demo
# download server on 127.0.0.1 and the wizard pointed at it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "The wizard needs a display and none was found (DISPLAY is not set)." >&2
  echo "Run it under a virtual display:  xvfb-run -a bash tools/run-demo.sh" >&2
  exit 2
fi
build=$PWD/build
export CORVANTA_MACHINE=${CORVANTA_MACHINE:-$build/demo-machine}
export PATH=$build/tools:$PATH
export CORVANTA_RES_DIR=$build/res
corvanta-machine init >/dev/null

# The installer runs from a folder of the demo machine, where it keeps its downloads.
appdir=$(corvanta-machine path to-host 'C:\CorvantaInstaller')
mkdir -p "$appdir"
cp "$build/CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe" "$appdir/"

log=$(mktemp)
corvanta-demo-server --root "$build/demo/repository" >"$log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do [ -s "$log" ] && break; sleep 0.1; done
export CORVANTA_BASE_URL=$(head -n 1 "$log")
echo "Demo server: $CORVANTA_BASE_URL  Machine: $CORVANTA_MACHINE"
"$appdir/CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe"
