#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk) starts: "target=...", "workdir=..." and "arguments=...".

The target comes from the shortcut's LinkInfo (local path), the way Explorer resolves a link on
the machine that made it; the working folder and arguments from its string data.
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 0x10, 0x20, 0x40, 0x80


def c_string(data, offset, unicode):
    if unicode:
        end = offset
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[offset:end].decode("utf-16-le")
    return data[offset:data.index(b"\0", offset)].decode("cp1252")


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        print("not a shortcut", file=sys.stderr)
        return 1
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & HAS_ID_LIST:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, header_size, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, offset)
        if info_flags & 1:  # VolumeIDAndLocalBasePath
            if header_size >= 0x24:
                base_unicode, suffix_unicode = struct.unpack_from("<II", data, offset + 28)
                target = c_string(data, offset + base_unicode, True) + c_string(data, offset + suffix_unicode, True)
            else:
                target = c_string(data, offset + base, False) + c_string(data, offset + suffix, False)
        offset += size
    strings = {}
    width = 2 if flags & IS_UNICODE else 1
    for flag, name in ((HAS_NAME, "name"), (HAS_RELATIVE_PATH, "relative"), (HAS_WORKING_DIR, "workdir"),
                       (HAS_ARGUMENTS, "arguments"), (HAS_ICON_LOCATION, "icon")):
        if flags & flag:
            count = struct.unpack_from("<H", data, offset)[0]
            raw = data[offset + 2:offset + 2 + count * width]
            # Wine counts the terminating NUL as a character of the string; Windows does not.
            strings[name] = raw.decode("utf-16-le" if width == 2 else "cp1252").rstrip("\0")
            offset += 2 + count * width
    print(f"target={target}")
    print(f"workdir={strings.get('workdir', '')}")
    print(f"arguments={strings.get('arguments', '')}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
