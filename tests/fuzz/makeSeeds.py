#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses under tests/fuzz/corpus/.

Every seed is made here: small copies of the game's own images (ImageMagick),
OBJ/MTL text, a tiny TrueType font built table by table, and broken variants of
each. Run from anywhere; the output replaces the folders' contents.
"""

import os
import shutil
import struct
import subprocess
import sys
import zlib

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.normpath(os.path.join(here, "..", ".."))
corpus = os.path.join(here, "corpus")


def freshFolder(name):
    folder = os.path.join(corpus, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def write(folder, name, data):
    if isinstance(data, str):
        data = data.encode()
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


# ---------------------------------------------------------------- images


def convert(source, options, target):
    # No metadata: the same run gives the same bytes, so regenerating is no change.
    reproducible = ["-strip", "-define", "png:exclude-chunks=date,time"]
    subprocess.run(["convert", os.path.join(root, source)] + options + reproducible + [target],
                   check=True)


def pngChunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))


def pngBytes(width, height, rows):
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + pngChunk(b"IHDR", header) +
            pngChunk(b"IDAT", zlib.compress(raw)) + pngChunk(b"IEND", b""))


def makeImageSeeds():
    folder = freshFolder("imageFuzz")
    small = ["-resize", "12x12!"]
    convert("container2.png", small, "PNG32:" + os.path.join(folder, "containerRgba.png"))
    convert("container2_specular.png", small + ["-type", "Grayscale"],
            os.path.join(folder, "specularGrey.png"))
    convert("container2.png", small + ["-colors", "8"],
            "PNG8:" + os.path.join(folder, "containerPalette.png"))
    convert("container2.png", small + ["-interlace", "PNG", "-depth", "16"],
            os.path.join(folder, "containerInterlaced16.png"))
    convert("tilewall.jpg", small + ["-quality", "70"], os.path.join(folder, "tilewall.jpg"))
    convert("tilewall.jpg", small + ["-interlace", "JPEG", "-sampling-factor", "2x2"],
            os.path.join(folder, "tilewallProgressive.jpg"))
    convert("tilewall.jpg", small + ["-colorspace", "Gray"],
            os.path.join(folder, "tilewallGrey.jpg"))

    rows = [bytes(v for x in range(5) for v in (x * 40, y * 40, 128)) for y in range(3)]
    good = pngBytes(5, 3, rows)
    write(folder, "handMade.png", good)
    write(folder, "truncated.png", good[: len(good) // 2])
    signatureAndHeader = 8 + 25
    hugeHeader = pngChunk(b"IHDR", struct.pack(">IIBBBBB", 9000, 3, 8, 2, 0, 0, 0))
    write(folder, "hugeClaim.png", good[:8] + hugeHeader + good[signatureAndHeader:])
    jpeg = open(os.path.join(folder, "tilewall.jpg"), "rb").read()
    write(folder, "cutBeforeEnd.jpg", jpeg[: len(jpeg) * 2 // 3])
    write(folder, "cutWithEnd.jpg", jpeg[: len(jpeg) * 2 // 3] + b"\xff\xd9")


# ---------------------------------------------------------------- models

SEPARATOR = "\x1e"  # splits the OBJ text from the material library text

TRIANGLE = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
QUAD = "v 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"


def makeModelSeeds():
    folder = freshFolder("modelFuzz")
    write(folder, "texturedTriangle",
          TRIANGLE + "usemtl a\nf 1/1/1 2/2/1 3/3/1\n" + SEPARATOR +
          "newmtl a\nKd 1 0.5 0\nmap_Kd tex.png\nmap_Ks tex.jpg\n")
    write(folder, "sharedTextures",
          "o first\n" + TRIANGLE + "usemtl a\nf 1/1/1 2/2/1 3/3/1\n"
          "o second\n" + QUAD + "usemtl b\nf 4 5 6 7\n" + SEPARATOR +
          "newmtl a\nmap_Kd tex.png\nnewmtl b\nmap_Kd tex.jpg\nmap_Ks tex.png\n")
    write(folder, "groupsNegativeIndices",
          "g one\n" + QUAD + "f -4 -3 -2\ng two\nv 2 2 2\nf -1 -2 -3\n"
          "s 1\nl 1 2\np 3\n" + SEPARATOR + "newmtl unused\nNs 10\n")
    write(folder, "noLibrary", TRIANGLE + "f 1//1 2//1 3//1\n")
    write(folder, "noNormalsCrlf", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\n" + SEPARATOR)
    write(folder, "textureBeforeMaterial",
          TRIANGLE + "usemtl a\nf 1 2 3\n" + SEPARATOR + "map_Kd tex.png\nnewmtl a\n")
    write(folder, "indexOutOfRange", TRIANGLE + "f 1 2 9\nf 0 1 2\n")
    write(folder, "missingTexture",
          TRIANGLE + "usemtl a\nf 1/1 2/2 3/3\n" + SEPARATOR +
          "newmtl a\nmap_Kd -bm 0.5 missing.png\nbump tex.png\nrefl -type sphere tex.jpg\n")
    write(folder, "garbage", "v 1e999 nan -inf\nvt\nf / // ///\nusemtl\nmtllib\n#\x00\xff\n")


# ---------------------------------------------------------------- fonts


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def simpleGlyph(contours, instructions=b""):
    """contours: lists of (x, y, onCurve) points."""
    points = [p for contour in contours for p in contour]
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    out = struct.pack(">hhhhh", len(contours), min(xs), min(ys), max(xs), max(ys))
    end = -1
    for contour in contours:
        end += len(contour)
        out += struct.pack(">H", end)
    out += struct.pack(">H", len(instructions)) + instructions
    out += bytes(1 if p[2] else 0 for p in points)
    previous = 0
    for x in xs:
        out += struct.pack(">h", x - previous)
        previous = x
    previous = 0
    for y in ys:
        out += struct.pack(">h", y - previous)
        previous = y
    return out


def compositeGlyph(parts, box):
    out = struct.pack(">hhhhh", -1, *box)
    for i, (glyph, dx, dy) in enumerate(parts):
        flags = 0x0001 | 0x0002 | (0x0020 if i + 1 < len(parts) else 0)
        out += struct.pack(">HHhh", flags, glyph, dx, dy)
    return out


def cmapTable(glyphOfCode):
    first, last = 0x20, 0x7E
    segCount = 2
    glyphIds = [glyphOfCode(c) for c in range(first, last + 1)]
    endCodes = struct.pack(">HH", last, 0xFFFF)
    startCodes = struct.pack(">HH", first, 0xFFFF)
    deltas = struct.pack(">hh", 0, 1)
    rangeOffsets = struct.pack(">HH", segCount * 2, 0)
    body = (endCodes + b"\0\0" + startCodes + deltas + rangeOffsets +
            struct.pack(">%dH" % len(glyphIds), *glyphIds))
    header = struct.pack(">HHHHHHH", 4, 14 + len(body), 0, segCount * 2, 4, 1, 0)
    sub = header + body
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub


def nameTable(names):
    records = b""
    strings = b""
    for nameId, text in names:
        encoded = text.encode("utf-16-be")
        records += struct.pack(">HHHHHH", 3, 1, 0x409, nameId, len(encoded), len(strings))
        strings += encoded
    return struct.pack(">HHH", 0, len(names), 6 + len(records)) + records + strings


def sfnt(tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    selector = power.bit_length() - 1
    header = struct.pack(">IHHHH", 0x00010000, count, power * 16, selector, count * 16 - power * 16)
    offset = 12 + 16 * count
    directory = b""
    body = b""
    for tag in tags:
        data = tables[tag]
        directory += tag + struct.pack(">III", checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return header + directory + body


def tinyFont():
    units = 1024
    notdef = simpleGlyph([[(50, 0, 1), (50, 700, 1), (450, 700, 1), (450, 0, 1)],
                           [(100, 50, 1), (400, 50, 1), (400, 650, 1), (100, 650, 1)]])
    square = simpleGlyph([[(100, 0, 1), (100, 600, 1), (500, 600, 1), (500, 0, 1)]],
                          instructions=b"\xb0\x00\x21")  # PUSHB[0] 0, POP
    curve = simpleGlyph([[(0, -150, 1), (300, 900, 0), (600, -150, 1)]])
    combined = compositeGlyph([(2, 0, 0), (3, 300, 100)], (0, -50, 900, 1000))
    glyphs = [notdef, b"", square, curve, combined]
    advances = [500, 300, 600, 650, 900]

    locaOffsets = [0]
    glyf = b""
    for glyph in glyphs:
        glyf += glyph + b"\0" * (-len(glyph) % 4)
        locaOffsets.append(len(glyf))

    def glyphOfCode(code):
        return 1 if code == 0x20 else 2 + code % 3

    head = struct.pack(">IIIIHHQQhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B,
                       units, 0, 0, 0, -150, 900, 1000, 0, 8, 2, 1, 0)
    hhea = struct.pack(">IhhhHhhhhhh4hhH", 0x00010000, 900, -200, 0, max(advances), 0, 0, 900,
                       1, 0, 0, 0, 0, 0, 0, 0, len(glyphs))
    maxp = struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, len(glyphs), 8, 2, 7, 2, 2, 0, 0, 0, 0,
                       8, 16, 2, 1)
    hmtx = b"".join(struct.pack(">Hh", a, 0) for a in advances)
    post = struct.pack(">IIhhIIIII", 0x00030000, 0, -100, 50, 0, 0, 0, 0, 0)
    tables = {
        b"head": head,
        b"hhea": hhea,
        b"maxp": maxp,
        b"hmtx": hmtx,
        b"loca": struct.pack(">%dI" % len(locaOffsets), *locaOffsets),
        b"glyf": glyf,
        b"cmap": cmapTable(glyphOfCode),
        b"name": nameTable([(1, "Cellquest Seed"), (2, "Regular"), (4, "Cellquest Seed"),
                             (6, "CellquestSeed")]),
        b"post": post,
        b"prep": b"\xb0\x00\x21",
    }
    font = bytearray(sfnt(tables))
    headAt = font.find(b"head") + 8
    headOffset = struct.unpack(">I", font[headAt:headAt + 4])[0]
    font[headOffset + 8:headOffset + 12] = struct.pack(">I", (0xB1B0AFBA - checksum(
        bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def makeFontSeeds():
    folder = freshFolder("fontFuzz")
    font = tinyFont()
    write(folder, "tinyTrueType.ttf", font)
    glyfAt = font.find(b"glyf") + 8
    glyfOffset = struct.unpack(">I", font[glyfAt:glyfAt + 4])[0]
    write(folder, "tinyCutInGlyphs.ttf", font[:glyfOffset + 30])
    corrupt = bytearray(font)
    corrupt[glyfOffset + 1] = 0x7F  # the first glyph claims 127 contours
    write(folder, "tinyTooManyContours.ttf", bytes(corrupt))
    tableCount = struct.unpack(">H", font[4:6])[0]
    write(folder, "directoryOnly.ttf", font[:12 + 16 * tableCount])
    with open(os.path.join(root, "fonts", "arial.ttf"), "rb") as repoFont:
        write(folder, "gameFontHead.ttf", repoFont.read(6000))


def main():
    makeImageSeeds()
    makeModelSeeds()
    makeFontSeeds()
    total = sum(os.path.getsize(os.path.join(d, f))
                for d, _, files in os.walk(corpus) for f in files)
    print("seed corpora: %d bytes under %s" % (total, corpus))
    return 0


if __name__ == "__main__":
    sys.exit(main())
