# A Python extension installer: installs into the registered Python 2.7 and registers the
# module's uninstall key with its own uninstaller, as the module installers do.
py=$(cm reg get 'HKLM\SOFTWARE\Python\PythonCore\2.7\InstallPath' 2>/dev/null) || py=
[ -n "$py" ] || py='C:\Python27\'
case "$py" in *\\) ;; *) py="$py\\" ;; esac
put_file "${py}Lib\\site-packages\\$module\\__init__.py" "# $display"
put_file "${py}$module-wininst.log" "${py}Lib\\site-packages\\$module\\__init__.py"
write_program "${py}Remove$module.exe" "py=$(q "$py")"
set_uninstall_value "$key" DisplayName "$display"
set_uninstall_value "$key" UninstallString "\"${py}Remove$module.exe\" -u \"${py}$module-wininst.log\""
