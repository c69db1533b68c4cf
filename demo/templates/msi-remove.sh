# The remove command of a stand-in package: takes away the registry keys it brought.
old_ifs=$IFS
IFS=';'
for k in ${dropkeys:-$keys}; do drop_key "$k"; done
IFS=$old_ifs
exit 0
