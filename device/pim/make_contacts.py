#!/usr/bin/env python3
"""Writes contacts.txt: the device's thirty sample contacts (newer store layout) as
cedbtool loads them, with numbers, e-mail, companies, addresses, a few birthdays in
the week of the device's clock (16 March 2026), and a drawn portrait (PNG, in the
record's picture stream) for two contacts in three.

    python3 device/pim/make_contacts.py > device/pim/contacts.txt
"""
import datetime
import struct
import sys
import zlib

# first, last, company, job title, birthday (y, m, d) or None, anniversary or None
PEOPLE = [
    ("Anna", "Berg", "Nordvik", "Designer", (1985, 3, 16), None),
    ("Tomas", "Lind", "Nordvik", "Engineer", (1979, 3, 18), None),
    ("Jon", "Dahl", "", "", None, (2012, 3, 21)),
    ("Lea", "Voss", "Fjell & Co", "Buyer", (1992, 3, 27), None),
    ("Karl", "Sand", "", "", (1960, 4, 9), None),
    ("Nora", "Holm", "Fjell & Co", "Manager", None, None),
    ("Mika", "Aalto", "Sauna Oy", "Owner", None, None),
    ("Eva", "Brun", "NORDVIK", "Accountant", None, None),
    ("Ida", "Carlsson", "", "", (1990, 3, 19), None),
    ("Olof", "Ek", "Skog AB", "Forester", None, None),
    ("Sara", "Falk", "", "", None, None),
    ("Per", "Gran", "Skog AB", "Driver", None, None),
    ("Lina", "Hed", "", "", None, None),
    ("Ulf", "Isaksson", "Hamn AB", "Pilot", None, None),
    ("Maja", "Jansson", "", "", (1988, 3, 20), None),
    ("Emil", "Kron", "Hamn AB", "Clerk", None, None),
    ("Siri", "Lund", "", "", None, None),
    ("Axel", "Moberg", "Fjell & Co", "Carpenter", None, None),
    ("Elin", "Nyberg", "", "", None, None),
    ("Hugo", "Ohlin", "Sauna Oy", "Chef", None, None),
    ("Alva", "Pihl", "", "", None, None),
    ("Leo", "Quist", "Skog AB", "Analyst", None, None),
    ("Vera", "Rask", "", "", None, None),
    ("Nils", "Strand", "Hamn AB", "Sailor", None, None),
    ("Greta", "Tell", "", "", None, None),
    ("Otto", "Udd", "Nordvik", "Tester", None, None),
    ("Ebba", "Vik", "", "", None, None),
    ("Sven", "Wall", "Fjell & Co", "Mason", None, None),
    ("Ellen", "Young", "", "", None, None),
    ("Ivar", "Zorn", "Sauna Oy", "Painter", None, None),
]

STREETS = ["Storgatan", "Kyrkogatan", "Hamnvägen", "Skolgatan", "Parkvägen", "Sjövägen"]
TOWNS = [("Umeå", "903 25"), ("Luleå", "972 31"), ("Falun", "791 71"), ("Visby", "621 55")]

BACKGROUNDS = [(0x8E, 0xB8, 0xE5), (0xA8, 0xD5, 0xA2), (0xF2, 0xC1, 0x7E), (0xD7, 0xA9, 0xE3), (0xF4, 0x9E, 0x9E),
               (0x9E, 0xD9, 0xD5)]
SKINS = [(0xF1, 0xC2, 0x9B), (0xD9, 0xA0, 0x73), (0x9C, 0x6B, 0x45), (0xF6, 0xD5, 0xB8)]
HAIRS = [(0x3B, 0x2A, 0x1E), (0xC9, 0x9E, 0x4F), (0x7A, 0x3E, 0x1D), (0x20, 0x20, 0x20), (0xB0, 0xB0, 0xB0)]
CLOTHES = [(0x2F, 0x4F, 0x8F), (0x8F, 0x2F, 0x3F), (0x2F, 0x7F, 0x4F), (0x55, 0x55, 0x55), (0xC0, 0x70, 0x20)]


