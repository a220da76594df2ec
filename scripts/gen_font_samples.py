#!/usr/bin/env python3
"""Writes the project's own sample font files: one or more valid files of each format the font loaders read.
They serve as test inputs (tests/data/fonts/gen/) and as the seed corpora of the font fuzz targets
(fuzz/corpus/font_<driver>/). Glyphs are drawn below as pictures ('#' set, '.' clear).

usage: scripts/gen_font_samples.py
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
VGA_DUMP = ROOT / "tests" / "data" / "fonts" / "ibm-vga-8x16.raw"
TESTS = ROOT / "tests" / "data" / "fonts" / "gen"
CORPUS = ROOT / "fuzz" / "corpus"

# Proportional pictures, used by the native, text, and Windows samples: widths 3, 10 and 1, height 6.
PROP = {
    ord("a"): ["###", "#.#", "#.#", "###", "#..", "#.."],
    ord("b"): ["#########.", "#........#", "#.######.#", "#.#....#.#", "#........#", ".########."],
    ord("c"): ["#", ".", "#", ".", "#", "."],
}
PROP_BASELINE = 4


def vga_glyphs():
    data = VGA_DUMP.read_bytes()
    return [data[16 * c:16 * c + 16] for c in range(256)]


def rows_of(picture):
    """Packs a picture into rows of ceil(width / 8) bytes, most significant bit leftmost."""
    width = len(picture[0])
    out = bytearray()
    for row in picture:
        assert len(row) == width
        bits = 0
        for ch in row:
            bits = (bits << 1) | (ch == "#")
        pad = (width + 7) // 8 * 8 - width
        out += (bits << pad).to_bytes((width + 7) // 8, "big")
    return bytes(out)


def fixed16(text):
    return text.encode("ascii").ljust(16, b"\0")[:16]


def native(name, family, width, height, minchar, glyphs, widths=None, baseline=12, ulheight=1):
    """The library's own .fnt: 56-byte header, widths when proportional, glyph rows."""
    maxchar = minchar + len(glyphs) - 1
    bitmap = b"".join(glyphs)
    head = struct.pack("<IIHHHHHHHH", 0x19590214, len(bitmap), width, height, minchar, maxchar,
                       0 if widths else 1, 0, baseline, ulheight)
    table = struct.pack(f"<{len(widths)}H", *widths) if widths else b""
    return head + fixed16(name) + fixed16(family) + table + bitmap


def fna(name, family, fixed, width, height, baseline, pictures, extra=""):
    codes = sorted(pictures)
    lines = ["; sample text font", f"name {name}", f"family {family}", f"isfixed {fixed}", f"width {width}",
             f"height {height}", f"minchar {codes[0]}", f"maxchar {codes[-1]}", f"baseline {baseline}",
             "note drawn for the loader tests"]
    if extra:
        lines.append(extra)
    for code in codes:
        lines.append("")
        lines += pictures[code]
    return ("\n".join(lines) + "\n").encode("ascii")


def bgi(name, first, cap, descender, glyphs):
    """BGI stroke font. glyphs: list of (advance, strokes) with strokes as ('m' | 'd', x, y)."""
    def word(op, x, y):
        bx = (x & 0x7F) | (0x80 if op in "md" else 0)
        by = (y & 0x7F) | (0x80 if op == "d" else 0)
        return bytes([bx, by])
    strokes = bytearray()
    offsets = []
    for _, moves in glyphs:
        offsets.append(len(strokes))
        for op, x, y in moves:
            strokes += word(op, x, y)
        strokes += b"\0\0"
    return bgi_file(name, first, cap, descender, offsets, [advance for advance, _ in glyphs], bytes(strokes))


def bgi_file(name, first, cap, descender, offsets, advances, strokes):
    count = len(offsets)
    tables = struct.pack(f"<{count}H", *offsets) + bytes(advances)
    font_header = b"+" + struct.pack("<HBBHBbbb", count, 0, first, 16 + len(tables), 0, cap, 0, descender) + bytes(5)
    file_header = b"PK\x08\x08BGI sample font\x1a" + struct.pack("<H", 0x80) + name.encode("ascii")[:4]
    file_header += struct.pack("<HBBBB", len(font_header) + len(tables) + len(strokes), 1, 0, 1, 0)
    return file_header.ljust(0x80, b"\0") + font_header + tables + strokes


def columns_of(picture):
    """A Windows glyph: for each 8-pixel column, one byte per row."""
    width, rows = len(picture[0]), rows_of(picture)
    pitch = (width + 7) // 8
    return b"".join(bytes(rows[r * pitch + c] for r in range(len(picture))) for c in range(pitch))


