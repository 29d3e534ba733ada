#!/usr/bin/env python3
"""Rewrites files written by heif-enc into ones it cannot write itself.

  heif-items.py turn IN OUT ANGLE AXIS ORIENTATION
      the primary image turned (irot ANGLE, quarter turns anticlockwise) and
      mirrored (imir AXIS; - for none), with an EXIF block whose Orientation
      tag is ORIENTATION (0 for none), which a reader must not apply again
  heif-items.py grid OUT COLUMNS ROWS WIDTH HEIGHT TILE...
      a grid item of WIDTH x HEIGHT made of the primary images of the TILE
      files, row by row, its description in idat as phones store it
"""
import struct
import sys

FULL = {b"meta", b"iinf", b"iref"}


def boxes(data):
    at = 0
    while at + 8 <= len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + size]
        at += size


def box(kind, payload, full=None):
    head = b"" if full is None else struct.pack(">I", full)
    return struct.pack(">I4s", 8 + len(head) + len(payload), kind) + head + payload


class Picture:
    """The items, properties and references of a heif-enc file."""

    def __init__(self, path):
        data = open(path, "rb").read()
        meta = dict(boxes(data))[b"meta"][4:]
        parts = {kind: payload for kind, payload in boxes(meta)}
        self.primary = struct.unpack(">H", parts[b"pitm"][4:6])[0]
        self.types = {}
        for kind, infe in boxes(parts[b"iinf"][6:]):
            item, _, kind = struct.unpack(">HH4s", infe[4:12])
            self.types[item] = kind
        self.data, self.in_idat = self._item_data(data, parts[b"iloc"], parts.get(b"idat", b""))
        ipco = dict(boxes(parts[b"iprp"]))[b"ipco"]
        self.properties = [box(kind, payload) for kind, payload in boxes(ipco)]
        ipma = dict(boxes(parts[b"iprp"]))[b"ipma"]
        self.associations = {}
        wide, count, at = ipma[3] & 1, struct.unpack(">I", ipma[4:8])[0], 8
        for _ in range(count):
            item, n = struct.unpack(">HB", ipma[at:at + 3])
            at += 3
            for _ in range(n):
                value = struct.unpack(">H", ipma[at:at + 2])[0] if wide else ipma[at]
                bits = 15 if wide else 7
                self.associations.setdefault(item, []).append(
                    (value & ((1 << bits) - 1), value >> bits))
                at += 2 if wide else 1
        self.references = []
        for kind, ref in boxes(parts.get(b"iref", b"\0\0\0\0")[4:]):
            source, n = struct.unpack(">HH", ref[:4])
            self.references.append((kind, source, list(struct.unpack(">%dH" % n, ref[4:]))))

    @staticmethod
    def _item_data(data, iloc, idat):
        version = iloc[0]
        assert iloc[4:6] in (b"\x44\x40", b"\x44\x00"), "heif-enc writes 4-byte fields"
        count, at, found, local = struct.unpack(">H", iloc[6:8])[0], 8, {}, set()
        for _ in range(count):
            item = struct.unpack(">H", iloc[at:at + 2])[0]
            method = iloc[at + 3] & 15 if version else 0
            at += 4 if version else 2
            at += 2  # the data reference
            base = struct.unpack(">I", iloc[at:at + 4])[0] if iloc[5] & 0xF0 else 0
            at += 4 if iloc[5] & 0xF0 else 0
            extents, at = struct.unpack(">H", iloc[at:at + 2])[0], at + 2
            source, chunks = (idat if method == 1 else data), []
            for _ in range(extents):
                offset, length = struct.unpack(">II", iloc[at:at + 8])
                chunks.append(source[base + offset:base + offset + length])
                at += 8
            found[item] = b"".join(chunks)
            if method == 1:
                local.add(item)
        return found, local

    def add_property(self, item, payload, essential=True):
        if payload not in self.properties:
            self.properties.append(payload)
        index = self.properties.index(payload) + 1
        self.associations.setdefault(item, []).append((index, int(essential)))

    def write(self, path):
        """One mdat of every item not kept in idat; iloc version 1."""
        ids = sorted(self.types)
        hidden = {t for kind, _, ts in self.references if kind == b"dimg" for t in ts}
        hidden |= {s for kind, s, _ in self.references if kind == b"auxl"}
        infe = b"".join(box(b"infe", struct.pack(">HH4s", i, 0, self.types[i]) + b"\0",
                            2 << 24 | (i in hidden)) for i in ids)
        ipma = struct.pack(">I", len(self.associations)) + b"".join(
            struct.pack(">HB", i, len(a)) + b"".join(struct.pack(">H", n | e << 15) for n, e in a)
            for i, a in sorted(self.associations.items()))
        iref = b"".join(box(kind, struct.pack(">HH", s, len(t)) + struct.pack(">%dH" % len(t), *t))
                        for kind, s, t in self.references)
        idat = b"".join(self.data[i] for i in ids if i in self.in_idat)

        stored = []  # each distinct item's data once, tiles of one picture shared
        for i in ids:
            if i not in self.in_idat and self.data[i] not in stored:
                stored.append(self.data[i])

        def meta(mdat_start):
            entries, idat_at = b"", 0
            for i in ids:
                local = i in self.in_idat
                at = idat_at if local else mdat_start + sum(
                    len(d) for d in stored[:stored.index(self.data[i])])
                entries += struct.pack(">HHHHII", i, 1 if local else 0, 0, 1, at, len(self.data[i]))
                idat_at += len(self.data[i]) if local else 0
            parts = [box(b"hdlr", b"\0" * 4 + b"pict" + b"\0" * 13, 0),
                     box(b"pitm", struct.pack(">H", self.primary), 0),
                     box(b"iloc", b"\x44\x00" + struct.pack(">H", len(ids)) + entries, 1 << 24),
                     box(b"iinf", struct.pack(">H", len(ids)) + infe, 0),
                     box(b"iprp", box(b"ipco", b"".join(self.properties)) + box(b"ipma", ipma, 1))]
            if iref:
                parts.append(box(b"iref", iref, 0))
            if idat:
                parts.append(box(b"idat", idat))
            return box(b"meta", b"".join(parts), 0)

        ftyp = box(b"ftyp", b"heic\0\0\0\0mif1heicmiaf")
        start = len(ftyp) + len(meta(0)) + 8
        mdat = box(b"mdat", b"".join(stored))
        open(path, "wb").write(ftyp + meta(start) + mdat)


