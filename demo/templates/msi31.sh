# The installer engine update: a newer version resource on the engine's library.
dll='C:\windows\system32\Msi.dll'
[ -f "$(host "$dll")" ] || put_file "$dll" "Windows Installer"
cm file set-version "$dll" "$version" >/dev/null
