#!/usr/bin/env python3
"""Draws the resource library's small pictures: the fallback scroll-bar strips
(bitmaps 129 and 142), the small icons (111, 112, 120, 121, 122), the tab icons
(143, 146, 147, 148, 149, 216) and the generic icon 128 that the plug-in library
also carries, and the options program's section icons (32 and 64 pixels).
Run from anywhere; writes the .bmp and .ico files beside itself."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
LIGHT = (224, 224, 224)
BLUE = (0, 0, 255)  # pure blue: the colour the frame and the faces recolour
MAGENTA = (255, 0, 255)


def grid(text):
    """A picture from rows of characters: . transparent, # grey, o white, b blue, l light."""
    colours = {'#': GREY, 'o': WHITE, 'b': BLUE, 'l': LIGHT}
    return [[colours.get(c) for c in row] for row in text.strip().split()]


def scale(picture, n):
    return [[p for p in row for _ in range(n)] for row in picture for _ in range(n)]



def box(width, height, inside):
    """A rounded grey box with a white inside, and `inside` (a list of (x, y)) in blue."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            corner = (x in (0, width - 1)) and (y in (0, height - 1))
            edge = x in (0, width - 1) or y in (0, height - 1)
            if corner:
                row.append(None)
            elif edge:
                row.append(GREY)
            elif (x, y) in inside:
                row.append(BLUE)
            else:
                row.append(WHITE)
        rows.append(row)
    return rows


def triangle(cx, top, rows, down):
    points = set()
    for i in range(rows):
        half = i if not down else rows - 1 - i
        for x in range(cx - half - 1, cx + half + 1):
            points.add((x, top + i))
    return points


def thumb(width, height, top, bottom):
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            first, last = (top and y == 0), (bottom and y == height - 1)
            if (first or last) and x in (0, 1, width - 2, width - 1):
                row.append(None)
            elif first or last or x in (1, width - 2):
                row.append(GREY)
            elif x in (0, width - 1):
                row.append(None)
            else:
                row.append(BLUE)
        rows.append(row)
    return rows


def grip(width, height):
    rows = thumb(width, height, False, False)
    for y in range(1, height - 1, 2):
        for x in range(4, width - 4):
            rows[y][x] = WHITE
    return rows


def track(width, height):
    return [[GREY if x in (0, width - 1) else LIGHT for x in range(width)] for _ in range(height)]


def scroll_parts():
    w = 16
    return [
        box(w, 16, triangle(8, 5, 5, False)),                      # up
        box(w, 16, triangle(8, 6, 5, True)),                       # down
        thumb(w, 4, True, False),                                  # thumb top
        grip(w, 8),                                                # thumb middle
        thumb(w, 4, False, True),                                  # thumb bottom
        box(w, 16, {(x, y) for y in (7, 8) for x in range(4, 12)}  # header button: a bar
            | {(x, y) for x in (7, 8) for y in range(4, 12)}),     # and a cross line: "+"
        track(w, 8),                                               # vertical track
    ]


def strip(parts, n):
    """Pictures left, masks right (white opaque, black transparent), a magenta first
    mask pixel on the row after each part; transparent picture pixels are white."""
    parts = [scale(p, n) for p in parts]
    half = len(parts[0][0])
    rows = []
    for part in parts:
        for row in part:
            picture = [p if p is not None else WHITE for p in row]
            mask = [WHITE if p is not None else BLACK for p in row]
            rows.append(picture + mask)
        rows.append([WHITE] * half + [MAGENTA] + [BLACK] * (half - 1))
    return rows


def write_bmp(name, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for row in reversed(rows):
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    data = b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def icon_image(picture):
    height, width = len(picture), len(picture[0])
    xor = b''
    for row in reversed(picture):
        for p in row:
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_stride = ((width + 31) // 32) * 4
    andmask = b''
    for row in reversed(picture):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                line[x // 8] |= 0x80 >> (x % 8)
        andmask += bytes(line)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return width, height, header + xor + andmask


def write_ico(name, pictures):
    images = [icon_image(p) for p in pictures]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, blob in images:
        data += struct.pack('<BBBBHHII', width, height, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, _, blob in images:
        data += blob
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def pictured(text):
    return grid(text)


ARROW_RIGHT = pictured("""
..b.....
..bb....
..bbb...
..bbbb..
..bbbb..
..bbb...
..bb....
..b.....
""")
ARROW_DOWN = pictured("""
........
........
bbbbbbbb
.bbbbbb.
..bbbb..
...bb...
........
........
""")
DROP_DOWN = pictured("""
.............
.............
..bbbbbbbbb..
...bbbbbbb...
....bbbbb....
.....bbb.....
......b......
.............
.............
""")
PLUS = pictured("""
#########
#ooooooo#
#ooobooo#
#ooobooo#
#obbbbbo#
#ooobooo#
#ooobooo#
#ooooooo#
#########
""")
MINUS = pictured("""
#########
#ooooooo#
#ooooooo#
#ooooooo#
#obbbbbo#
#ooooooo#
#ooooooo#
#ooooooo#
#########
""")

# Tab icons: 12 x 11 logical pixels, as the tab host asks for them.
TAB_CALENDAR = pictured("""
############
#bbbbbbbbbb#
#bbbbbbbbbb#
#oooooooooo#
#o#o#o#o#oo#
#oooooooooo#
#o#o#o#o#oo#
#oooooooooo#
#o#o#o#oooo#
#oooooooooo#
############
""")
TAB_TASKS = pictured("""
............
.#########..
.#ooooooo#..
.#oooooob#..
.#ooooobb#..
.#boooobo#..
.#bboobbo#..
.#obbbboo#..
.#oobbooo#..
.#ooooooo#..
.#########..
""")
TAB_CONTACTS = pictured("""
............
....####....
...#oooo#...
...#oooo#...
...#oooo#...
....####....
..##bbbb##..
.#bbbbbbbb#.
.#bbbbbbbb#.
.#bbbbbbbb#.
.##########.
""")
TAB_NOTES = pictured("""
.########...
.#oooooo##..
.#o####o#o#.
.#oooooo####
.#o######oo#
.#oooooooooo
.#o######oo#
.#oooooooooo
.#o####oooo#
.#oooooooooo
.###########
""")
TAB_MESSAGES = pictured("""
............
............
############
#b########b#
#o#b####b#o#
#oo#b##b#oo#
#ooo#bb#ooo#
#oooo##oooo#
#oooooooooo#
############
............
""")
TAB_SPECIAL = pictured("""
.....bb.....
.....bb.....
....bbbb....
bbbbbbbbbbbb
.bbbbbbbbbb.
..bbbbbbbb..
...bbbbbb...
..bbbbbbbb..
..bbb..bbb..
.bbb....bbb.
.bb......bb.
""")
GENERIC = pictured("""
############
#bbbbbbbbbb#
#bbbbbbbbbb#
#oooooooooo#
#o####oooooo
#oooooooooo#
#o######ooo#
#oooooooooo#
#o#####oooo#
#oooooooooo#
############
""")

CATEGORY_ICONS = [[c for c in row] for row in pictured("""
############
#oooooooooo#
#o##oo##oo##
#o##oo##oo##
#oooooooooo#
#o##oo##oo##
#o##oo##oo##
#oooooooooo#
#bbbbbbbbbb#
#bbbbbbbbbb#
############
""")]
TABS = pictured("""
####.####...
#bb#.#oo#...
############
#bbbbbbbbbb#
#bbbbbbbbbb#
#oooooooooo#
#oooooooooo#
#oooooooooo#
#oooooooooo#
#oooooooooo#
############
""")


def pad(picture, width, height):
    """The picture in the middle of a transparent width x height square."""
    left = (width - len(picture[0])) // 2
    top = (height - len(picture)) // 2
    rows = [[None] * width for _ in range(height)]
    for y, row in enumerate(picture):
        for x, p in enumerate(row):
            rows[top + y][left + x] = p
    return rows


def section_icon(picture):
    """The options program's section icons: the system icon size, 32 and 64 pixels."""
    return [pad(scale(picture, 2), 32, 32), pad(scale(picture, 4), 64, 64)]


