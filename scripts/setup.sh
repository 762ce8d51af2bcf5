#!/usr/bin/env bash
# Installs the Debian packages Orvanta builds with, when they are missing.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          libmpfr-dev libhwy-dev libsleef-dev libcli11-dev libcsv-dev fonts-liberation)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
