"""The contact sheet: every picture of the look on a light and on a dark ground, and
the Today screen with each skin, in one PNG."""
import io
import os
import zipfile

from PIL import Image, ImageDraw

LIGHT = (238, 238, 236)
DARK = (40, 46, 60)
GAP = 6
WIDTH = 1000


def icon_images(path):
    """Every image of an .ico, largest last."""
    data = open(path, 'rb').read()
    count = int.from_bytes(data[4:6], 'little')
    out = []
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        size = int.from_bytes(entry[8:12], 'little')
        offset = int.from_bytes(entry[12:16], 'little')
        blob = data[offset:offset + size]
        w = int.from_bytes(blob[4:8], 'little', signed=True)
        h = int.from_bytes(blob[8:12], 'little', signed=True) // 2
        pixels = blob[40:40 + w * h * 4]
        image = Image.frombytes('RGBA', (w, h), pixels, 'raw', 'BGRA', 0, -1)
        out.append(image)
    return out


def member_image(name, data):
    """A skin member as a person sees it: masked halves joined, magenta keyed out."""
    image = Image.open(io.BytesIO(data)).convert('RGB')
    w, h = image.size
    if name.startswith('tab_icons') or name in ('scrollbar.bmp', 'scrollbar_vga.bmp'):
        rgba = image.convert('RGBA')
        px = rgba.load()
        for y in range(h):
            for x in range(w):
                if px[x, y][:3] == (255, 0, 255):
                    px[x, y] = (0, 0, 0, 0)
        return rgba
    picture = image.crop((0, 0, w // 2, h)).convert('RGBA')
    picture.putalpha(image.crop((w // 2, 0, w, h)).getchannel('R'))
    return picture


class Sheet:
    def __init__(self):
        self.rows = []

    def title(self, text):
        self.rows.append(('title', text))

    def tiles(self, images):
        self.rows.append(('tiles', images))

    def shots(self, images):
        self.rows.append(('shots', images))

    def render(self):
        # Lay out first to know the height.
        placed, y = [], GAP
        for kind, content in self.rows:
            if kind == 'title':
                placed.append((kind, content, GAP, y))
                y += 16
                continue
            x, line = GAP, 0
            for image in content:
                w, h = image.size
                tile = (w + 8, h + 8) if kind == 'tiles' else (w, h)
                span = tile[0] * (2 if kind == 'tiles' else 1) + GAP
                if x + span > WIDTH:
                    x, y = GAP, y + line + GAP
                    line = 0
                placed.append((kind, image, x, y))
                x += span
                line = max(line, tile[1])
            y += line + GAP * 2
        sheet = Image.new('RGB', (WIDTH, y), (255, 255, 255))
        d = ImageDraw.Draw(sheet)
        for kind, content, x, y in placed:
            if kind == 'title':
                d.text((x, y), content, fill=(0, 0, 0))
            elif kind == 'tiles':
                w, h = content.size
                for i, ground in enumerate((LIGHT, DARK)):
                    left = x + i * (w + 8)
                    d.rectangle([left, y, left + w + 7, y + h + 7], fill=ground)
                    sheet.paste(content, (left + 4, y + 4), content)
            else:
                sheet.paste(content, (x, y))
        return sheet


def make(art, skins, docs, out):
    s = Sheet()
    s.title('TarvoRes.Dll icons, every size (light and dark ground)')
    icons = []
    for name in sorted(os.listdir(art)):
        if name.endswith('.ico'):
            icons += icon_images(os.path.join(art, name))
    s.tiles(icons)
    s.title('TarvoRes.Dll bitmaps: item strips 128/141, forecast 145/144, chooser bar 221, scroll bars 129/142')
    bitmaps = []
    for name in ('icons.bmp', 'icons_vga.bmp', 'forecast.bmp', 'forecast_vga.bmp', 'icon_chooser_bar.bmp'):
        bitmaps.append(member_image('tab_icons', open(os.path.join(art, name), 'rb').read()))
    s.tiles(bitmaps)
    s.tiles([Image.open(os.path.join(art, n)).convert('RGBA') for n in ('scrollbar.bmp', 'scrollbar_vga.bmp')])
    with zipfile.ZipFile(os.path.join(skins, 'NewStyle.zip')) as z:
        members = {n: z.read(n) for n in z.namelist()}
    plain_dir = os.path.join(skins, 'Plain')
    plain = {n: open(os.path.join(plain_dir, n), 'rb').read() for n in os.listdir(plain_dir)}
    for label, skin in (('NewStyle', members), ('Plain', plain)):
        for suffix in (16, 32):
            s.title('skin %s: the 49 item icons (%d), the scroll bar and the tab icons' % (label, suffix))
            names = sorted(n for n in skin if n.endswith('_%d.bmp' % suffix) and not n.startswith(
                ('scrollbar', 'header', 'tab_icons')))
            s.tiles([member_image(n, skin[n]) for n in names])
            parts = [n for n in sorted(skin) if n.startswith(('scrollbar_', 'header_btn')) and n.endswith('_%d.bmp' % suffix)]
            extra = [member_image(n, skin[n]) for n in parts]
            strip = 'scrollbar.bmp' if suffix == 16 else 'scrollbar_vga.bmp'
            if strip in skin:
                extra.append(member_image(strip, skin[strip]))
            extra.append(member_image('tab_icons', skin['tab_icons_%d.bmp' % suffix]))
            s.tiles(extra)
    shots = [n for n in ('today.png', 'today-plain.png', 'today-vga.png', 'today-plain-vga.png')
             if os.path.exists(os.path.join(docs, n))]
    if shots:
        s.title('The Today screen: NewStyle, Plain (240x320), NewStyle, Plain (480x640)')
        images = []
        for n in shots:
            image = Image.open(os.path.join(docs, n)).convert('RGB')
            images.append(image)
        s.shots(images)
    s.render().save(out, optimize=True)