if __name__ == '__main__':
    write_bmp('scrollbar.bmp', strip(scroll_parts(), 1))
    write_bmp('scrollbar_vga.bmp', strip(scroll_parts(), 2))
    write_ico('arrow_right.ico', [ARROW_RIGHT, scale(ARROW_RIGHT, 2)])
    write_ico('arrow_down.ico', [ARROW_DOWN, scale(ARROW_DOWN, 2)])
    write_ico('drop_down.ico', [DROP_DOWN, scale(DROP_DOWN, 2)])
    write_ico('sign_collapsed.ico', [PLUS, scale(PLUS, 2)])
    write_ico('sign_open.ico', [MINUS, scale(MINUS, 2)])
    for name, picture in (('tab_calendar.ico', TAB_CALENDAR), ('tab_tasks.ico', TAB_TASKS),
                          ('tab_contacts.ico', TAB_CONTACTS), ('tab_notes.ico', TAB_NOTES),
                          ('tab_messages.ico', TAB_MESSAGES), ('tab_special.ico', TAB_SPECIAL),
                          ):
        write_ico(name, [picture, scale(picture, 2)])
    # The generic icon is also the options program's General section.
    write_ico('generic.ico', [GENERIC, scale(GENERIC, 2)] + section_icon(GENERIC))
    for name, picture in (('section_calendar.ico', TAB_CALENDAR), ('section_tasks.ico', TAB_TASKS),
                          ('section_contacts.ico', TAB_CONTACTS), ('section_notes.ico', TAB_NOTES),
                          ('section_messages.ico', TAB_MESSAGES), ('section_special.ico', TAB_SPECIAL),
                          ('section_categories.ico', CATEGORY_ICONS),
                          ('section_tabs.ico', TABS)):
        write_ico(name, section_icon(picture))
