# An installer that registers a Windows Installer product (code, name, version), lays
# down its files and leaves an uninstaller that the installer database runs on removal.
remover=${remover:-uninstall.exe}
put_file "${folder}${program:-readme.txt}" "$name $version"
write_program "${folder}${remover}"
if [ -n "$maker" ]; then
  cm reg set "HKLM\\SOFTWARE\\BRENHOLM AS\\$maker" InstallPath --value "$folder" >/dev/null
fi
# InstallShield setups register a key of their own whose command runs their setup again.
if [ -n "$installshield" ]; then
  set_uninstall_value "InstallShield_$code" DisplayName "$name"
  set_uninstall_value "InstallShield_$code" DisplayVersion "$version"
  set_uninstall_value "InstallShield_$code" UninstallString \
    "\"${folder}${remover}\" -runfromtemp -l0x0409 -removeonly"
fi
if [ -n "$ukey" ]; then
  set_uninstall_value "$ukey" DisplayName "$name"
  set_uninstall_value "$ukey" DisplayVersion "$version"
  set_uninstall_value "$ukey" UninstallString "\"${folder}${remover}\" /quiet"
fi
case "$extra" in
  runtime)
    # What the runtime ships besides itself: the Python module it had before any OpenCV
    # build (kept aside too, so a removed build can give it back), the library the
    # pyparsing uninstaller borrows, its private python27.dll, the AVT grabber library
    # with one reference copy per AVT package, and the five Pixlib builds (VC8 active).
    rt=$(host "$folder")
    put() { mkdir -p "$(dirname "$rt/$1")"; printf '%s\n' "$2" > "$rt/$1"; }
    put Python/cv2.pyd "cv2 module of OpenCV 2.4.3"
    put Python/OpenCV2_4_3OrOlder/cv2.pyd "cv2 module of OpenCV 2.4.3"
    put msvcr71.dll "C runtime 7.1"
    put python27.dll "Python 2.7 runtime library"
    # The vision software's program as the content pages start it with a profile: it notes
    # the arguments of every start, one line each.
    cat > "$rt/Corvanta.exe" <<'_EXE_'
#!/bin/sh
line=$(printf '%s|' "$@")
printf '%s\n' "$line" >> "$(dirname "$0")/Corvanta.log"
_EXE_
    put uniAVTGrab.dll "grabber library without AVT support"
    put _Ref/AVT/uniAVTGrab_Universal_2_2_0.dll "grabber library for AVT Universal Package 2.2.0"
    put _Ref/AVT/uniAVTGrab_Fire_2_11.dll "grabber library for AVT Fire Package 2.11"
    n=0
    for variant in Intel-Blend Intel-Blend-IPP VC8 VC8-IPP 'Pixlib Beta'; do
      n=$((n + 1))
      for f in PixLib.dll PixLib2.dll Python/pixlibct.py pyPixlib26.pyd pyPixlib27.pyd CorvantaPixTools.dll; do
        # Each build has its own size, so the wizard can tell which one is active.
        put "3.2.1.158/$variant/$f" "$f of the $variant build$(printf "%${n}s" '')"
      done
    done
    (cd "$rt/3.2.1.158/VC8" && cp -p PixLib.dll PixLib2.dll pyPixlib26.pyd pyPixlib27.pyd \
      CorvantaPixTools.dll "$rt/" && cp -p Python/pixlibct.py "$rt/Python/")
    ;;
  opcrelay)
    put_file "${folder}Python\\opcrelayx.py" "# OpcRelay Python module"
    for mode in Matrikon_OPCAutomation Siemens_DAAutomation Siemens_OPCAutomation; do
      # A stand-in control file: regsvr32 registers what it describes.
      put_file "${folder}ActiveX\\$mode\\OpcRelayX.ocx" "$(printf '[Control]\nCLSID=%s\nProgID=%s\nName=OpcRelayX Control (%s)' \
        '{449DEAAF-F2A8-440A-8E74-A2ECD57C5151}' CorvantaOpcRelay.OpcRelayX.1 "$mode")"
    done
    cm regsvr32 /s "${folder}ActiveX\\Matrikon_OPCAutomation\\OpcRelayX.ocx"
    ;;
esac
cm msi register --code "$code" --context "${context:-4}" --name "$name" --version "$version" \
  --remove-command "\"${folder}${remover}\"" >/dev/null
