#!/usr/bin/env bash
# Where Wine runs through qemu-user, checks each mend of scripts/emulation in an
# i386 program: through the emulation every check must pass, and through plain
# qemu-i386 every check must fail, so that the checks still see the faults.
set -euo pipefail
cd "$(dirname "$0")"
if [ "$(head -n1 /proc/sys/fs/binfmt_misc/stats-i386 2>/dev/null)" != enabled ]; then
  echo "emulation-check: i386 code runs natively here; nothing to check"
  exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
gcc -m32 -O1 -nostdlib -fno-stack-protector -fno-pie -no-pie -o "$out/mends_check" mends_check.c \
  /lib/i386-linux-gnu/libc.so.6 -Wl,--dynamic-linker=/lib/ld-linux.so.2 -Wl,-rpath-link=/lib/i386-linux-gnu
"$out/mends_check" || { echo "emulation-check: $? of 3 checks failed through the emulation"; exit 1; }
plain=0
/usr/bin/qemu-i386 -R 0xffff0000 "$out/mends_check" >/dev/null || plain=$?
[ "$plain" = 3 ] || { echo "emulation-check: without the mends $plain of 3 checks failed, not 3"; exit 1; }
echo "emulation-check: 3 passed, 0 failed (and all 3 fail without the mends)"
