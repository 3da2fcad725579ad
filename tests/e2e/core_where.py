#!/usr/bin/env python3
"""Says where each thread of a crashed emulated Wine process was: the guest core
that qemu-user writes (qemu_*.core) holds every thread's registers and the
process's memory, in which the Windows modules can be found by their headers.

    core_where.py CORE

For each thread: its instruction pointer as module+offset, then the return
addresses found on its stack that fall into Windows modules, innermost first.
"""
import struct
import sys

PT_LOAD, PT_NOTE, PT_DYNAMIC = 1, 4, 2
NT_PRSTATUS = 1
EIP, ESP = 12, 15  # in i386 user_regs_struct
STACK_WORDS = 4096
FRAMES = 12


class Core:
    def __init__(self, data):
        self.data = data
        if data[:4] != b"\x7fELF" or data[4] != 1:
            raise ValueError("not a 32-bit ELF core")
        phoff, = struct.unpack_from("<I", data, 28)
        phentsize, phnum = struct.unpack_from("<HH", data, 42)
        self.loads, self.notes = [], []
        for i in range(phnum):
            p_type, off, vaddr, _, filesz, _, _, _ = struct.unpack_from("<8I", data, phoff + i * phentsize)
            if p_type == PT_LOAD and filesz:
                self.loads.append((vaddr, off, filesz))
            elif p_type == PT_NOTE:
                self.notes.append((off, filesz))
        self.loads.sort()

    def read(self, addr, n):
        for vaddr, off, size in self.loads:
            if vaddr <= addr and addr + n <= vaddr + size:
                return self.data[off + addr - vaddr: off + addr - vaddr + n]
        return None

    def u32(self, addr):
        b = self.read(addr, 4)
        return struct.unpack("<I", b)[0] if b else None

    def cstr(self, addr, limit=128):
        b = self.read(addr, 1)
        out = b""
        while b and b != b"\0" and len(out) < limit:
            out += b
            addr += 1
            b = self.read(addr, 1)
        return out.decode("latin-1")

    def threads(self):
        for off, size in self.notes:
            pos = off
            while pos + 12 <= off + size:
                namesz, descsz, kind = struct.unpack_from("<3I", self.data, pos)
                desc = pos + 12 + (namesz + 3 & ~3)
                if kind == NT_PRSTATUS:
                    pid, = struct.unpack_from("<I", self.data, desc + 24)
                    regs = struct.unpack_from("<17I", self.data, desc + 72)
                    yield pid, regs
                pos = desc + (descsz + 3 & ~3)


def pe_module(core, addr, cache):
    """(name, base) of the Windows module whose image holds addr, or None."""
    base = addr & ~0xFFFF
    for _ in range(512):  # images start on 64 KB; none here is over 32 MB
        if base in cache:
            found = cache[base]
        else:
            found = None
            if core.read(base, 2) == b"MZ":
                lfanew = core.u32(base + 0x3C)
                if lfanew is not None and lfanew < 0x1000 and core.read(base + lfanew, 4) == b"PE\0\0":
                    size = core.u32(base + lfanew + 24 + 56)
                    export_rva = core.u32(base + lfanew + 24 + 96)
                    name = "?"
                    if export_rva:
                        name_rva = core.u32(base + export_rva + 12)
                        if name_rva:
                            name = core.cstr(base + name_rva)
                    found = (name, base, size or 0)
            cache[base] = found
        if found:
            name, start, size = found
            return (name, start) if addr < start + size else None
        if base < 0x10000:
            return None
        base -= 0x10000
    return None


def elf_object(core, addr):
    """The soname of the Unix library whose first page lies nearest below addr."""
    base = addr & ~0xFFF
    for _ in range(16384):  # 64 MB
        if core.read(base, 4) == b"\x7fELF":
            phoff, = struct.unpack_from("<I", core.read(base + 28, 4))
            phnum, = struct.unpack_from("<H", core.read(base + 44, 2))
            for i in range(min(phnum, 32)):
                ph = core.read(base + phoff + 32 * i, 32)
                if not ph or struct.unpack_from("<I", ph)[0] != PT_DYNAMIC:
                    continue
                dyn = base + struct.unpack_from("<I", ph, 8)[0]
                tags = {}
                for j in range(256):
                    entry = core.read(dyn + 8 * j, 8)
                    if not entry or entry[:4] == b"\0\0\0\0":
                        break
                    tag, value = struct.unpack("<2I", entry)
                    tags[tag] = value
                if 5 in tags and 14 in tags:  # DT_STRTAB, DT_SONAME
                    strtab = tags[5] if tags[5] >= base else base + tags[5]
                    return core.cstr(strtab + tags[14])
            return "the Unix program"
        if base < 0x1000:
            break
        base -= 0x1000
    return "no known image"


def where(core, addr, cache):
    m = pe_module(core, addr, cache)
    if m:
        name = m[0] if m[0] != "?" else f"image@0x{m[1]:08x}"
        return f"{name}+0x{addr - m[1]:x}"
    return f"0x{addr:08x} in {elf_object(core, addr)}"


def main():
    with open(sys.argv[1], "rb") as f:
        core = Core(f.read())
    cache = {}
    for tid, regs in core.threads():
        print(f"thread {tid}: at {where(core, regs[EIP], cache)}")
        frames, sp = 0, regs[ESP]
        for i in range(STACK_WORDS):
            word = core.u32(sp + 4 * i)
            if word is None or frames >= FRAMES:
                break
            if word > 0x10000 and pe_module(core, word, cache):
                print(f"    <- {where(core, word, cache)}")
                frames += 1


if __name__ == "__main__":
    main()
