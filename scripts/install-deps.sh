#!/usr/bin/env bash
# Installs what the build and the demo need on Debian 12, as root, plus the
# packages named as arguments (the tests' browser, the zip tool).
# Quick when everything is there already.
# Where the kernel runs no i386 program (IA-32 emulation off), or with
# EMULATE_I386=1, Wine's 32-bit side is set up to run through qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ make cmake libgtest-dev libbenchmark-dev g++-mingw-w64-i686 wine wine32:i386 xvfb xauth hamradio-files
          "$@")
# contest-server's libraries.
packages+=(libcpp-httplib-dev libpugixml-dev libsqlite3-dev libssl-dev libtomlplusplus-dev)
emulation=""
if [ "${EMULATE_I386:-}" = 1 ]; then emulation=--force
elif ! scripts/emulation/setup.sh --probe; then emulation=--on
fi
[ -n "$emulation" ] && packages+=(qemu-user)
set_up_emulation() { [ -z "$emulation" ] || scripts/emulation/setup.sh "$emulation"; }
# The tests that drive a page in Chromium do it with npm's puppeteer-core, kept
# in tests/browser at the version its lock file names.
browser_tests=""
for p in "$@"; do [ "$p" = chromium ] && browser_tests=1; done
[ -z "$browser_tests" ] || command -v npm >/dev/null || packages+=(npm)
set_up_browser_tests() {
  [ -z "$browser_tests" ] || [ -d tests/browser/node_modules/puppeteer-core ] ||
    (cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && { set_up_emulation; set_up_browser_tests; exit 0; }

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# Others may be installing at the same time: wait for their lock rather than fail.
apt_get() { $SUDO apt-get -o DPkg::Lock::Timeout=900 "$@"; }
# A mirror in mid-sync may fail one index (seen for bookworm-security's i386 list):
# go on with the others rather than stop.
apt_get update -q || echo "install-deps: an index failed to download; going on with the others" >&2
install() { DEBIAN_FRONTEND=noninteractive apt_get install -y -q "$@" "${missing[@]}"; }
# Without that index the i386 libraries may lag their amd64 twins; the release's
# own versions then fit together.
install || install -t bookworm
set_up_emulation
set_up_browser_tests
