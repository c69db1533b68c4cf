# The uninstaller of an uninstall-key product. A watched one hands its work to a copy of
# itself in the temporary folder and ends at once; the copy shows its window while it
# removes the product.
case "$remover" in *:*) r=$remover ;; *) r=$folder$remover ;; esac
w=
if [ "$style" = watched ]; then
  if [ "${1:-}" != --copy ]; then
    t=$(host 'C:\windows\Temp')
    mkdir -p "$t"
    cp "$0" "$t/Au_$$.exe"
    sh "$t/Au_$$.exe" --copy </dev/null >/dev/null 2>&1 &
    exit 0
  fi
  w=$(cm window show "$window" --owner $$)
  sleep 0.3
fi
drop_key "$uninstall_key\\$key"
# A package's own uninstaller also drops the keys and the registration it came with.
old_ifs=$IFS
IFS=';'
for k in $keys; do drop_key "$k"; done
IFS=$old_ifs
[ -z "$code" ] || cm msi unregister --code "$code" >/dev/null 2>&1 || true
# A package's uninstaller was written by its package; it goes with the product.
if [ -n "${self:-}" ]; then
  rm -f "$(host "$self")"
  rmdir "$(dirname "$(host "$self")")" 2>/dev/null || true
fi
[ -z "$folder" ] || rm -rf "$(host "$folder")"
case "$r" in ''|"$folder"*|/*) ;; *) rm -f "$(host "$r")" ;; esac
if [ -n "$w" ]; then
  cm window destroy "$w" >/dev/null 2>&1 || true
  rm -f "$0"
fi
exit 0
