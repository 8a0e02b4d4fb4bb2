#!/usr/bin/env bash
# Installs the Debian packages the whole project needs, when any is missing: the build (scdoc
# writes the man pages), and the package's checks (dpkg-dev and file for `make package`,
# bash-completion, desktop-file-utils, appstream and lintian for its test).
set -euo pipefail

packages=(
  build-essential cmake ninja-build g++ clang
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-dejavu-core
  python3
  scdoc
  dpkg-dev file bash-completion desktop-file-utils appstream lintian
)
if [ "${PAGEWRIGHT_SCREENSHOTS:-0}" = 1 ]; then
  packages+=(xvfb xauth x11-utils imagemagick chromium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" != 0 ]; then
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=120 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=120 install -y --no-install-recommends "${missing[@]}"
