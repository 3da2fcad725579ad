#!/usr/bin/env bash
# Installs what the build and the demo need on Debian 12, as root, plus the
# packages named as arguments (the tests' browser, the zip tool).
# Quick when everything is there already.
set -euo pipefail

packages=(g++ make cmake libgtest-dev libbenchmark-dev g++-mingw-w64-i686 wine wine32:i386 xvfb xauth hamradio-files
          "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# A mirror in mid-sync may fail one index (seen for bookworm-security's i386 list):
# go on with the others rather than stop.
$SUDO apt-get update -q || echo "install-deps: an index failed to download; going on with the others" >&2
install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "$@" "${missing[@]}"; }
# Without that index the i386 libraries may lag their amd64 twins; the release's
# own versions then fit together.
install || install -t bookworm
