# The reader's setup: its key (which is all the wizard looks for) and its program.
cm reg set "HKLM\\SOFTWARE\\Adobe\\Acrobat Reader\\$version\\InstallPath" --value "${folder}Reader" >/dev/null
set_uninstall_value "{AC76BA86-7AD7-1033-7B44-AB0000000001}" DisplayName "$name"
set_uninstall_value "{AC76BA86-7AD7-1033-7B44-AB0000000001}" DisplayVersion "$version.0"
put_file "${folder}Reader\\AcroRd32.exe" "$name"
