# Shared by every stand-in program of the demo repository. The programs run inside the
# emulated machine (CORVANTA_MACHINE) and change it only through corvanta-machine.
set -e
cm() { corvanta-machine "$@"; }
host() { corvanta-machine path to-host "$1"; }
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
# A value quoted for a generated sh script.
q() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
# A small file standing in for one of the component's files.
put_file() {
  _h=$(host "$1")
  mkdir -p "$(dirname "$_h")"
  printf '%s\n' "${2:-$1}" > "$_h"
}
# Writes the component's uninstaller (its settings, then its program text) to a Windows
# path; further arguments are sh assignments it needs beyond the settings.
write_program() {
  _h=$(host "$1")
  shift
  mkdir -p "$(dirname "$_h")"
  {
    printf '#!/bin/sh\n'
    settings
    for _a in "$@"; do printf '%s\n' "$_a"; done
    uninstaller
  } > "$_h"
}
set_uninstall_value() { cm reg set "$uninstall_key\\$1" "$2" --value "$3" >/dev/null; }
drop_key() { cm reg delete-key "$1" >/dev/null 2>&1 || true; }
