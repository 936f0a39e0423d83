#!/usr/bin/env python3
"""Writes the document fixtures byte by byte, independently of the C++ writer.

Run from this folder: python3 make_fixtures.py
"""
import struct

DEFAULT_LAYERS = [  # index order, first on top
    ("hole", (0xFF, 0xFF, 0xFF), 1, 0),
    ("solder", (0xEB, 0x28, 0x28), 0, 0),
    ("component", (0x00, 0x80, 0x00), 0, 0),
    ("place_sol", (0x46, 0x5C, 0xAA), 0, 0),
    ("place_cmp", (0xFF, 0xB9, 0x00), 0, 0),
    ("stop_sol", (0xFF, 0x80, 0xC0), 0, 0),
    ("stop_cmp", (0xA6, 0xA6, 0xFF), 0, 0),
    ("dimension", (0x00, 0x00, 0x00), 0, 1),
    ("other", (0x80, 0x80, 0x80), 0, 0),
]


def i32(v):
    return struct.pack("<i", v)


def s8(text):
    b = text.encode("cp932")
    return i32(len(b)) + b


def header(version=3):
    return b"Vesk2.0\x00" + i32(version) + i32(16)


def layer_table(layers):
    out = i32(len(layers))
    for name, (r, g, b), mask, wire in reversed(layers):  # written last to first
        out += s8(name) + bytes([0xFF, r, g, b, mask, wire])
    return out


def common(name, matrix=(1, 0, 0, 1, 0, 0), width=1.0, cut=0, fill=0, join=2, cap=2,
           visible=1, locked=0, scale=1.0):
    return (bytes([0, visible, locked, 0]) + struct.pack("<d", scale) + struct.pack("<6f", *matrix)
            + s8(name) + struct.pack("<f", width) + bytes([cut, fill]) + i32(4) + i32(join) + i32(cap))


def path3(layer, anchors, closed=0, flags=None, **kw):
    """anchors: list of (anchor, out-control, in-control-of-next) triples."""
    pts = [p for triple in anchors for p in triple]
    flags = flags or [0x02] * len(pts)
    body = b"PATH" + s8(layer) + bytes([closed]) + i32(len(pts))
    for (x, y), f in zip(pts, flags):
        body += struct.pack("<ff", x, y) + bytes([f])
    return body + common(kw.pop("name", "Path"), **kw)


def path2(position, anchors, closed=0, smooth_curve=None, **kw):
    pts = [p for triple in anchors for p in triple]
    sc = smooth_curve or [(1, 0)] * len(pts)
    body = b"PATH" + i32(position) + bytes([closed]) + i32(len(pts))
    for (x, y), (s, c) in zip(pts, sc):
        body += struct.pack("<ff", x, y) + bytes([s, c])
    return body + common(kw.pop("name", "Path"), **kw)


def container(tag, children, name):
    return tag + i32(len(children)) + b"".join(children) + common(name)


def line(a, b):
    """A straight segment's triples: control points on the anchors."""
    return [(a, a, b), (b, b, a)]


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


# The empty document of a new editor.
write("empty.vbf", header() + layer_table(DEFAULT_LAYERS) + container(b"PART", [], "Part"))

# A small board: tracks, a closed filled pad, a curve, nested groups, names in
# Japanese, a layer the document adds, a locked and a hidden object.
curve = [((0, 0), (20, -15), (40, 15)), ((60, 0), (60, 0), (0, 0))]
square = [((0, 0), (0, 0), (20, 0)), ((20, 0), (20, 0), (20, 20)), ((20, 20), (20, 20), (0, 20)),
          ((0, 20), (0, 20), (0, 0))]
board_layers = DEFAULT_LAYERS + [("部品面", (0x12, 0x34, 0x56), 0, 0)]
board = container(b"PART", [
    path3("solder", line((0, 0), (100, 0)), matrix=(1, 0, 0, 1, 100, 50), width=7.5, name="配線"),
    path3("component", curve, flags=[0x06, 0x04, 0x04, 0x06, 0x04, 0x04], matrix=(0, 1, -1, 0, 300, 80),
          width=3.0, join=1, cap=1),
    path3("solder", square, closed=1, matrix=(1, 0, 0, 1, 200, 200), width=0.0, fill=1, name="パッド"),
    container(b"GRUP", [
        path3("hole", line((0, 0), (0, 0)), matrix=(1, 0, 0, 1, 210, 210), width=8.0, cut=1),
        container(b"GRUP", [
            path3("部品面", line((0, 0), (50, 50)), width=2.0, locked=1),
            path3("dimension", square, closed=1, matrix=(10, 0, 0, 10, 0, 0), width=1.0, visible=0),
        ], "Group"),
    ], "Group"),
], "Part")
write("board.vbf", header() + layer_table(board_layers) + board)

# Version 2 refers to layers by 1-based position and stores smooth and curve
# as two bytes; position 99 names no layer and falls back to the current one,
# which after reading the table is index 0.
v2_root = container(b"PART", [
    path2(2, line((0, 0), (10, 0)), matrix=(1, 0, 0, 1, 100, 50), width=7.5),
    container(b"GRUP", [
        path2(99, line((0, 0), (0, 10)), smooth_curve=[(0, 1), (1, 1), (0, 0), (1, 0), (0, 0), (0, 0)]),
    ], "Group"),
], "Part")
write("version2.vbf", header(2) + layer_table(DEFAULT_LAYERS) + v2_root)
v3_root = container(b"PART", [
    path3("solder", line((0, 0), (10, 0)), matrix=(1, 0, 0, 1, 100, 50), width=7.5),
    container(b"GRUP", [
        path3("hole", line((0, 0), (0, 10)), flags=[0x04, 0x06, 0x00, 0x02, 0x00, 0x00]),
    ], "Group"),
], "Part")
write("version2-as-3.vbf", header(3) + layer_table(DEFAULT_LAYERS) + v3_root)
