#!/usr/bin/env bash
# Debian packages the build, the tests, the Wine harness and ./release need, and the one
# place that installs them. Sourced by ./run, ./test and ./release (call deps_ensure); may also
# be run on its own.
set -euo pipefail

ADDMORVANE_PACKAGES=(
  cmake make g++ python3
  libgtest-dev # native GoogleTest for the host tests
  googletest   # GoogleTest sources (/usr/src/googletest), built again for the cross build
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  wine wine64
  fonts-wine # Wine's own fonts (Marlett draws the caption buttons)
  fonts-liberation # a Cyrillic sans-serif face of the usual metrics, in place of MS Sans Serif
  xvfb xauth
  x11-utils   # xdpyinfo, xwininfo: is the display up, has the window appeared
  imagemagick # convert: draws the icon; import: window screenshots as PNG
  icoutils    # wrestool: the exe's icon for the packages; icotool: lists it in the package test
  clang-format clang-tidy cppcheck
  dosbox # a DOS command interpreter that runs the run scripts the program writes
  nasm   # assembles the DOS stand-in for the tester
  # The partition checker's test disks: sfdisk writes the MBR, mkfs.fat the file system,
  # mtools the files; clang brings libFuzzer for its fuzz target.
  fdisk dosfstools mtools clang
  # Packages and signing (./release and the package test): wixl and msibuild build the MSI,
  # msiinfo reads its tables, faketime pins the time msibuild writes, osslsigncode signs.
  wixl msitools faketime osslsigncode openssl
)

# Prints the packages of the list that are not installed, one a line.
deps_missing() {
  local pkg status
  local -A installed=()
  # One query for all; packages dpkg has never heard of are left out of its answer (and make
  # it fail), so they count as missing too.
  while read -r pkg status; do
    [[ $status == installed ]] && installed[${pkg%%:*}]=1
  done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${ADDMORVANE_PACKAGES[@]}" \
    2>/dev/null || true)
  for pkg in "${ADDMORVANE_PACKAGES[@]}"; do
    [[ -n ${installed[$pkg]:-} ]] || printf '%s\n' "$pkg"
  done
}

# Installs only what is missing, with a single apt-get update; does nothing otherwise,
# so repeated runs on a prepared machine stay offline and quick.
deps_ensure() {
  local missing
  mapfile -t missing < <(deps_missing)
  ((${#missing[@]} == 0)) && return 0

  echo "deps: installing ${missing[*]}" >&2
  local -a as_root=()
  if ((EUID != 0)); then
    if command -v sudo >/dev/null; then
      as_root=(sudo)
    else
      echo "deps: missing packages (${missing[*]}); run as root to install them" >&2
      return 1
    fi
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  deps_ensure
fi
