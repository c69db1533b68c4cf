#!/usr/bin/env bash
# Installs the build and test dependencies on Debian 12. Safe to run again: it only
# calls apt-get when a package is missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libcurl4-openssl-dev libminizip-dev
          zlib1g-dev libsqlite3-dev googletest libgtest-dev libgmock-dev libcpp-httplib-dev
          curl unzip libarchive-tools xvfb xauth
          libasan8 libubsan1 libtsan2)  # sanitizer runtimes of gcc-12 (CI's sanitizer builds)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
