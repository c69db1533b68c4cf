# The module's uninstaller: asks "Please confirm" (Yes is command 6), removes the module
# and reports "Uninstall Finished!" until someone closes it.
if [ -n "$needs" ] && [ ! -f "$(dirname "$0")/$needs" ]; then
  echo "$needs was not found beside the uninstaller" >&2
  exit 1
fi
w=$(cm window show "Please confirm" --owner $$)
reply=$(cm window wait "$w" --timeout 15000 2>/dev/null) || reply=
cm window destroy "$w" >/dev/null 2>&1 || true
[ "$reply" = "command 6" ] || exit 1
drop_key "$uninstall_key\\$key"
rm -rf "$(host "${py}Lib\\site-packages\\$module")" "$(host "${py}$module-wininst.log")"
w=$(cm window show "Uninstall Finished!" --owner $$)
cm window wait "$w" --timeout 30000 >/dev/null 2>&1 || true
cm window destroy "$w" >/dev/null 2>&1 || true
rm -f "$0"
exit 0
