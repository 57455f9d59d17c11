"""The drawings of the look: every glyph is drawn once in a 16-unit square with
vector shapes, supersampled and reduced to the pixel size asked for, so the 16-,
20-, 32- and 40-pixel pictures are one drawing. Shapes keep a dark outline around
light or coloured fills, so a glyph reads on a light and on a dark Today theme.

Two styles: "new" (outlined, shaded, rounded: the default skin and the resource
library) and "plain" (flat fills without outline: the second skin)."""
from PIL import Image, ImageDraw

SUPER = 8

INK = (44, 56, 78)        # outline
PAPER = (252, 252, 248)
SHADE = (206, 214, 226)
BLUE = (38, 112, 204)
LIGHTBLUE = (150, 196, 240)
RED = (214, 58, 48)
GREEN = (52, 158, 82)
YELLOW = (248, 200, 48)
ORANGE = (240, 140, 40)
PINK = (240, 140, 190)
GREY = (140, 148, 160)
MAGENTA = (255, 0, 255)   # painted in the status colour when the icon is recoloured
WHITE = (255, 255, 255)

STYLE = {'ink': INK}


class Canvas:
    """Unit coordinates (0..16) on a supersampled RGBA image."""

    def __init__(self, size):
        self.size = size
        self.k = size * SUPER / 16.0
        self.image = Image.new('RGBA', (size * SUPER, size * SUPER), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.image)

    def p(self, *xy):
        return [v * self.k for v in xy]

    def w(self, units):
        return max(1, int(round(units * self.k)))

    def line_width(self):
        # About one pixel at every size: the outline stays crisp.
        return max(SUPER, int(round(self.k * 0.95)))

    def rect(self, x0, y0, x1, y1, fill, radius=0.0, outline=True):
        ol = STYLE['ink'] if outline else None
        width = self.line_width() if ol else 0
        box = self.p(x0, y0, x1, y1)
        if radius:
            self.d.rounded_rectangle(box, radius=radius * self.k, fill=fill, outline=ol, width=width)
        else:
            self.d.rectangle(box, fill=fill, outline=ol, width=width)

    def ellipse(self, x0, y0, x1, y1, fill, outline=True):
        ol = STYLE['ink'] if outline else None
        self.d.ellipse(self.p(x0, y0, x1, y1), fill=fill, outline=ol, width=self.line_width() if ol else 0)

    def poly(self, points, fill, outline=True):
        ol = STYLE['ink'] if outline else None
        pts = [tuple(self.p(x, y)) for x, y in points]
        self.d.polygon(pts, fill=fill, outline=ol, width=self.line_width() if ol else 0)

    def line(self, points, colour=INK, width=1.0):
        pts = [tuple(self.p(x, y)) for x, y in points]
        self.d.line(pts, fill=colour, width=self.w(width), joint='curve')

    def arc(self, x0, y0, x1, y1, start, end, colour, width=1.5):
        self.d.arc(self.p(x0, y0, x1, y1), start, end, fill=colour, width=self.w(width))

    def result(self):
        small = self.image.resize((self.size, self.size), Image.LANCZOS)
        # Lanczos may overshoot into faint halos; keep opacity clean at the edges.
        alpha = small.getchannel('A').point(lambda a: 0 if a < 24 else (255 if a > 232 else a))
        small.putalpha(alpha)
        return small


# --- pieces used by several glyphs -------------------------------------------------

def page(c, fill=PAPER, lines=True, fold=True, x0=3, x1=13):
    c.poly([(x0, 1.5), (x1 - 3, 1.5), (x1, 4.5), (x1, 14.5), (x0, 14.5)], fill)
    if fold:
        c.poly([(x1 - 3, 1.5), (x1 - 3, 4.5), (x1, 4.5)], SHADE)
    if lines:
        for y in (6.5, 9, 11.5):
            c.line([(x0 + 2, y), (x1 - 2, y)], GREY, 1.0)


