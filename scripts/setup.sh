#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang
  qt6-base-dev libgl-dev
  libpugixml-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb pkg-config libxcb1-dev libxcb-xtest0-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "${missing[@]}"
fi
