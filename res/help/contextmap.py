#!/usr/bin/env python3
"""Completes the help file that halibut writes, in place: a |CTXOMAP that maps the
context numbers the program asks for to their topics (halibut writes it empty),
and in |SYSTEM a window named "main", so that the viewer's caption is the help's
own title, and the French name of halibut's "Up" button. Both are appended as
new internal files; the file's directory is pointed at them.
Usage: contextmap.py FILE.HLP TOPIC=NUMBER...
"""
import struct
import sys


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def leaf_entries(data, tree, key_size):
    """(key, position of its 4-byte value) for every entry of a B+ tree's leaves;
    key_size None: zero-ended names."""
    if u16(data, tree + 9) != 0x293B:
        sys.exit(f"contextmap: no B+ tree at {tree:#x}")
    page_size, page, levels = u16(data, tree + 13), u16(data, tree + 35), u16(data, tree + 41)
    pages = tree + 9 + 38
    for _ in range(levels - 1):   # down the first pointers to the first leaf
        page = u16(data, pages + page * page_size + 4)
    while page != 0xFFFF:
        at = pages + page * page_size
        count, at, page = struct.unpack_from("<h", data, at + 2)[0], at + 8, u16(data, at + 6)
        for _ in range(count):
            if key_size is None:
                end = data.index(b"\0", at)
                key, at = data[at:end].decode("cp1252"), end + 1
            else:
                key, at = struct.unpack_from("<i", data, at)[0], at + key_size
            yield key, at
            at += 4


def topic_hash(name):
    """The help engine's hash of a topic name, as its |CONTEXT keys hold it."""
    value = 0
    for c in name:
        if c.isascii() and c.isalpha():
            x = ord(c.upper()) - ord("A") + 17
        elif c in "123456789":
            x = ord(c) - ord("0")
        else:
            x = {"0": 10, ".": 12, "_": 13}.get(c, 0)
        if x:
            value = (value * 43 + x) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def main(path, pairs):
    data = bytearray(open(path, "rb").read())
    if len(data) < 16 or u32(data, 0) != 0x00035F3F or u32(data, 12) != len(data):
        sys.exit(f"contextmap: {path} is not a whole help file")
    directory = dict(leaf_entries(data, u32(data, 4), None))
    for needed in ("|CONTEXT", "|CTXOMAP", "|SYSTEM"):
        if needed not in directory:
            sys.exit(f"contextmap: {path} has no {needed}")
    offsets = {h: u32(data, at) for h, at in leaf_entries(data, u32(data, directory["|CONTEXT"]), 4)}

    ctxomap = struct.pack("<H", len(pairs))
    for topic, number in pairs:
        offset = offsets.get(topic_hash(topic))
        if offset is None:
            sys.exit(f"contextmap: {path} has no topic named {topic!r}")
        ctxomap += struct.pack("<iI", number, offset)

    system = u32(data, directory["|SYSTEM"])
    old = data[system + 9:system + 9 + u32(data, system + 4)]
    system_data, at = old[:12], 12   # the header, then records of a kind, a size and data
    while at + 4 <= len(old):
        kind, size = struct.unpack_from("<HH", old, at)
        record = old[at + 4:at + 4 + size]
        if kind == 4:   # a macro run at opening: halibut's button, named in English
            record = record.replace(b'"&Up"', b'"&Haut"')
        system_data += struct.pack("<HH", kind, len(record)) + record
        at += 4 + size
    main_window = struct.pack("<H10s9s51s", 0x0002, b"", b"main", b"").ljust(90, b"\0")
    system_data += struct.pack("<HH", 6, len(main_window)) + main_window

    for name, content in (("|CTXOMAP", ctxomap), ("|SYSTEM", system_data)):
        struct.pack_into("<I", data, directory[name], len(data))
        data += struct.pack("<IIB", 9 + len(content), len(content), 0) + content
    struct.pack_into("<I", data, 12, len(data))
    open(path, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1], [(a.split("=")[0], int(a.split("=")[1], 0)) for a in sys.argv[2:]])