def envelope(c, open_=False, fill=PAPER):
    if open_:
        c.poly([(1.5, 7), (8, 2.5), (14.5, 7)], SHADE)
        c.rect(1.5, 7, 14.5, 13.5, fill)
        c.line([(1.8, 7.3), (8, 11), (14.2, 7.3)], INK, 1.0)
    else:
        c.rect(1.5, 3.5, 14.5, 12.5, fill)
        c.line([(1.8, 3.8), (8, 8.8), (14.2, 3.8)], INK, 1.0)


def person(c, x, y, s, fill=BLUE):
    """A head and shoulders, top-left at (x, y), s units high."""
    c.ellipse(x + s * 0.28, y, x + s * 0.72, y + s * 0.44, PAPER)
    c.poly([(x, y + s), (x + s * 0.1, y + s * 0.62), (x + s * 0.3, y + s * 0.5), (x + s * 0.7, y + s * 0.5),
            (x + s * 0.9, y + s * 0.62), (x + s, y + s)], fill)


def card_badge(c):
    """A storage card in the bottom-right corner: the item lives on the card."""
    c.poly([(9.5, 8.5), (13.5, 8.5), (15, 10), (15, 15.2), (9.5, 15.2)], GREY)
    for x in (10.8, 12.2, 13.6):
        c.line([(x, 9.5), (x, 11)], YELLOW, 0.7)


def lock_badge(c, x=9, y=8.5):
    c.arc(x + 1.2, y, x + 4.8, y + 4.2, 180, 360, INK, 1.2)
    c.rect(x, y + 2.3, x + 6, y + 6.8, YELLOW, radius=0.6)
    c.line([(x + 3, y + 4), (x + 3, y + 5.3)], INK, 1.0)


def clip_badge(c):
    c.arc(10, 7.5, 14.5, 15.5, 0, 360, INK, 1.1)
    c.line([(12.2, 9.5), (12.2, 13)], INK, 1.0)


def flag_badge(c):
    c.line([(11, 7.5), (11, 15)], INK, 1.1)
    c.poly([(11, 7.5), (15.2, 9), (11, 10.8)], RED)


def recurrence(c, colour=BLUE):
    c.arc(2.5, 2.5, 13.5, 13.5, 200, 340, colour, 2.0)
    c.arc(2.5, 2.5, 13.5, 13.5, 20, 160, colour, 2.0)
    c.poly([(11.5, 1.8), (14.8, 5.8), (10.2, 6.6)], colour, outline=False)
    c.poly([(4.5, 14.2), (1.2, 10.2), (5.8, 9.4)], colour, outline=False)


# --- the item icons, by the skin's names ------------------------------------------

def g_note(c, colour=YELLOW):
    c.poly([(2, 2), (14, 2), (14, 10.5), (10.5, 14), (2, 14)], colour)
    c.poly([(14, 10.5), (10.5, 10.5), (10.5, 14)], SHADE)
    for y in (5.5, 8):
        c.line([(4.5, y), (11.5, y)], INK, 0.8)


def g_low(c):
    c.poly([(5.5, 2), (10.5, 2), (10.5, 8.5), (13.5, 8.5), (8, 14.5), (2.5, 8.5), (5.5, 8.5)], LIGHTBLUE)


def g_high(c):
    c.rect(6, 1.5, 10, 10.5, RED, radius=1.2)
    c.ellipse(6, 11.5, 10, 15.2, RED)


def g_recurr(c):
    recurrence(c)


def g_reminder(c):
    c.poly([(8, 1.5), (11.5, 4), (12, 10), (14, 12.5), (2, 12.5), (4, 10), (4.5, 4)], YELLOW)
    c.ellipse(6.3, 12.5, 9.7, 15.3, ORANGE)


def g_private_full(c):
    c.arc(4.6, 1.5, 11.4, 9, 180, 360, INK, 2.0)
    c.rect(3, 6.5, 13, 14.5, YELLOW, radius=1.2)
    c.ellipse(7, 8.8, 9, 10.8, INK, outline=False)
    c.line([(8, 10), (8, 12.5)], INK, 1.2)


