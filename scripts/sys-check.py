#!/usr/bin/env python3
"""Holds a kernel driver (.sys) to what the NT 4 and 2000 loaders take:
i386 PE32, executable with its relocations (the kernel never loads a driver
at its base), subsystem native (1) version 4.0, OS version 4.0, base
relocations well formed, the image checksum correct (the loader verifies it
for drivers), the entry point inside code, no exports, and every import
from ntoskrnl.exe or hal.dll with a row in scripts/win-exports.tsv that says
it is there on NT 4 and 2000: the row's verdict for the system is a plain Y
(a Y? is recalled, not confirmed, and counts as absent), and its note names
the version the export appears in ("since 4.0 or earlier", "since 5.0") and
the public source that says so (a URL).

    sys-check.py DRIVER.sys...

One line per check; exit status 1 on any failure."""
import re
import struct
import sys
from pathlib import Path

TABLE = Path(__file__).with_name("win-exports.tsv")
KERNEL_DLLS = {"ntoskrnl.exe": "NTOSKRNL", "hal.dll": "HAL"}
SYSTEMS = (("nt4", (4, 0)), ("2000", (5, 0)))


def present(verdict: str, note: str, version) -> str:
    """Why the export is missing on the system of `version`, or "" when the
    row shows it there: a plain Y, a "since" version not above the system's,
    and a cited source."""
    since = re.search(r"\bsince (\d+)\.(\d+)", note)
    if verdict != "Y":
        return "unconfirmed (" + verdict + ")" if verdict.startswith("Y") else "not exported"
    if not since:
        return "no first version in the note"
    if not re.search(r"https?://\S+", note):
        return "no source cited"
    if (int(since.group(1)), int(since.group(2))) > version:
        return f"exported only since {since.group(1)}.{since.group(2)}"
    return ""


def pe_checksum(data: bytes, field: int) -> int:
    """CheckSumMappedFile's sum: the file as little-endian 16-bit words with
    the checksum field zeroed, the carry folded back in, plus its length."""
    buf = bytearray(data)
    buf[field:field + 4] = bytes(4)
    if len(buf) & 1:
        buf += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", buf):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


