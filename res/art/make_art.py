#!/usr/bin/python3
"""Draws every picture of the look: the resource library's icons and bitmaps
(written beside this script), the default skin "NewStyle" (device/skins/NewStyle.zip),
the plainer skin "Plain" (the folder device/skins/Plain) and the custom tabs' default
tab icons (device/tabicons, the install folder's "TabIcons"). The small fold and
arrow icons and the fallback scroll-bar strips are pixel drawings (below); the rest
are vector glyphs of look.py. Needs Python 3 with PIL (scripts/setup installs it).

    make_art.py            draw everything again
    make_art.py --sheet    also the contact sheet res/contact-sheet.png (after
                           docs/make-pictures, whose Today screens it shows)"""
import io
import os
import struct
import sys
import zipfile

from PIL import Image, ImageDraw

import look

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



ROOT = os.path.dirname(os.path.dirname(HERE))
SKINS = os.path.join(ROOT, 'device', 'skins')
TAB_ICONS = os.path.join(ROOT, 'device', 'tabicons')


def bmp_bytes(rows):
    """A 24-bit bottom-up .bmp of rows of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + bytes(pixels)


def rows_of(image):
    image = image.convert('RGB')
    w, h = image.size
    data = list(image.getdata())
    return [data[y * w:(y + 1) * w] for y in range(h)]


def masked(image):
    """Picture left, opacity mask right (white opaque), as the skin's members are."""
    w, h = image.size
    out = Image.new('RGB', (w * 2, h), (255, 255, 255))
    picture = Image.new('RGB', (w, h), (255, 255, 255))
    picture.paste(image.convert('RGB'), (0, 0), image.getchannel('A').point(lambda a: 255 if a else 0))
    out.paste(picture, (0, 0))
    alpha = image.getchannel('A')
    out.paste(Image.merge('RGB', (alpha, alpha, alpha)), (w, 0))
    return out


def keyed(image, key=(255, 0, 255)):
    """Opaque where the picture is at least half opaque, the key colour elsewhere."""
    out = Image.new('RGB', image.size, key)
    out.paste(image.convert('RGB'), (0, 0), image.getchannel('A').point(lambda a: 255 if a >= 128 else 0))
    return out