def g_category(c):
    c.poly([(1.5, 6.5), (6.5, 1.5), (14.5, 1.5), (14.5, 9.5), (9.5, 14.5)], MAGENTA)
    c.ellipse(10.5, 3.5, 12.8, 5.8, PAPER)


def g_recipients(c):
    person(c, 6.5, 2, 8.5, GREEN)
    person(c, 1.2, 5.5, 9.5, BLUE)


def g_home(c):
    c.poly([(8, 1.5), (15, 8), (13, 8), (13, 14.5), (3, 14.5), (3, 8), (1, 8)], PAPER)
    c.rect(6.5, 9.5, 9.5, 14.5, ORANGE)
    c.poly([(8, 1.5), (15, 8), (1, 8)], RED)


def g_mobile(c):
    c.rect(4.5, 1, 11.5, 15, INK, radius=1.5)
    c.rect(5.8, 3, 10.2, 9.5, LIGHTBLUE, outline=False)
    for x in (6.3, 8, 9.7):
        for y in (11, 13):
            c.ellipse(x - 0.55, y - 0.55, x + 0.55, y + 0.55, PAPER, outline=False)


def g_work(c):
    c.rect(5.5, 2.5, 10.5, 6, None, radius=1)
    c.rect(1.5, 5, 14.5, 14, ORANGE, radius=1.2)
    c.line([(1.8, 9), (14.2, 9)], INK, 1.0)
    c.rect(7, 8, 9, 10.5, YELLOW)


def g_email(c):
    envelope(c)
    c.ellipse(9.5, 8.5, 15.5, 14.5, BLUE)
    c.arc(11.2, 10.2, 13.8, 12.8, 0, 360, PAPER, 1.0)


def g_info(c):
    c.ellipse(1.5, 1.5, 14.5, 14.5, BLUE)
    c.ellipse(7, 3.6, 9, 5.6, PAPER, outline=False)
    c.line([(8, 7.2), (8, 12.2)], PAPER, 2.0)


def g_note2(c):
    page(c, PAPER)
    c.line([(5, 4), (8.5, 4)], BLUE, 1.2)


def g_voice(c):
    c.rect(6, 1.5, 10, 9.5, SHADE, radius=2)
    c.arc(3.5, 3, 12.5, 12, 0, 180, GREY, 1.4)
    c.line([(8, 12), (8, 14.5)], GREY, 1.4)
    c.line([(5, 14.5), (11, 14.5)], GREY, 1.4)


def g_pellam(c):
    page(c, PAPER, lines=False)
    c.line([(4.5, 9), (6, 7.5), (7.5, 10), (9, 8)], BLUE, 1.0)
    c.poly([(9, 12), (14.5, 6.5), (15.8, 7.8), (10.3, 13.3), (8.5, 13.8)], YELLOW)


def g_anniversary(c):
    c.poly([(8, 14.5), (1.8, 8), (1.5, 4.5), (4.5, 2), (8, 4.2), (11.5, 2), (14.5, 4.5), (14.2, 8)], RED)


def g_birthday(c):
    c.rect(2, 7, 14, 14.5, PINK)
    c.rect(1.5, 4.5, 14.5, 7.5, RED)
    c.rect(7, 4.5, 9, 14.5, YELLOW)
    c.ellipse(4, 1, 8, 5, None)
    c.ellipse(8, 1, 12, 5, None)


def g_mail(c, read=False, flag=False, clip=False):
    envelope(c, open_=read, fill=PAPER if read else (255, 236, 170))
    if flag:
        flag_badge(c)
    if clip:
        clip_badge(c)


def g_phatnote(colour):
    return lambda c: g_note(c, colour)


