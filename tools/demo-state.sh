#!/usr/bin/env bash
# Puts a demo machine into states that the wizard offers to repair, by running the demo
# repository's stand-in installers and then changing what they left.
#   tools/demo-state.sh [--machine ROOT] [--repository DIR] STATE...
#   tools/demo-state.sh --list
# The machine is ROOT, else $CORVANTA_MACHINE, else build/demo-machine (the one
# tools/run-demo.sh uses). corvanta-machine is taken from build/tools unless it is on PATH.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
repo=$top/build/demo/repository
export CORVANTA_MACHINE=${CORVANTA_MACHINE:-$top/build/demo-machine}
command -v corvanta-machine >/dev/null || export PATH=$top/build/tools:$PATH

states='two-pythons           two Python 2.7 products: "Python 2.7.9" reads "Multiple Versions"
python-replaced       pywin32 left after Python 2.7.9 was replaced: "Reinstall Needed"
module-version        pyserial with another DisplayName: "Version Mismatch"
opencv-incomplete     OpenCV 3.0.0 without opencv_world300.dll: "Incomplete Module"
opencv249-pyserial    OpenCV 2.4.9 complete but pyserial'"'"'s name wrong: "Incomplete Module"
wrong-product-name    the vision software under another product name: "Version Mismatch"
avt-inactive          AVT Universal Package whose grabber library is not active: "Incomplete Module"
ipp-incomplete        the IPP folder without ippcore-7.0.dll: "Incomplete Module"
controller-incomplete Cue Keeper folder without gui\NLog.dll: "Not Installed" until reinstalled
controller-version    Cue Keeper with an older version file: "Version Mismatch"
speccy-version        Speccy registered as 1.24: "Version Mismatch"
opencv-300            OpenCV 3.0.0 complete and active: the OpenCV list shows it as the build in use
pixlib-vc8-ipp        the Visual C build with IPP active without the IPP module: "Incorrect Version"
older-data            user folders of Corvanta 9.2 and 10.1 (profiles, Corvanta.ini in LF and CRLF,
                      templates) and none of 11.0: leaving the core page offers the import
older-data-current    older-data plus a Corvanta 11.0 folder that already holds one of the profiles'

usage() {
  echo "usage: demo-state.sh [--machine ROOT] [--repository DIR] STATE...   (--list shows them)" >&2
  exit 2
}

downloads=
runtime='C:\Program Files (x86)\Corvanta\Runtime11\'
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# Runs a stand-in installer of the repository (a path below InstallerDownloads).
run() { sh "$downloads/$1" >/dev/null; }
python() { corvanta-machine msiexec /i "$downloads/_Modules/Py27/Python27/python-2.7.9.msi" >/dev/null; }
installed() { corvanta-machine msi list | grep -qi "^$1"; }
need_runtime() {
  installed '{178BFCDD-5495-4FBC-B5FA-173DD2983C35}' ||
    run Corvanta11.0/614/CorvantaRuntime_11_0_0_614_ReDist_151223.exe
}
need_python() { installed '{79F081BF-7454-43DB-BD8F-9EE596813232}' || python; }
# Unpacks a package of the repository into a machine folder.
unpack() {
  local target
  target=$(corvanta-machine path to-host "$2")
  mkdir -p "$target"
  bsdtar -xf "$1" -C "$target"
}
# Puts a build's Python module in the runtime's place, as the wizard's post-install does.
activate_cv2() {
  cp -p "$(corvanta-machine path to-host "${runtime}$1\\Python\\cv2.pyd")" \
    "$(corvanta-machine path to-host "${runtime}Python\\cv2.pyd")"
}
documents() {
  printf 'C:\\Users\\%s\\Documents' "$(corvanta-machine info | awk -F'\t' '$1 == "UserName" {print $2}')"
}
# One older version's user folder: profiles, templates and a settings file whose history
# points into the folder itself; $2 is the line ending of that file.
older_folder() {
  local win host name=$1 eol=$2
  win="$(documents)\\$name"
  host=$(corvanta-machine path to-host "$win")
  mkdir -p "$host/Profiles/Line A" "$host/Profiles/Line B" "$host/Templates"
  printf 'profile %s A\n' "$name" >"$host/Profiles/Line A/inspect.prf"
  printf 'profile %s B\n' "$name" >"$host/Profiles/Line B/inspect.prf"
  printf 'template %s\n' "$name" >"$host/Templates/edge.tpl"
  printf "[General]${eol}Language=en${eol}[Config.ProfileHistory]${eol}Last=%s\\\\Profiles\\\\Line A\\\\inspect.prf${eol}[Config.ArchiveHistory]${eol}Folder=%s\\\\Archive\\\\${eol}" \
    "$win" "$win" >"$host/Corvanta.ini"
}
controller_folder() {
  local pf='C:\Program Files'
  [ -d "$(corvanta-machine path to-host 'C:\Program Files (x86)')" ] && pf='C:\Program Files (x86)'
  printf '%s\\Brenholm AS\\Cue Keeper' "$pf"
}

