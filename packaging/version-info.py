#!/usr/bin/env python3
"""Prints the version resource of a Windows program as Explorer's Details tab reads it.

Usage: version-info.py FILE.exe
Prints "FixedFileVersion a.b.c.d", "FixedProductVersion a.b.c.d" and one "Key=Value" line per
string of the StringFileInfo tables; exits 1 when the file has no version resource. Reads the PE
file itself, so that packaging on Linux can check the shipped exe without Wine.
"""
import struct
import sys

RT_VERSION = 16


def resource_section(pe):
    """Bytes of the resource section and its relative virtual address."""
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    if pe[header:header + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", pe, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", pe, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rva, size = struct.unpack_from("<II", pe, directories + 2 * 8)
    table = optional + optional_size
    for i in range(sections):
        _, virtual_size, address, raw_size, raw = struct.unpack_from("<8sIIII", pe, table + 40 * i)
        if address <= rva < address + max(virtual_size, raw_size):
            start = raw + rva - address
            return pe[start:start + size], rva
    raise ValueError("no resource section")


def find_resource(rsrc, base, type_id):
    """Data of the first resource of TYPE_ID, whatever its name and language."""
    def entries(offset):
        named, ids = struct.unpack_from("<HH", rsrc, offset + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", rsrc, offset + 16 + 8 * i)

    for ident, target in entries(0):
        if ident == type_id and target & 0x80000000:
            offset = target & 0x7FFFFFFF
            while True:  # first name, then first language, down to the data entry
                _, target = next(entries(offset))
                if not target & 0x80000000:
                    rva, size = struct.unpack_from("<II", rsrc, target)
                    return rsrc[rva - base:rva - base + size]
                offset = target & 0x7FFFFFFF
    return None


def blocks(data, offset, end):
    """(key, value, children_offset, block_end) of each version block in [offset, end)."""
    while offset + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            return
        key_end = offset + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[offset + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        value = data[value_start:value_start + value_bytes]
        children = (value_start + value_bytes + 3) & ~3
        yield key, kind, value, children, offset + length
        offset = (offset + length + 3) & ~3


def version(ms, ls):
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def main():
    with open(sys.argv[1], "rb") as f:
        pe = f.read()
    rsrc, base = resource_section(pe)
    data = find_resource(rsrc, base, RT_VERSION)
    if data is None:
        print("no version resource", file=sys.stderr)
        return 1
    for key, _, value, children, end in blocks(data, 0, len(data)):
        if key != "VS_VERSION_INFO":
            continue
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
        if signature == 0xFEEF04BD:
            print("FixedFileVersion", version(file_ms, file_ls))
            print("FixedProductVersion", version(product_ms, product_ls))
        for info, _, _, tables, info_end in blocks(data, children, end):
            if info != "StringFileInfo":
                continue
            for _, _, _, strings, table_end in blocks(data, tables, info_end):
                for name, kind, text, _, _ in blocks(data, strings, table_end):
                    print(f"{name}={text.decode('utf-16-le').rstrip(chr(0))}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