def icon_entry(image):
    """One 32-bit image of an .ico (colour with alpha, and the AND mask)."""
    w, h = image.size
    image = image.convert('RGBA')
    data = list(image.getdata())
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = data[y * w + x]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    andmask = bytearray()
    for y in reversed(range(h)):
        line = bytearray(stride)
        for x in range(w):
            if data[y * w + x][3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        andmask += line
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return w, h, header + bytes(xor) + bytes(andmask)


def write_icon(name, images):
    entries = [icon_entry(i) for i in images]
    data = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, blob in entries:
        data += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, _, blob in entries:
        data += blob
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def fit(image, width, height):
    """The square picture centred on a transparent width x height image."""
    out = Image.new('RGBA', (width, height), (0, 0, 0, 0))
    out.paste(image, ((width - image.size[0]) // 2, (height - image.size[1]) // 2))
    return out


def tab_host_icon(glyph):
    """The tab host asks 12 x 11 logical pixels; the panel's strip asks 16 x 16."""
    return [fit(look.render(glyph, 11), 12, 11), fit(look.render(glyph, 22), 24, 22),
            look.render(glyph, 16), look.render(glyph, 32)]


def section_sizes(glyph):
    return [look.render(glyph, 32), look.render(glyph, 64)]


# --- skin scroll-bar parts ----------------------------------------------------------

def part_canvas(w, h, n):
    s = 8
    image = Image.new('RGBA', (w * n * s, h * n * s), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image), n * s


def reduce(image, w, h):
    return image.resize((w, h), Image.LANCZOS)


def skin_parts(n, style):
    """The seven parts at n times the 16-suffix size: arrows 12 x 12, thumb caps and
    middle 12 x 4, header button 16 x 16, track 12 x 8."""
    ink = look.INK if style == 'new' else None
    lw = 8 if style == 'new' else 0
    face = look.PAPER if style == 'new' else look.SHADE
    thumb = look.BLUE
    out = []
    for down in (False, True):
        image, d, k = part_canvas(12, 12, n)
        d.rounded_rectangle([0.5 * k, 0.5 * k, 11.5 * k, 11.5 * k], radius=2.5 * k, fill=face, outline=ink, width=lw * n)
        pts = [(3.2, 7.6), (8.8, 7.6), (6, 4.2)] if not down else [(3.2, 4.4), (8.8, 4.4), (6, 7.8)]
        d.polygon([(x * k, y * k) for x, y in pts], fill=thumb)
        out.append(reduce(image, 12 * n, 12 * n))
    # Thumb: caps are the rounded ends of one 12 x 12 body; the middle repeats.
    image, d, k = part_canvas(12, 12, n)
    d.rounded_rectangle([1.5 * k, 0.5 * k, 10.5 * k, 11.5 * k], radius=3.5 * k, fill=thumb, outline=ink, width=lw * n)
    body = reduce(image, 12 * n, 12 * n)
    out.append(body.crop((0, 0, 12 * n, 4 * n)))
    middle = body.crop((0, 4 * n, 12 * n, 8 * n))
    out.append(middle)
    out.append(body.crop((0, 8 * n, 12 * n, 12 * n)))
    image, d, k = part_canvas(16, 16, n)
    d.rounded_rectangle([0.5 * k, 0.5 * k, 15.5 * k, 15.5 * k], radius=3 * k, fill=face, outline=ink, width=lw * n)
    d.polygon([(x * k, y * k) for x, y in ((4.5, 6.5), (11.5, 6.5), (8, 10.5))], fill=thumb)
    out.append(reduce(image, 16 * n, 16 * n))
    image, d, k = part_canvas(12, 8, n)
    d.rectangle([4.5 * k, 0, 7.5 * k, 8 * k], fill=look.SHADE)
    d.rectangle([5.6 * k, 0, 6.4 * k, 8 * k], fill=look.GREY)
    out.append(reduce(image, 12 * n, 8 * n))
    return out


def tab_grid(size, style):
    """Rows Calendar, Tasks, Contacts, Notes, Messages, Special events, generic; column
    0 normal, column 1 selected (lighter outline, on the strip's highlight)."""
    rows = look.TABS
    grid = Image.new('RGB', (size * 2, size * len(rows)), (255, 0, 255))
    for i, (_, glyph) in enumerate(rows):
        normal = look.render(glyph, size, style)
        grid.paste(keyed(normal), (0, i * size))
        selected = Image.new('RGBA', (size, size), (0, 0, 0, 0))
        halo = normal.getchannel('A').resize((size, size))
        plate = Image.new('RGBA', (size, size), look.WHITE + (255,))
        # A white rim around the glyph so it stands out on the highlight.
        from PIL import ImageFilter
        rim = halo.filter(ImageFilter.MaxFilter(3))
        selected.paste(plate, (0, 0), rim)
        selected.alpha_composite(normal)
        grid.paste(keyed(selected), (size, i * size))
    return grid


def skin_members(style):
    members = {}
    for n, suffix in ((1, 16), (2, 32)):
        for name, glyph in look.ITEM_ICONS:
            members['%s_%d.bmp' % (name, suffix)] = bmp_bytes(rows_of(masked(look.render(glyph, suffix, style))))
        if style == 'new':
            names = ['scrollbar_up', 'scrollbar_down', 'scrollbar_mu', 'scrollbar_mm', 'scrollbar_md',
                     'header_btn', 'scrollbar_vertical']
            for name, part in zip(names, skin_parts(n, style)):
                members['%s_%d.bmp' % (name, suffix)] = bmp_bytes(rows_of(masked(part)))
        members['tab_icons_%d.bmp' % suffix] = bmp_bytes(rows_of(tab_grid(suffix, style)))
    if style != 'new':
        # The plainer skin carries the scroll bar as one strip per size.
        members['scrollbar.bmp'] = bmp_bytes(strip(scroll_parts(), 1))
        members['scrollbar_vga.bmp'] = bmp_bytes(strip(scroll_parts(), 2))
    return members


def write_skins():
    os.makedirs(SKINS, exist_ok=True)
    members = skin_members('new')
    path = os.path.join(SKINS, 'NewStyle.zip')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name in sorted(members):
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, members[name])
    plain = os.path.join(SKINS, 'Plain')
    os.makedirs(plain, exist_ok=True)
    for old in os.listdir(plain):
        os.remove(os.path.join(plain, old))
    for name, data in skin_members('plain').items():
        with open(os.path.join(plain, name), 'wb') as f:
            f.write(data)


def tab_icon_cells(size):
    """The custom tabs' "default" tab icon: the generic glyph on the left, its mask
    (white where the glyph covers, black where the strip shows) on the right."""
    glyph = look.render(look.t_generic, size)
    out = Image.new('RGB', (size * 2, size), (0, 0, 0))
    out.paste(glyph.convert('RGB'), (0, 0))
    alpha = glyph.getchannel('A')
    out.paste(Image.merge('RGB', (alpha, alpha, alpha)), (size, 0))
    return out


def write_tab_icons():
    """The install folder's "TabIcons": the set every custom tab without its own
    pictures shows, at both icon sizes."""
    os.makedirs(TAB_ICONS, exist_ok=True)
    for size in (16, 32):
        with open(os.path.join(TAB_ICONS, 'default%d.bmp' % size), 'wb') as f:
            f.write(bmp_bytes(rows_of(tab_icon_cells(size))))


def strip_bitmap(size, count, glyph_of):
    """count cells of size x size side by side, magenta where transparent."""
    out = Image.new('RGB', (size * count, size), (255, 0, 255))
    for i in range(count):
        out.paste(keyed(look.render(glyph_of(i), size)), (i * size, 0))
    return out


def write_resources():
    write_bmp('scrollbar.bmp', strip(scroll_parts(), 1))
    write_bmp('scrollbar_vga.bmp', strip(scroll_parts(), 2))
    write_ico('arrow_right.ico', [ARROW_RIGHT, scale(ARROW_RIGHT, 2)])
    write_ico('arrow_down.ico', [ARROW_DOWN, scale(ARROW_DOWN, 2)])
    write_ico('drop_down.ico', [DROP_DOWN, scale(DROP_DOWN, 2)])
    write_ico('sign_collapsed.ico', [PLUS, scale(PLUS, 2)])
    write_ico('sign_open.ico', [MINUS, scale(MINUS, 2)])
    glyphs = dict(look.TABS)
    for name in ('calendar', 'tasks', 'contacts', 'notes', 'messages', 'special'):
        write_icon('tab_%s.ico' % name, tab_host_icon(glyphs[name]))
        write_icon('section_%s.ico' % name, section_sizes(glyphs[name]))
    # Icon 105 is both the Contacts tab's own icon (16) and the Contacts section's.
    write_icon('section_contacts.ico', [look.render(look.t_contacts, 16)] + section_sizes(look.t_contacts))
    # The generic icon: the tab host's panel icon, a 16-pixel tab icon and the
    # options program's General section.
    write_icon('generic.ico', tab_host_icon(look.t_generic) + [look.render(look.t_generic, 64)])
    write_icon('section_categories.ico', section_sizes(look.t_categories))
    write_icon('section_tabs.ico', section_sizes(look.t_tabs))
    # The Contacts tab's selected icon and the settings panel's (16 logical pixels).
    write_icon('tab_contacts_selected.ico', [look.render(look.t_contacts_selected, 16),
                                             look.render(look.t_contacts_selected, 32)])
    write_icon('settings.ico', [look.render(look.t_settings, 16), look.render(look.t_settings, 32)])
    write_icon('settings_selected.ico', [look.render(look.t_settings_selected, 16),
                                         look.render(look.t_settings_selected, 32)])
    # Popup title-bar buttons, 20 x 20 logical pixels: normal and pressed.
    for name, glyph in (('close', look.b_close), ('prev', look.b_prev), ('next', look.b_next),
                        ('today', look.b_today), ('open', look.b_open), ('delete', look.b_delete),
                        ('reply', look.b_reply), ('reply_all', look.b_reply_all), ('forward', look.b_forward),
                        ('call', look.b_call)):
        for pressed in (False, True):
            draw = look.button(glyph, pressed)
            write_icon('button_%s%s.ico' % (name, '_pressed' if pressed else ''),
                       [look.render(draw, 20), look.render(draw, 40)])
    # Bitmaps: the item-icon strips, the forecast sample, the chooser's toolbar.
    items = [g for _, g in look.ITEM_ICONS]
    write_bmp('icons.bmp', rows_of(strip_bitmap(16, len(items), lambda i: items[i])))
    write_bmp('icons_vga.bmp', rows_of(strip_bitmap(32, len(items), lambda i: items[i])))
    write_bmp('forecast.bmp', rows_of(keyed(look.render(look.f_forecast, 16))))
    write_bmp('forecast_vga.bmp', rows_of(keyed(look.render(look.f_forecast, 32))))
    tools = [look.tb_folder, look.tb_expand]
    write_bmp('icon_chooser_bar.bmp', rows_of(strip_bitmap(16, 2, lambda i: tools[i])))


if __name__ == '__main__':
    write_resources()
    write_skins()
    write_tab_icons()
    if '--sheet' in sys.argv:
        import sheet
        sheet.make(HERE, SKINS, os.path.join(ROOT, 'docs'), os.path.join(ROOT, 'res', 'contact-sheet.png'))
