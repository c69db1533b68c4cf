# The camera driver's installer, started from the unpacked driver package.
put_file "C:\\windows\\system32\\drivers\\$program" "$name $version"
cm reg set "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$service" DisplayName --value "$name" >/dev/null
cm reg set "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$service" ImagePath \
  --value "system32\\drivers\\$program" >/dev/null
