#!/usr/bin/env bash
# Generates the demo download repository (the server's folder tree) into the folder given.
# The installers are small stand-in scripts: run in the emulated machine they register
# exactly what the wizard's detection looks for, and leave an uninstaller that removes it.
set -euo pipefail
out=${1:?usage: make_repository.sh OUTPUT_FOLDER}

downloads=$out/corvanta/files/InstallerDownloads/Corvanta11.0/614
repository=$out/corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware
mkdir -p "$downloads" "$repository"

# Windows Installer products, one per line:
# file | product code | product name | version | install folder | maker key (HKLM, optional)
products='
CorvantaRuntime_11_0_0_614_ReDist_151223.exe|{178BFCDD-5495-4FBC-B5FA-173DD2983C35}|Corvanta Version XI 11.0.0.614 Runtime|11.0.0.614|C:\Program Files (x86)\Corvanta\Runtime11\|SOFTWARE\BRENHOLM AS\Corvanta Version XI 11.0.0.614 Runtime
CorvantaVisionSoftware_11_0_0_614_151223.exe|{095C5AF3-9006-4B9B-BB5D-CC06B3636929}|Corvanta Vision Software Version XI 11.0.0.614|11.0.0.614|C:\Program Files (x86)\Corvanta\VisionSoftware11\|
'

# Quotes a value for the generated sh script.
quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

write_product_installer() {
  local file=$1 code=$2 name=$3 version=$4 folder=$5 key=$6
  {
    printf '#!/bin/sh\n'
    printf '# Demo stand-in installer of %s.\n' "$name"
    printf 'set -e\n'
    printf 'code=%s\nname=%s\nversion=%s\nfolder=%s\nkey=%s\n' \
      "$(quote "$code")" "$(quote "$name")" "$(quote "$version")" "$(quote "$folder")" \
      "$(quote "$key")"
    cat <<'BODY'
host=$(corvanta-machine path to-host "$folder")
mkdir -p "$host"
# The uninstaller lives in the install folder; the installer database runs it on removal.
{
  printf '#!/bin/sh\n'
  printf '# Demo stand-in uninstaller of %s.\n' "$name"
  if [ -n "$key" ]; then
    printf "corvanta-machine reg delete-key 'HKLM\\\\%s' || true\n" "$key"
  fi
  printf "rm -rf \"\$(corvanta-machine path to-host '%s')\"\n" "$folder"
} > "$host/uninstall.exe"
if [ -n "$key" ]; then
  corvanta-machine reg set "HKLM\\$key" InstallPath --type REG_SZ --value "$folder"
fi
corvanta-machine msi register --code "$code" --context 4 --name "$name" \
  --version "$version" --remove-command "\"${folder}uninstall.exe\""
BODY
  } > "$downloads/$file"
}

while IFS='|' read -r file code name version folder key; do
  [ -n "$file" ] || continue
  write_product_installer "$file" "$code" "$name" "$version" "$folder" "$key"
done <<< "$products"

# Only ever downloaded, never run by the wizard.
cat > "$downloads/CorvantaPrismalSDK_11_0_0_614_Installer_151223.exe" <<'EOF'
#!/bin/sh
# Demo stand-in of the Corvanta Prismal SDK installer.
echo "Corvanta Prismal SDK installer (demo stand-in)"
EOF

for kind in '' Beta; do
  cat > "$repository/614UpgradeInfo${kind}.ini.txt" <<'EOF'
[Version Upgrade Info]
LatestVersionNumber=614
LatestVersionName=Corvanta Vision Software Version XI 11.0.0.614 Installer
EOF
done
