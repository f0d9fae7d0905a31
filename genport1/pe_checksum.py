#!/usr/bin/env python3
"""Writes the PE image checksum into a driver file: the kernel checks it at load."""
import struct
import sys


def checksum(data, field):
    total = 0
    padded = data + b"\0" * (len(data) & 1)
    for i in range(0, len(padded), 2):
        if i == field or i == field + 2:
            continue
        total += struct.unpack_from("<H", padded, i)[0]
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    field = pe + 4 + 20 + 64  # signature, file header, then CheckSum in the optional header
    struct.pack_into("<I", data, field, 0)
    struct.pack_into("<I", data, field, checksum(bytes(data), field))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
