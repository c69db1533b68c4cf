# Removes what the installer left; run by the installer database (or by an InstallShield
# key's command, which is why it drops the product registration itself).
[ "$extra" = opcrelay ] && drop_key 'HKCR\CLSID\{449DEAAF-F2A8-440A-8E74-A2ECD57C5151}'
[ "$extra" = opcrelay ] && drop_key 'HKCR\CorvantaOpcRelay.OpcRelayX.1'
[ -n "$maker" ] && drop_key "HKLM\\SOFTWARE\\BRENHOLM AS\\$maker"
[ -n "$installshield" ] && drop_key "$uninstall_key\\InstallShield_$code"
[ -n "$ukey" ] && drop_key "$uninstall_key\\$ukey"
cm msi unregister --code "$code" --context "${context:-4}" >/dev/null 2>&1 || true
[ -z "$folder" ] || rm -rf "$(host "$folder")"
exit 0