class Image:
    def __init__(self, data: bytes):
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if pe + 24 > len(data) or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.data = data
        (self.machine, nsections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        o = pe + 24
        if opt_size < 96 + 16 * 8 or o + opt_size > len(data):
            raise ValueError(f"optional header of {opt_size} bytes")
        self.magic, = struct.unpack_from("<H", data, o)
        self.entry, = struct.unpack_from("<I", data, o + 16)
        self.os_version = struct.unpack_from("<HH", data, o + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, o + 48)
        self.checksum_field = o + 64
        self.checksum, self.subsystem = struct.unpack_from("<IH", data, o + 64)
        self.dirs = [struct.unpack_from("<II", data, o + 96 + 8 * i) for i in range(16)]
        s = o + opt_size
        if s + 40 * nsections > len(data):
            raise ValueError("section table past the end of the file")
        self.sections = []  # name, rva, virtual size, file offset, file size, flags
        for i in range(nsections):
            name, vsize, rva, rsize, rptr = struct.unpack_from("<8sIIII", data, s + 40 * i)
            flags, = struct.unpack_from("<I", data, s + 40 * i + 36)
            self.sections.append((name.rstrip(b"\0").decode(errors="replace"), rva, vsize, rptr, rsize, flags))

    def section_of(self, rva):
        return next((s for s in self.sections if s[1] <= rva < s[1] + max(s[2], s[4])), None)

    def at(self, rva, size):
        s = self.section_of(rva)
        if s is None or rva - s[1] + size > s[4]:
            raise ValueError(f"RVA {rva:#x} (+{size}) is outside the file's sections")
        return self.data[s[3] + rva - s[1]:s[3] + rva - s[1] + size]

    def cstring(self, rva):
        s = self.section_of(rva)
        if s is None:
            raise ValueError(f"RVA {rva:#x} is in no section")
        raw = self.data[s[3] + rva - s[1]:s[3] + s[4]]
        if b"\0" not in raw:
            raise ValueError(f"unterminated name at {rva:#x}")
        return raw[:raw.index(b"\0")].decode()

    def imports(self):
        rva, result = self.dirs[1][0], []
        while rva:
            names, _, _, dll_rva, thunks = struct.unpack_from("<IIIII", self.at(rva, 20))
            if dll_rva == 0:
                break
            table, dll = names or thunks, self.cstring(dll_rva)
            while (entry := struct.unpack_from("<I", self.at(table, 4))[0]) != 0:
                result.append((dll, f"#{entry & 0xFFFF}" if entry & 0x80000000 else self.cstring(entry + 2)))
                table += 4
            rva += 20
        return result

    def relocation_count(self):
        """HIGHLOW entries; raises on a malformed table or another type."""
        rva, size = self.dirs[5]
        raw, pos, count = (self.at(rva, size) if size else b""), 0, 0
        while pos < len(raw):
            page, block = struct.unpack_from("<II", raw, pos)
            if block < 8 or block % 2 or pos + block > len(raw):
                raise ValueError(f"bad block at {pos:#x}")
            for (e,) in struct.iter_unpack("<H", raw[pos + 8:pos + block]):
                if e >> 12 not in (0, 3):  # ABSOLUTE padding, HIGHLOW
                    raise ValueError(f"type {e >> 12} in the block of page {page:#x}")
                count += e >> 12 == 3
            pos += block
        return count


def load_table():
    """(DLL, function) -> (NT4, WIN2000 verdicts, note) for the kernel rows."""
    table = {}
    for line in TABLE.read_text().splitlines():
        cols = line.split("\t")
        if not line.startswith("#") and len(cols) >= 5 and cols[0] in KERNEL_DLLS.values():
            table[(cols[0], cols[1])] = (cols[3], cols[4], cols[5] if len(cols) > 5 else "")
    return table


def check_driver(path: Path, table) -> int:
    failures = 0

    def check(ok, text):
        nonlocal failures
        print(f"{path.name}: " + ("ok    " if ok else "FAIL  ") + text)
        failures += not ok

    try:
        img = Image(path.read_bytes())
    except (OSError, ValueError, struct.error) as e:
        check(False, f"not a readable PE image: {e}")
        return failures
    check(img.machine == 0x14C and img.magic == 0x10B, f"i386 PE32 (machine {img.machine:#x}, magic {img.magic:#x})")
    check(img.characteristics & 0x0002 and not img.characteristics & 0x2001,
          f"characteristics {img.characteristics:#06x}: executable, relocations kept, not a DLL")
    check(img.subsystem == 1, f"subsystem {img.subsystem} (native is 1)")
    check(img.subsystem_version == (4, 0), "subsystem version %d.%d (4.0)" % img.subsystem_version)
    check(img.os_version == (4, 0), "OS version %d.%d (4.0)" % img.os_version)
    try:
        count = img.relocation_count()
        check(count > 0, f"base relocations: {count} HIGHLOW entries")
        imports = img.imports()
    except (ValueError, struct.error) as e:
        check(False, f"relocations or imports unreadable: {e}")
        return failures
    expected = pe_checksum(img.data, img.checksum_field)
    check(img.checksum == expected, f"checksum {img.checksum:#010x} (computed {expected:#010x})")
    code = img.section_of(img.entry)
    check(img.entry != 0 and code is not None and code[5] & 0x20000000, f"entry point {img.entry:#x} in code")
    check(img.dirs[0] == (0, 0), "no export table")
    bad = 0
    for dll, name in imports:
        key = (KERNEL_DLLS.get(dll.lower()), name)
        if key[0] is None:
            print(f"{path.name}: FAIL  {dll}!{name}: a driver imports from ntoskrnl.exe and hal.dll only")
            bad += 1
        elif key not in table:
            print(f"{path.name}: FAIL  {dll}!{name} is not in win-exports.tsv: counts as missing on nt4, 2000")
            bad += 1
        else:
            nt4, w2k, note = table[key]
            for (system, version), verdict in zip(SYSTEMS, (nt4, w2k)):
                why = present(verdict, note, version)
                if why:
                    print(f"{path.name}: FAIL  {dll}!{name} missing on {system}: {why} ({note})")
                    bad += 1
    check(bad == 0 and len(imports) > 0,
          f"{len(imports)} imports checked against NT 4 and 2000's kernel and HAL, each with its source")
    return failures + bad


def main(argv):
    if not argv:
        print(__doc__)
        return 2
    table = load_table()
    failures = sum(check_driver(Path(a), table) for a in argv)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
