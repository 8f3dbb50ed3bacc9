#!/bin/bash
# Sourced by the run and test scripts: installs what the build needs from Debian
# when something is missing and we may (root, or sudo without a password).
# MAG_APT_LEAN=1 leaves out what the packages merely recommend.
mag_packages=(cmake g++ make pkg-config libsdl2-dev libpng-dev libgtest-dev libgmock-dev libbenchmark-dev)

mag_install_packages() {
  local missing=()
  for package in "${mag_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
      as_root=(sudo)
    else
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "Install them with: sudo apt-get install ${missing[*]}" >&2
      return 1
    fi
  fi
  echo "Installing Debian packages: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${MAG_APT_LEAN:+--no-install-recommends} \
      "${missing[@]}" >/dev/null
}
