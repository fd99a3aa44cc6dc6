#!/usr/bin/env python3
"""Writes encrypted.docx: a compound file in the shape of an encrypted OOXML
package (streams EncryptionInfo and EncryptedPackage, contents made up).
LibreOffice 7.4 hangs when asked to store a .docx with a password through
its API, so this container is written by hand."""
import struct
import sys

SECTOR = 512
FREE, END, FAT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD


def entry(name, kind, start, size, child=0xFFFFFFFF, right=0xFFFFFFFF):
    raw = name.encode("utf-16-le") + b"\0\0"
    return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw), kind, 1)
            + struct.pack("<III", 0xFFFFFFFF, right, child) + bytes(16 + 4 + 16)
            + struct.pack("<IQ", start, size))


# Both streams are kept at 4096 bytes or more, so they lie in ordinary
# sectors and the file needs no mini stream.
info = (b"\x04\x00\x04\x00\x40\x00\x00\x00" + b"<?xml version=\"1.0\"?><encryption/>").ljust(4096, b"\0")
package = struct.pack("<Q", 5000) + bytes((i * 37) & 0xFF for i in range(4096))
package = package.ljust(-(-len(package) // SECTOR) * SECTOR, b"\0")
info_sectors, package_sectors = len(info) // SECTOR, len(package) // SECTOR
first_info, first_package = 2, 2 + info_sectors

table = [FAT, END]
table += [first_info + i + 1 for i in range(info_sectors - 1)] + [END]
table += [first_package + i + 1 for i in range(package_sectors - 1)] + [END]
table += [FREE] * (SECTOR // 4 - len(table))

directory = (entry("Root Entry", 5, END, 0, child=1)
             + entry("EncryptionInfo", 2, first_info, len(info), right=2)
             + entry("EncryptedPackage", 2, first_package, 4104)).ljust(SECTOR, b"\0")

header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(16)
          + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
          + struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, END, 0, END, 0)
          + struct.pack("<I", 0) + struct.pack("<I", FREE) * 108)
assert len(header) == SECTOR

with open(sys.argv[1] if len(sys.argv) > 1 else "encrypted.docx", "wb") as out:
    out.write(header + struct.pack("<%dI" % len(table), *table) + directory + info + package)