apply() {
  case "$1" in
    two-pythons)
      need_python
      corvanta-machine msi register --code '{5D5BE2B6-2C2D-4DC6-A2D4-0F3A5B1C2E27}' \
        --name 'Python 2.7.8' --version 2.7.8150 >/dev/null ;;
    python-replaced)
      need_python
      run _Modules/Py27/pywin/pywin32-219.win32-py2.7.exe
      corvanta-machine msiexec /x '{79F081BF-7454-43DB-BD8F-9EE596813232}' >/dev/null
      corvanta-machine msi register --code '{2E6A6E36-4D67-4C57-9A2D-2B1B6C1D5F10}' \
        --name 'Python 2.7.10' --version 2.7.10150 >/dev/null ;;
    module-version)
      need_python
      run _Modules/Py27/pyserial/pyserial-2.7.win32.exe
      corvanta-machine reg set "$uninstall\\pyserial-py2.7" DisplayName --value 'Python 2.7 pyserial-2.6' >/dev/null ;;
    opencv-incomplete)
      need_runtime
      unpack "$downloads/_Modules/Py27/OpenCV/opencv-300_bin.zip" "${runtime}OpenCV300"
      activate_cv2 OpenCV300
      rm "$(corvanta-machine path to-host "${runtime}OpenCV300\\opencv_world300.dll")" ;;
    opencv249-pyserial)
      need_runtime
      need_python
      for m in pywin/pywin32-219.win32-py2.7.exe pyserial/pyserial-2.7.win32.exe \
               numpy/numpy-1.9.1-win32-superpack-python2.7.exe \
               scipy/scipy-0.14.0-win32-superpack-python2.7.exe; do
        run "_Modules/Py27/$m"
      done
      unpack "$downloads/_Modules/Py27/OpenCV/opencv-249_py27_bin.zip" "${runtime}OpenCV249Py27"
      activate_cv2 OpenCV249Py27
      corvanta-machine reg set "$uninstall\\pyserial-py2.7" DisplayName --value 'Python 2.7 pyserial-2.6' >/dev/null ;;
    wrong-product-name)
      run Corvanta11.0/614/CorvantaVisionSoftware_11_0_0_614_151223.exe
      corvanta-machine msi register --code '{095C5AF3-9006-4B9B-BB5D-CC06B3636929}' \
        --name 'Corvanta Vision Software Version XI 11.0.0.600' --version 11.0.0.600 \
        --remove-command '"C:\Program Files (x86)\Corvanta\VisionSoftware11\uninstall.exe"' >/dev/null ;;
    avt-inactive)
      need_runtime
      run _Installers3rdParty/AVT/AVTUniversalPackage_2.2.0.exe ;;
    ipp-incomplete)
      need_runtime
      unpack "$downloads/_Modules/IPP/Corvanta_9.3.0.524_IPP.zip" "${runtime}IPP924"
      rm "$(corvanta-machine path to-host "${runtime}IPP924\\ippcore-7.0.dll")" ;;
    opencv-300)
      need_runtime
      unpack "$downloads/_Modules/Py27/OpenCV/opencv-300_bin.zip" "${runtime}OpenCV300"
      activate_cv2 OpenCV300 ;;
    pixlib-vc8-ipp)
      need_runtime
      local f
      for f in PixLib.dll pyPixlib26.pyd pyPixlib27.pyd CorvantaPixTools.dll PixLib2.dll 'Python\pixlibct.py'; do
        cp -p "$(corvanta-machine path to-host "${runtime}3.2.1.158\\VC8-IPP\\$f")" \
          "$(corvanta-machine path to-host "${runtime}$f")"
      done ;;
    controller-incomplete|controller-version)
      unpack "$repo/corvanta/CueKeeper/CueKeeper_1.0.0.1(3587).zip" "$(controller_folder)"
      if [ "$1" = controller-incomplete ]; then
        rm "$(corvanta-machine path to-host "$(controller_folder)\\gui\\NLog.dll")"
      else
        printf 'Cue Keeper 1.0.0.0(3500)' > "$(corvanta-machine path to-host "$(controller_folder)\\version.txt")"
      fi ;;
    speccy-version)
      run _Installers3rdParty/Piriform/spsetup125.exe
      corvanta-machine reg set "$uninstall\\Speccy" DisplayVersion --value 1.24 >/dev/null ;;
    older-data|older-data-current)
      older_folder 'Corvanta 9.2' '\n'
      older_folder 'Corvanta 10.1' '\r\n'
      if [ "$1" = older-data-current ]; then
        local now
        now=$(corvanta-machine path to-host "$(documents)\\Corvanta 11.0")
        mkdir -p "$now/Profiles/Line A"
        printf 'profile 11.0 A\n' >"$now/Profiles/Line A/inspect.prf"
      fi ;;
    *)
      echo "demo-state.sh: unknown state '$1' (see --list)" >&2
      exit 2 ;;
  esac
  echo "$1"
}

chosen=()
while [ $# -gt 0 ]; do
  case "$1" in
    --list) printf '%s\n' "$states"; exit 0 ;;
    --machine) [ $# -ge 2 ] || usage; export CORVANTA_MACHINE=$2; shift ;;
    --repository) [ $# -ge 2 ] || usage; repo=$2; shift ;;
    -*) usage ;;
    *) chosen+=("$1") ;;
  esac
  shift
done
[ ${#chosen[@]} -gt 0 ] || usage
downloads=$repo/corvanta/files/InstallerDownloads
[ -d "$downloads" ] || { echo "demo-state.sh: no demo repository at $repo (build it first)" >&2; exit 1; }
corvanta-machine init >/dev/null
for state in "${chosen[@]}"; do apply "$state"; done
