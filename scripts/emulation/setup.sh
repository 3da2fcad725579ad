#!/usr/bin/env bash
# Runs Wine's i386 programs through qemu-user where the kernel refuses them
# (IA-32 emulation off), or everywhere when forced (make's EMULATE_I386=1).
# As root; quick when done.
#   scripts/emulation/setup.sh --probe  exit 0 where this kernel runs i386 code
#   scripts/emulation/setup.sh --auto   set up if this kernel needs it (probes)
#   scripts/emulation/setup.sh --on     set up: the caller's probe found it needed
#   scripts/emulation/setup.sh --force  set up even where i386 code runs
#   scripts/emulation/setup.sh --off    remove the entry again
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest=/usr/local/lib/stats-i386-emulation
entry=/proc/sys/fs/binfmt_misc/stats-i386

mode=${1:---auto}

kernel_runs_i386() {
  # A program of three instructions that exits 0. Its ELF header's ABI version
  # byte is 1, which the kernel ignores and no binfmt entry here matches, so
  # the kernel itself runs it or refuses.
  local dir ok=0; dir=$(mktemp -d)
  printf '%s\n' 'void _start(void) { __asm__ volatile("mov $1, %eax\n\txor %ebx, %ebx\n\tint $0x80"); }' > "$dir/p.c"
  # Without a compiler for the probe, nothing is changed.
  gcc -m32 -nostdlib -static -o "$dir/p" "$dir/p.c" 2>/dev/null || { rm -rf "$dir"; return 0; }
  printf '\001' | dd of="$dir/p" bs=1 seek=8 conv=notrunc status=none
  "$dir/p" 2>/dev/null || ok=1
  rm -rf "$dir"
  return $ok
}

if [ "$mode" = --probe ]; then
  kernel_runs_i386
  exit
fi
[ -d /proc/sys/fs/binfmt_misc ] && [ -f /proc/sys/fs/binfmt_misc/register ] ||
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
if [ "$mode" = --off ]; then
  [ -e "$entry" ] && echo -1 > "$entry"
  exit 0
fi
if [ "$mode" = --auto ] && kernel_runs_i386; then
  # A forced entry from an earlier run stays until --off.
  exit 0
fi

# The mends and an empty x86_64 twin: the preload path names $LIB, so a 64-bit
# program that inherits the variable loads the twin and nothing else.
stamp=$dest/.built-$(sha256sum "$here/i386_mends.c" "$here/setup.sh" | sha256sum | cut -c1-16)
if [ ! -f "$stamp" ]; then
  rm -rf "$dest" && mkdir -p "$dest/lib/i386-linux-gnu" "$dest/lib/x86_64-linux-gnu"
  gcc -m32 -O2 -fPIC -shared -nostdlib -ffreestanding -fno-stack-protector \
    -o "$dest/lib/i386-linux-gnu/libi386mends.so" "$here/i386_mends.c"
  gcc -O2 -fPIC -shared -nostdlib -o "$dest/lib/x86_64-linux-gnu/libi386mends.so" -x c /dev/null
  cat > "$dest/qemu-i386" <<EOF
#!/bin/sh
exec /usr/bin/qemu-i386 -R 0xffff0000 -E 'LD_PRELOAD=$dest/\$LIB/libi386mends.so' "\$@"
EOF
  chmod 755 "$dest/qemu-i386"
  touch "$stamp"
fi

fresh=0
if [ ! -e "$entry" ]; then
  fresh=1
  # No flags; the magic and mask of an i386 ELF executable or shared object.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":stats-i386:M::$magic:$mask:$dest/qemu-i386:" > /proc/sys/fs/binfmt_misc/register
fi
[ "$(head -n1 "$entry")" = enabled ] || { echo 1 > "$entry"; fresh=1; }
[ $fresh = 1 ] || exit 0
if [ "$mode" = --force ]; then
  echo "i386 emulation: forced on; Wine's 32-bit side runs through qemu-i386 (scripts/emulation)"
else
  echo "i386 emulation: this kernel runs no i386 program; Wine's 32-bit side runs through qemu-i386 (scripts/emulation)"
fi
