#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Does nothing when they are all present, so it is cheap to run every time.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsmf-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  lv2-dev liblilv-dev lilv-utils sordi libsuil-dev
  libcairo2-dev libpng-dev zlib1g-dev libfontconfig-dev libfreetype-dev
  fonts-dejavu-core fonts-liberation2
  libx11-dev libxext-dev libxtst-dev xvfb libdbus-1-dev dbus-daemon
  libcurl4-openssl-dev
  libjack-jackd2-dev jackd2 libasound2-dev liblo-dev
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing Debian packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
