# The framework's setup: the install flag and version that tell it is there.
k='HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v2.0.50727'
cm reg set "$k" Install --type REG_DWORD --value 1 >/dev/null
cm reg set "$k" Version --value "$version" >/dev/null
put_file 'C:\windows\Microsoft.NET\Framework\v2.0.50727\mscorlib.dll' "$name"
