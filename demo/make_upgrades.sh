#!/usr/bin/env bash
# Publishes newer builds of the installer in the demo repository: real copies of the built
# installer whose embedded version resource (last line "#version-resource ...") names a
# higher version, each with its release notes (RTF) and an upgrade information file that
# names it, its address and its SHA-256.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make_upgrades.sh REPOSITORY_FOLDER INSTALLER}
installer=${2:?usage: make_upgrades.sh REPOSITORY_FOLDER INSTALLER}
folder=corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/
repository=$out/$folder
mkdir -p "$repository"

# kind, file name, version, private build, name, notes file
publish() {
  local kind=$1 file=$2 version=$3 private=$4 name=$5 notes=$6
  cp "$installer" "$repository/$file"
  if [ -n "$private" ]; then
    printf '\n#version-resource FileVersion=%s;PrivateBuild=%s\n' "$version" "$private" >>"$repository/$file"
  else
    printf '\n#version-resource FileVersion=%s\n' "$version" >>"$repository/$file"
  fi
  sed "s/@VERSION@/$version/g; s/@NAME@/$name/g" "$here/upgrades/release_notes.rtf" >"$repository/$notes"
  local sum
  sum=$(sha256sum "$repository/$file" | cut -d' ' -f1)
  # "@BASE@" is the server's own address, filled in as it serves the file.
  cat >"$repository/614UpgradeInfo${kind}.ini.txt" <<INI
[Version Upgrade Info]
LatestVersionName=$name
LatestVersionNumber=$version
ReleaseNotesFileName=$notes
ReleaseNotesFilePath=@BASE@$folder
InstallerFileName=$file
InstallerFilePath=@BASE@$folder
InstallerSHA256=$sum
INI
}

publish '' CorvantaVisionSoftware_11_0_0_615_Installer_160115.exe 11.0.0.615 '' \
  'Corvanta Vision Software Version XI 11.0.0.615 Installer' 615ReleaseNotes.rtf
publish Beta CorvantaVisionSoftware_11_0_0_620_Installer_160301_Beta.exe 11.0.0.620 'Beta 1' \
  'Corvanta Vision Software Version XI 11.0.0.620 Beta Installer' 620BetaReleaseNotes.rtf