def g_word(c):
    page(c, PAPER)
    c.rect(1.5, 5, 9.5, 12.5, BLUE, radius=0.8)
    c.line([(3, 7), (4.2, 11), (5.5, 8.2), (6.8, 11), (8, 7)], PAPER, 0.9)


def g_text(c):
    page(c, PAPER)


def g_recurr_except(c):
    recurrence(c, GREY)
    c.line([(2.5, 13.5), (13.5, 2.5)], RED, 2.0)


def g_phatpad(c):
    c.rect(2.5, 2.5, 13.5, 14.5, (230, 246, 255), radius=1)
    for x in (5, 8, 11):
        c.ellipse(x - 0.9, 1.2, x + 0.9, 3.8, GREY)
    c.line([(4.5, 10), (6.5, 7), (8, 11), (10, 7.5), (11.5, 10)], BLUE, 1.0)


def g_excel(c):
    page(c, PAPER, lines=False)
    for y in (6.5, 9, 11.5):
        c.line([(4.5, y), (11.5, y)], GREEN, 0.8)
    c.line([(8, 5), (8, 13)], GREEN, 0.8)
    c.rect(1.5, 5, 8, 11.5, GREEN, radius=0.8)
    c.line([(3, 6.5), (6.5, 10)], PAPER, 1.0)
    c.line([(6.5, 6.5), (3, 10)], PAPER, 1.0)


def g_generic(c):
    page(c, PAPER, lines=False)


def g_world(c):
    c.ellipse(1.5, 1.5, 14.5, 14.5, LIGHTBLUE)
    c.poly([(4, 4), (7.5, 3.5), (8, 6.5), (5.5, 8.5), (6, 11.5), (4, 12), (2.8, 8)], GREEN, outline=False)
    c.poly([(10, 6), (13.5, 7), (13, 10.5), (10.5, 12.5), (9.5, 9)], GREEN, outline=False)
    c.ellipse(1.5, 1.5, 14.5, 14.5, None)


def g_allday(c):
    c.rect(1, 5, 15, 11, MAGENTA, radius=2)
    c.line([(3, 8), (13, 8)], PAPER, 1.0)


def with_badge(base, badge):
    def draw(c):
        base(c)
        badge(c)
    return draw


def mail(read, flag, clip):
    return lambda c: g_mail(c, read, flag, clip)


ITEM_ICONS = [
    ('NOTE', g_note), ('LOW_PRIO', g_low), ('HIGH_PRIO', g_high), ('RECURR', g_recurr),
    ('REMINDER', g_reminder), ('PRIVATE', g_private_full), ('CATEGORY', g_category),
    ('RECIPIENTS', g_recipients), ('HOME', g_home), ('MOBILE', g_mobile), ('WORK', g_work),
    ('EMAIL', g_email), ('INFO', g_info), ('NOTE2', g_note2), ('VOICE', g_voice),
    ('NOTE2_STORAGE', with_badge(g_note2, card_badge)), ('VOICE_STORAGE', with_badge(g_voice, card_badge)),
    ('NOTE2_CRYPTED', with_badge(g_note2, lock_badge)), ('VOICE_CRYPTED', with_badge(g_voice, lock_badge)),
    ('PELLAM_TRANS', g_pellam), ('ANNIVERSARY', g_anniversary), ('BIRTHDAY', g_birthday),
    ('MAIL', mail(False, False, False)), ('MAILRD', mail(True, False, False)),
    ('MAIL_UND', mail(False, True, False)), ('MAILRD_UND', mail(True, True, False)),
    ('MAIL_ATT', mail(False, False, True)), ('MAILRD_ATT', mail(True, False, True)),
    ('MAIL_UND_ATT', mail(False, True, True)), ('MAILRD_UND_ATT', mail(True, True, True)),
    ('PHATNOTE_Y', g_phatnote(YELLOW)), ('PHATNOTE_B', g_phatnote(LIGHTBLUE)),
    ('PHATNOTE_G', g_phatnote((150, 220, 150))), ('PHATNOTE_P', g_phatnote(PINK)),
    ('PHATNOTE_W', g_phatnote(PAPER)),
    ('WORD', g_word), ('WORD_STORAGE', with_badge(g_word, card_badge)),
    ('TEXT', g_text), ('TEXT_STORAGE', with_badge(g_text, card_badge)),
    ('RECURR_EXCEPT', g_recurr_except),
    ('PHATPAD', g_phatpad), ('PHATPAD_STORAGE', with_badge(g_phatpad, card_badge)),
    ('EXCEL', g_excel), ('EXCEL_STORAGE', with_badge(g_excel, card_badge)),
    ('GENERIC', g_generic), ('GENERIC_STORAGE', with_badge(g_generic, card_badge)),
    ('WORLD', g_world), ('WORLD_STORAGE', with_badge(g_world, card_badge)),
    ('ALLDAY', g_allday),
]