def win(face, pictures, first, height, ascent, pixwidth, version=0x0200, family=0x30, resource=False):
    """Windows raster font (.fnt) with a face name; optionally behind the 16-byte resource header."""
    codes = list(range(first, first + len(pictures)))
    table_at, entry = (118, 4) if version == 0x0200 else (148, 6)
    face_at = table_at + entry * (len(codes) + 1)
    bits_at = face_at + len(face) + 1
    glyphs, offsets = b"", []
    for pic in pictures:
        offsets.append(bits_at + len(glyphs))
        glyphs += columns_of(pic)
    offsets.append(offsets[-1])  # the entry after the last character shares its glyph
    widths = [len(p[0]) for p in pictures + [pictures[-1]]]
    size = bits_at + len(glyphs)
    head = struct.pack("<HI60sHHHHHHHBBBHBHHBHHBBBBHIIII", version, size, b"sample font for the loader tests", 0, 12,
                       96, 96, ascent, 0, 0, 0, 0, 0, 400, 0, pixwidth, height, family,
                       pixwidth or sum(widths) // len(widths), max(widths), first, codes[-1], first, 32,
                       (max(widths) + 7) // 8 * 2, 0, face_at, 0, bits_at) + b"\0"
    if version == 0x0300:
        head += struct.pack("<IHHHI16s", 0x12 if pixwidth == 0 else 0x11, 0, 0, 0, 0, b"")
    assert len(head) == table_at
    fmt = "<HH" if version == 0x0200 else "<HI"
    table = b"".join(struct.pack(fmt, w, o) for w, o in zip(widths, offsets))
    font = head + table + face.encode("ascii") + b"\0" + glyphs
    if resource:
        font = b"\xff\x08\x00" + b"\0" * 13 + font
    return font


def samples():
    vga = vga_glyphs()
    prop_codes = sorted(PROP)
    prop_pics = [PROP[c] for c in prop_codes]
    out = {}
    out["native/vga-ascii.fnt"] = native("vgaascii", "vga", 8, 16, 32, vga[32:127], baseline=11)
    out["native/prop.fnt"] = native("propsample", "prop", 4, 6, prop_codes[0], [rows_of(p) for p in prop_pics],
                                    widths=[len(p[0]) for p in prop_pics], baseline=PROP_BASELINE, ulheight=1)
    out["fna/prop.fna"] = fna("Proportional sample", "prop", 0, 4, 6, PROP_BASELINE, PROP)
    out["fna/fixed.fna"] = fna("fixed3", "fix", 1, 3, 6, PROP_BASELINE, {ord("a"): PROP[ord("a")]},
                               extra="undwidth 2")
    # A box and a diagonal: advance 6, cap 4 above the baseline, descender 2 below it.
    out["bgi/box.chr"] = bgi("SAMP", 65, 4, -2, [
        (6, [("m", 0, 0), ("d", 5, 0), ("d", 5, 4), ("d", 0, 4), ("d", 0, 0)]),
        (4, [("m", 0, -2), ("d", 3, 4)]),
    ])
    out["win/vga-v2.res"] = win("", [[format(b, "08b").replace("1", "#").replace("0", ".") for b in g]
                                     for g in vga[64:68]], 64, 16, 12, 8, resource=True)
    out["win/prop-v3.fnt"] = win("Prop Sample", prop_pics, prop_codes[0], 6, PROP_BASELINE, 0, version=0x0300,
                                 family=0x20)
    out["raw/vga.psf"] = bytes([0x36, 0x04, 0x00, 16]) + b"".join(vga)
    out["raw/prop2.psf"] = struct.pack("<4sIIIIIII", b"\x72\xb5\x4a\x86", 0, 32, 0, 2, 12, 6, 10) + \
        rows_of(PROP[ord("b")]) + rows_of([r[::-1] for r in PROP[ord("b")]])
    out["raw/vga8x8.raw"] = b"".join(g[4:12] for g in vga)
    return out


def hostile():
    """Files whose headers lie about sizes and counts; a loader that trusted them would read past the end, allocate
    gigabytes or loop for long. Named <driver>-<what>; the loader of that driver must refuse each one."""
    out = {}
    psf2 = struct.pack("<4sIIIIIII", b"\x72\xb5\x4a\x86", 0, 32, 0, 0xFFFFFFFF, 0, 4096, 4096)
    out["raw-psf2-huge-glyphs.psf"] = psf2 + b"\xaa" * 32
    psf2 = struct.pack("<4sIIIIIII", b"\x72\xb5\x4a\x86", 0, 32, 0, 0xFFFFFFFF, 1, 1, 1)
    out["raw-psf2-huge-count.psf"] = psf2 + b"\xaa" * 32
    psf2 = struct.pack("<4sIIIIIII", b"\x72\xb5\x4a\x86", 0, 0xFFFFFF00, 0, 1, 2, 2, 8)
    out["raw-psf2-offset-past-end.psf"] = psf2 + b"\xaa" * 2
    head = struct.pack("<IIHHHHHHHH", 0x19590214, 0, 0xFFFF, 0xFFFF, 0, 0xFFFF, 1, 0, 0, 0)
    out["native-huge-glyphs.fnt"] = head + fixed16("big") + fixed16("big")
    out["fna-count-beyond-lines.fna"] = b"name x\nfamily x\nisfixed 1\nwidth 1\nheight 1000\nminchar 0\n" \
        b"maxchar 65535\nbaseline 0\n#\n"
    out["fna-huge-width.fna"] = b"name x\nfamily x\nisfixed 1\nwidth 99999999\nheight 1\nminchar 0\n" \
        b"maxchar 0\nbaseline 0\n#\n"
    # The last character's stroke list runs to the end of the file without an end marker.
    box = bgi("LOOP", 0, 4, -2, [(6, [("m", 0, 0)] * 8)] * 200)
    out["bgi-unterminated-strokes.chr"] = box[:-2] + b"\x81\x01" * 20000
    # 3000 characters all share one list of 1000 strokes: three million stroke steps for 4 KB of strokes.
    out["bgi-shared-stroke-list.chr"] = bgi_file("SHAR", 0, 4, -2, [0] * 3000, [6] * 3000,
                                                 b"\x81\x81" * 1000 + b"\0\0")
    return out


def main():
    for rel, data in samples().items():
        driver, name = rel.split("/")
        for target in (TESTS / name, CORPUS / f"font_{driver}" / name):
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
    crashers = TESTS.parent / "crashers"
    crashers.mkdir(exist_ok=True)
    for name, data in hostile().items():
        (crashers / name).write_bytes(data)


if __name__ == "__main__":
    main()