def filetime(ymd):
    moment = datetime.datetime(*ymd)
    delta = moment - datetime.datetime(1601, 1, 1)
    return (delta.days * 86400 + delta.seconds) * 10_000_000


def png(width, height, pixel):
    """A truecolour PNG of pixel(x, y) -> (r, g, b)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def portrait(index, size=72):
    """A head and shoulders in the person's own colours."""
    back = BACKGROUNDS[index % len(BACKGROUNDS)]
    skin = SKINS[(index * 3) % len(SKINS)]
    hair = HAIRS[(index * 7 + 1) % len(HAIRS)]
    cloth = CLOTHES[(index * 5 + 2) % len(CLOTHES)]
    long_hair = index % 2 == 0
    s = size / 72.0

    def pixel(x, y):
        px, py = x / s, y / s
        # shoulders: the top half of a wide ellipse at the bottom
        if ((px - 36) / 30) ** 2 + ((py - 78) / 20) ** 2 <= 1:
            return cloth
        head = ((px - 36) / 15) ** 2 + ((py - 32) / 18) ** 2
        if head <= 1:
            # hair over the top of the head
            if py < 22 + 3 * abs(px - 36) / 15:
                return hair
            # eyes and mouth
            if (abs(px - 30) < 2 or abs(px - 42) < 2) and abs(py - 31) < 2:
                return (0x30, 0x30, 0x30)
            if abs(px - 36) < 5 and abs(py - 41) < 1.2:
                return (0xA0, 0x40, 0x40)
            return skin
        # long hair falls beside the head
        if long_hair and ((px - 36) / 18) ** 2 + ((py - 36) / 22) ** 2 <= 1 and py > 24:
            return hair
        return back

    return png(size, size, pixel)


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main(out):
    out.write("# The device's sample contacts (newer store layout), as cedbtool loads them: thirty\n")
    out.write("# names across the alphabet, birthdays and an anniversary in the week of the device's\n")
    out.write("# clock (16 March 2026), portraits in two records of three. Written by make_contacts.py.\n")
    out.write('database "Contacts Database" type=0x00000000\n')
    out.write("sort 0x10000066:0x00000000\n")
    for i, (first, last, company, title, birthday, anniversary) in enumerate(PEOPLE):
        n = i + 1
        props = [("0x10000066", str(n)), ("0x0080001F", quoted(f"{last}, {first}")), ("0x0082001F", quoted(first)),
                 ("0x0084001F", quoted(last))]
        if i >= 6:  # the first six stay as the Special events pictures know them
            if company:
                props.append(("0x008A001F", quoted(company)))
                props.append(("0x008C001F", quoted(title)))
                props.append(("0x0097001F", quoted(f"+46 90 {100 + i:03d} {20 + i:02d}")))
            props.append(("0x0096001F", quoted(f"+46 70 {300 + 7 * i:03d} {11 + i:02d} {40 + i:02d}")))
            if i % 2 == 0:
                props.append(("0x0090001F", quoted(f"{first.lower()}.{last.lower()}@example.com")))
            if i % 4 == 1:
                street = STREETS[i % len(STREETS)]
                town, code = TOWNS[i % len(TOWNS)]
                props += [("0x00C1001F", quoted(f"{street} {i + 2}")), ("0x00C2001F", quoted(town)),
                          ("0x00C4001F", quoted(code)), ("0x00C5001F", quoted("Sweden"))]
            if i % 5 == 3:
                props.append(("0x00A7001F", quoted(f"www.{last.lower()}.example.com")))
        if birthday:
            props.append(("0x00F00040", f"0x{filetime(birthday):016X}"))
        if anniversary:
            props.append(("0x00F10040", f"0x{filetime(anniversary):016X}"))
        if i % 3 != 2:
            props.append(("0x00FF0064", "hex:" + portrait(i).hex().upper()))
        out.write("record\n")
        for pid, value in props:
            out.write(f"  {pid} {value}\n")
        out.write("end\n")


if __name__ == "__main__":
    main(sys.stdout)