# --- tab glyphs, section glyphs and the generic icon ------------------------------

def t_calendar(c):
    c.rect(1.5, 2.5, 14.5, 14.5, PAPER, radius=1.2)
    c.rect(1.5, 2.5, 14.5, 6, BLUE, radius=1.2)
    for x in (4.5, 11.5):
        c.line([(x, 1), (x, 4)], INK, 1.2)
    for y in (8.3, 11.8):
        for x in (4.3, 8, 11.7):
            c.rect(x - 1, y - 0.9, x + 1, y + 0.9, GREY if (x, y) != (8, 11.8) else RED, outline=False)


def t_tasks(c):
    c.rect(2, 2, 14, 14, PAPER, radius=1.5)
    c.line([(4.5, 8), (7, 11), (12, 4.5)], GREEN, 2.2)


def t_contacts(c):
    c.rect(1.5, 1.5, 14.5, 14.5, LIGHTBLUE, radius=1.5)
    person(c, 3.5, 3.5, 11, BLUE)


def t_contacts_selected(c):
    c.rect(1.5, 1.5, 14.5, 14.5, BLUE, radius=1.5)
    person(c, 3.5, 3.5, 11, LIGHTBLUE)


def t_notes(c):
    g_note(c, YELLOW)


def t_messages(c):
    g_mail(c, False, False, False)


def t_special(c):
    c.poly([(8, 1), (10.1, 5.6), (15, 6.1), (11.3, 9.4), (12.4, 14.5), (8, 11.9), (3.6, 14.5), (4.7, 9.4),
            (1, 6.1), (5.9, 5.6)], YELLOW)


def t_generic(c):
    c.rect(1.5, 1.5, 14.5, 14.5, PAPER, radius=1.5)
    c.rect(1.5, 1.5, 5.5, 14.5, BLUE, radius=1.5)
    for y in (4.5, 8, 11.5):
        c.line([(7.5, y), (12.5, y)], GREY, 1.2)


def t_settings(c):
    import math
    points = []
    for i in range(16):
        r = 7 if i % 2 == 0 else 5.2
        a = math.pi * 2 * (i - 0.5) / 16
        points.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    c.poly(points, GREY)
    c.ellipse(5.5, 5.5, 10.5, 10.5, PAPER)


def t_settings_selected(c):
    t_settings(c)
    c.ellipse(6.8, 6.8, 9.2, 9.2, BLUE, outline=False)


def t_categories(c):
    g_category(c)


def t_tabs(c):
    c.rect(1.5, 4.5, 14.5, 14.5, PAPER, radius=1)
    c.rect(1.5, 1.5, 6.5, 5.5, BLUE, radius=0.8)
    c.rect(7, 2.5, 12, 5.5, SHADE, radius=0.8)


TABS = [('calendar', t_calendar), ('tasks', t_tasks), ('contacts', t_contacts), ('notes', t_notes),
        ('messages', t_messages), ('special', t_special), ('generic', t_generic)]


# --- popup title-bar buttons --------------------------------------------------------

