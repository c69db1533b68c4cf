# An installer that registers only an uninstall key, with the uninstall command written
# the way its vendor family writes it (style).
case "$remover" in *:*) r=$remover ;; *) r=$folder$remover ;; esac
put_file "${folder}${program:-readme.txt}" "$display $dversion"
write_program "$r"
set_uninstall_value "$key" DisplayName "$display"
[ -z "$dversion" ] || set_uninstall_value "$key" DisplayVersion "$dversion"
set_uninstall_value "$key" Publisher "$publisher"
set_uninstall_value "$key" InstallLocation "$folder"
case "$style" in
  quiet)  # Inno Setup: a plain and a silent command
    set_uninstall_value "$key" UninstallString "\"$r\""
    set_uninstall_value "$key" QuietUninstallString "\"$r\" /SILENT" ;;
  quoted) set_uninstall_value "$key" UninstallString "\"$r\" /uninstall /quiet" ;;
  watched) set_uninstall_value "$key" UninstallString "\"$r\"" ;;
  shell)  # started through RunDll32 with the setup's entry point
    set_uninstall_value "$key" UninstallString \
      "RunDll32 $r,LaunchSetup \"${folder}setup.exe\" -l0x9 -removeonly" ;;
  split)  # an unquoted program and one argument
    set_uninstall_value "$key" UninstallString "$r -f\"${folder}Uninst.isu\"" ;;
esac
if [ -n "$cleanup" ]; then
  # Setup leaves its clean-up program running for a moment after it ends.
  sh "$(dirname "$0")/$cleanup" </dev/null >/dev/null 2>&1 &
fi
exit 0