def exif_block(orientation):
    tiff = b"MM\0\x2a" + struct.pack(">I", 8) + struct.pack(">H", 1)
    tiff += struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
    return struct.pack(">I", 6) + b"Exif\0\0" + tiff


def turn(source, target, angle, axis, orientation):
    picture = Picture(source)
    picture.add_property(picture.primary, box(b"irot", bytes([int(angle)])))
    if axis != "-":
        picture.add_property(picture.primary, box(b"imir", bytes([int(axis)])))
    if int(orientation):
        exif = max(picture.types) + 1
        picture.types[exif] = b"Exif"
        picture.data[exif] = exif_block(int(orientation))
        picture.references.append((b"cdsc", exif, [picture.primary]))
    picture.write(target)


def grid(target, columns, rows, width, height, *tiles):
    columns, rows = int(columns), int(rows)
    assert len(tiles) == columns * rows
    result = Picture(tiles[0])
    result.types, result.data, result.properties, result.associations = {}, {}, [], {}
    result.references, result.in_idat = [], set()
    for number, path in enumerate(tiles, start=1):
        tile = Picture(path)
        assert tile.types[tile.primary] == b"hvc1", "a tile is one coded image"
        result.types[number] = b"hvc1"
        result.data[number] = tile.data[tile.primary]
        for index, essential in tile.associations[tile.primary]:
            result.add_property(number, tile.properties[index - 1], essential)
    grid_id = len(tiles) + 1
    result.primary = grid_id
    result.types[grid_id] = b"grid"
    result.data[grid_id] = struct.pack(">BBBBHH", 0, 0, rows - 1, columns - 1, int(width),
                                       int(height))
    result.in_idat.add(grid_id)  # as phones store it
    result.add_property(grid_id, box(b"ispe", struct.pack(">III", 0, int(width), int(height))),
                        False)
    result.references.append((b"dimg", grid_id, list(range(1, len(tiles) + 1))))
    result.write(target)


if __name__ == "__main__":
    {"turn": turn, "grid": grid}[sys.argv[1]](*sys.argv[2:])