def button(glyph, pressed):
    def draw(c):
        c.rect(0.8, 0.8, 15.2, 15.2, BLUE if pressed else PAPER, radius=2.5)
        glyph(c, PAPER if pressed else INK)
    return draw


def b_close(c, ink):
    c.line([(5, 5), (11, 11)], ink, 2.0)
    c.line([(11, 5), (5, 11)], ink, 2.0)


def b_prev(c, ink):
    c.line([(10, 4), (6, 8), (10, 12)], ink, 2.0)


def b_next(c, ink):
    c.line([(6, 4), (10, 8), (6, 12)], ink, 2.0)


def b_today(c, ink):
    c.arc(4, 4, 12, 12, 0, 360, ink, 1.4)
    c.ellipse(6.6, 6.6, 9.4, 9.4, RED, outline=False)


def b_open(c, ink):
    c.line([(9, 4), (4, 4), (4, 12), (12, 12), (12, 7)], ink, 1.3)
    c.line([(7.5, 8.5), (12.5, 3.5)], ink, 1.6)
    c.line([(9, 3.5), (12.5, 3.5), (12.5, 7)], ink, 1.6)


def b_delete(c, ink):
    c.line([(4, 5), (12, 5)], ink, 1.4)
    c.line([(6.5, 5), (6.5, 3.6), (9.5, 3.6), (9.5, 5)], ink, 1.2)
    c.line([(5, 5.5), (5.6, 12.5), (10.4, 12.5), (11, 5.5)], ink, 1.3)
    c.line([(8, 7), (8, 11)], ink, 1.0)


def b_reply(c, ink):
    c.line([(7, 4), (3.5, 7.5), (7, 11)], ink, 1.6)
    c.line([(3.8, 7.5), (9, 7.5), (12, 9), (12.5, 12.5)], ink, 1.5)


def b_reply_all(c, ink):
    c.line([(6, 4), (2.5, 7.5), (6, 11)], ink, 1.3)
    c.line([(9, 4), (5.5, 7.5), (9, 11)], ink, 1.5)
    c.line([(5.8, 7.5), (10, 7.5), (12.5, 9), (13, 12.5)], ink, 1.4)


def b_forward(c, ink):
    c.line([(9, 4), (12.5, 7.5), (9, 11)], ink, 1.6)
    c.line([(12.2, 7.5), (7, 7.5), (4, 9), (3.5, 12.5)], ink, 1.5)


def b_call(c, ink):
    c.line([(4.5, 3.5), (6.5, 3.5), (7.5, 6), (6, 7), (9, 10), (10, 8.5), (12.5, 9.5), (12.5, 11.5),
            (11, 12.8), (8, 12), (5, 9.5), (3.5, 6.5), (4.5, 3.5)], ink, 1.3)


# --- forecast sample and the icon-set chooser's toolbar -----------------------------

def f_forecast(c):
    c.ellipse(1.5, 1.5, 9.5, 9.5, YELLOW)
    c.ellipse(4, 7, 10, 13, PAPER)
    c.ellipse(7.5, 5.5, 14.5, 12.5, PAPER)
    c.rect(3, 9.5, 14.5, 14, PAPER, radius=2)


def tb_folder(c):
    c.poly([(1.5, 3.5), (6, 3.5), (7.5, 5), (14.5, 5), (14.5, 13.5), (1.5, 13.5)], YELLOW)
    c.line([(1.8, 7), (14.2, 7)], INK, 0.9)


def tb_expand(c):
    c.rect(2, 2, 14, 14, PAPER, radius=1)
    c.line([(5, 8), (11, 8)], INK, 1.6)
    c.line([(8, 5), (8, 11)], INK, 1.6)


def render(glyph, size, style='new'):
    # The plainer style outlines in a soft grey instead of ink.
    STYLE['ink'] = INK if style == 'new' else (120, 128, 140)
    c = Canvas(size)
    glyph(c)
    STYLE['ink'] = INK
    return c.result()
