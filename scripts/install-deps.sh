#!/usr/bin/env bash
# Installs the Debian 12 packages ORMA builds and tests with, when any is missing.
# With --package also those that build and check the Debian package
# (scripts/package-test.sh): man pages, icon sizes, the package checkers.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libjpeg-dev nlohmann-json3-dev libeigen3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  clang libclang-rt-14-dev
  locales
)
if [ "${1:-}" = "--package" ]; then
  packages+=(
    dpkg-dev file scdoc librsvg2-bin
    lintian desktop-file-utils appstream man-db
    shared-mime-info libglib2.0-bin
  )
fi

sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Files keep their decimal point on a Czech desktop: the tests switch the C
# library to cs_CZ.UTF-8 (the users' locale), generated here when missing.
if ! locale -a 2>/dev/null | grep -qix 'cs_CZ\.utf-\?8'; then
  echo "Generating the locale cs_CZ.UTF-8"
  if grep -q '^# *cs_CZ\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $sudo_cmd sed -i 's/^# *\(cs_CZ\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^cs_CZ\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'cs_CZ.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  fi
  $sudo_cmd locale-gen >/dev/null
fi
