#!/usr/bin/env python3
"""Draws the Zyk Velotune skins: the face and mask of the main dialog, the slider
pictures and the button strips, for English and Traditional Chinese.

Usage: make_skins.py SOURCE_DIR OUT_DIR

Every place comes from the skin files in SOURCE_DIR (Config_USA.INI, Config_CHT.INI),
so the art always fits the coordinates the program reads. Output: OUT_DIR/skin/*.bmp
and the two skin files (CRLF) in OUT_DIR. The drawing is seeded, so every run gives
the same pictures.
"""
import configparser
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

# Face size: the dialog's client area is at most 483 x 500.
FACE_W, FACE_H = 480, 330
SS = 4  # supersampling for smooth outlines

# Palette: dark gunmetal, light from the top left, phosphor-green accent (the slider's
# fill bar is green too).
METAL_HI = (92, 97, 104)
METAL_LO = (40, 43, 48)
PANEL = (17, 19, 21)       # recessed panels and the slider channel's background
ACCENT = (60, 235, 120)
ACCENT_DIM = (30, 120, 64)
LABEL = (176, 184, 192)
MAGENTA = (255, 0, 255)

FONT_LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Trackbar geometry of a 28-pixel-high horizontal slider: the thumb rectangle spans
# rows 2..23, the fill bar rows 7..15, the thumb picture is drawn at y = 3.
THUMB_W, THUMB_H = 13, 22
BAR_TOP, BAR_BOTTOM = 7, 15

TEXTS = {
    "usa": {
        "engine": "ENGINE", "memory": "MEMORY", "profile": "PROFILE", "unit": "MHz",
        "subtitle": "AGP CLOCK TUNER",
        "buttons": {"save": "SAVE", "delete": "DELETE", "ok": "OK", "cancel": "CANCEL",
                    "test": "TEST"},
    },
    "cht": {
        "engine": "核心時脈", "memory": "記憶體時脈", "profile": "設定檔", "unit": "MHz",
        "subtitle": "顯示卡超頻工具",
        "buttons": {"save": "另存", "delete": "刪除", "ok": "確定", "cancel": "取消",
                    "test": "測試"},
    },
}
BUTTON_SECTIONS = ["save", "delete", "ok", "cancel", "test"]  # gbutton1 .. gbutton5


def font(path, size):
    if not os.path.exists(path):
        path = FONT_CJK
    return ImageFont.truetype(path, size)


def label_font(lang, size, bold=True):
    if lang == "cht":
        return font(FONT_CJK, size + 3)
    return font(FONT_LATIN_BOLD if bold else FONT_LATIN, size)


def read_skin(path):
    cp = configparser.ConfigParser(interpolation=None, inline_comment_prefixes=None)
    cp.optionxform = str.lower
    with open(path, encoding="ascii") as f:
        cp.read_file(f)
    return cp


def place(cp, section):
    s = cp[section]
    x, y = int(s["position_x"]), int(s["position_y"])
    w = int(s.get("width", s.get("length", "0")))
    h = int(s.get("height", "0"))
    return x, y, w, h


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vgradient(w, h, top, bottom):
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)))
    return img


def brushed(w, h, seed, strength=14):
    """Horizontal brushing: noise stretched along x, as grey offsets around 128."""
    rnd = random.Random(seed)
    small = Image.new("L", (max(1, w // 48), h))
    small.putdata([128 + rnd.randint(-strength, strength) for _ in range(small.width * h)])
    streaks = small.resize((w, h), Image.BILINEAR)
    fine = Image.new("L", (w, h))
    fine.putdata([128 + rnd.randint(-4, 4) for _ in range(w * h)])
    return ImageChops.add(streaks, fine, scale=1.0, offset=-128)


def apply_grain(img, grain):
    """Adds a grey offset image (128 = no change) to every channel."""
    out = []
    for band in img.split():
        out.append(ImageChops.add(band, grain, scale=1.0, offset=-128))
    return Image.merge("RGB", out)


def outline_polygon():
    """The dialog's outline in face pixels: a body with chamfered corners, a raised
    tab at the top right for the card display and a slanted lower right corner."""
    return [
        (4, 30), (30, 12), (244, 12), (262, 2), (462, 2), (476, 16),
        (476, 282), (436, 326), (150, 326), (138, 316), (20, 316), (4, 300),
    ]


def shape_mask(scale=1):
    m = Image.new("L", (FACE_W * scale, FACE_H * scale), 0)
    ImageDraw.Draw(m).polygon([(x * scale, y * scale) for x, y in outline_polygon()], fill=255)
    return m


def edge_band(mask, dx, dy, width):
    """Pixels of `mask` within `width` of its edge on the side facing (-dx, -dy)."""
    band = Image.new("L", mask.size, 0)
    for k in range(1, width + 1):
        shifted = ImageChops.offset(mask, dx * k, dy * k)
        band = ImageChops.lighter(band, ImageChops.subtract(mask, shifted))
    return band


def glow(size, draw_fn, radius, color, strength=1.0):
    """A coloured glow layer: what draw_fn draws on an L image, blurred and tinted."""
    layer = Image.new("L", size, 0)
    draw_fn(ImageDraw.Draw(layer))
    blurred = layer.filter(ImageFilter.GaussianBlur(radius))
    blurred = blurred.point(lambda v: min(255, int(v * strength)))
    return Image.merge("RGB", [blurred.point(lambda v, c=c: v * c // 255) for c in color]), layer


def add_layer(img, layer):
    return ImageChops.add(img, layer)


def recess(img, box, fill=PANEL, radius=5, depth=2):
    """A recessed panel: dark inside, shadow on its top left rim, light on its bottom
    right rim (the light comes from the top left)."""
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    d.rounded_rectangle((x0 - depth, y0 - depth, x1 + depth, y1 + depth), radius + depth,
                        fill=(120, 126, 134))
    d.rounded_rectangle((x0 - depth, y0 - depth, x1 + depth - 1, y1 + depth - 1), radius + depth,
                        fill=(12, 13, 15))
    d.rounded_rectangle(box, radius, fill=fill)


def text_center(d, box, text, fnt, fill):
    x0, y0, x1, y1 = box
    l, t, r, b = d.textbbox((0, 0), text, font=fnt)
    d.text((x0 + (x1 - x0 - (r - l)) / 2 - l, y0 + (y1 - y0 - (b - t)) / 2 - t), text, font=fnt,
           fill=fill)


def engraved(img, pos, text, fnt, fill=LABEL, anchor="la"):
    """Label stamped into the metal: a dark cut above left, a light lip below right."""
    d = ImageDraw.Draw(img)
    x, y = pos
    d.text((x - 1, y - 1), text, font=fnt, fill=(14, 15, 17), anchor=anchor)
    d.text((x + 1, y + 1), text, font=fnt, fill=(110, 116, 124), anchor=anchor)
    d.text((x, y), text, font=fnt, fill=fill, anchor=anchor)


def screw(img, cx, cy):
    d = ImageDraw.Draw(img)
    d.ellipse((cx - 5, cy - 5, cx + 5, cy + 5), fill=(18, 19, 21))
    d.ellipse((cx - 4, cy - 4, cx + 4, cy + 4), fill=(120, 126, 134))
    d.ellipse((cx - 3, cy - 3, cx + 4, cy + 4), fill=(58, 62, 68))
    d.line((cx - 3, cy + 2, cx + 2, cy - 3), fill=(20, 21, 24), width=2)


# ---------------------------------------------------------------------------- face

def draw_face(cp, lang, frame_x=3):
    t = TEXTS[lang]
    W, H = FACE_W, FACE_H
    # Metal body: light falls from the top left.
    base = vgradient(W, H, METAL_HI, METAL_LO)
    side = Image.linear_gradient("L").rotate(90).resize((W, H))  # dark to the right
    side = side.point(lambda v: 128 + (v - 128) // 8)
    base = apply_grain(base, ImageChops.invert(side).point(lambda v: v))
    base = apply_grain(base, brushed(W, H, seed=7 if lang == "usa" else 7))

    big = shape_mask(SS)
    mask = big.resize((W, H), Image.LANCZOS).point(lambda v: 255 if v >= 128 else 0)

    # Bevel of the outline: bright rim on the top left, dark rim on the bottom right.
    hi = edge_band(mask, 1, 1, 3)
    lo = edge_band(mask, -1, -1, 3)
    face = base.copy()
    face.paste(Image.new("RGB", (W, H), (150, 156, 164)), (0, 0), hi.point(lambda v: v * 3 // 4))
    face.paste(Image.new("RGB", (W, H), (14, 15, 17)), (0, 0), lo)
    outer = ImageChops.subtract(mask, ImageChops.offset(mask, 0, 0))
    d = ImageDraw.Draw(face)

    # Accent groove just inside the outline, glowing.
    inner = [(x + (6 if x < W / 2 else -6), y + (6 if y < H / 2 else -6))
             for x, y in outline_polygon()]
    g, _ = glow((W, H), lambda gd: gd.line(inner + [inner[0]], fill=255, width=1), 3, ACCENT, 1.6)
    face = add_layer(face, g.point(lambda v: v // 2))
    d = ImageDraw.Draw(face)
    d.line(inner + [inner[0]], fill=ACCENT_DIM, width=1)

    # Logo at the top left.
    logo_font = font(FONT_LATIN_BOLD, 26)
    g, _ = glow((W, H), lambda gd: gd.text((28, 26), "VELOTUNE", font=logo_font, fill=255), 4,
                ACCENT, 1.2)
    face = add_layer(face, g)
    d = ImageDraw.Draw(face)
    d.text((28, 26), "VELOTUNE", font=logo_font, fill=(205, 255, 220))
    sub_font = label_font(lang, 11, bold=lang == "usa")
    engraved(face, (30, 60), "ZYK", font(FONT_LATIN_BOLD, 11), fill=(150, 158, 166))
    engraved(face, (62, 60), t["subtitle"], sub_font, fill=(150, 158, 166))

    # Card display on the raised tab: brand line and model name.
    bx, by = place(cp, "modelname")[:2]
    mx = int(cp["modelname"]["position_x1"])
    my = int(cp["modelname"]["position_y1"])
    brand = (bx + frame_x, by, bx + frame_x + 120, by + 21)
    model = (mx + frame_x, my, mx + frame_x + 156, my + 28)
    panel = (min(brand[0], model[0]) - 14, brand[1] - 6, max(brand[2], model[2]) + 14,
             model[3] + 6)
    recess(face, panel, fill=(10, 20, 14), radius=6)
    d = ImageDraw.Draw(face)
    # Faint scan lines and a reflection make the panel read as glass.
    for y in range(panel[1] + 1, panel[3], 2):
        d.line((panel[0] + 2, y, panel[2] - 2, y), fill=(14, 27, 19))
    d.line((panel[0] + 6, brand[3] + 1, panel[2] - 6, brand[3] + 1), fill=ACCENT_DIM)
    refl = Image.new("L", (W, H), 0)
    ImageDraw.Draw(refl).polygon([(panel[0] + 2, panel[1] + 2), (panel[0] + 70, panel[1] + 2),
                                  (panel[0] + 40, panel[3] - 2), (panel[0] + 2, panel[3] - 2)],
                                 fill=22)
    face.paste(Image.new("RGB", (W, H), (200, 255, 220)), (0, 0), refl)
    screw(face, panel[0] - 10 if panel[0] > 270 else 258, 24)
    screw(face, 466, 24)

    # Sliders: recessed tracks the channel picture fits into, labels on the left, a
    # readout window with the unit on the right.
    lab = label_font(lang, 11) if lang == "usa" else font(FONT_CJK, 13)
    for n, key in ((1, "engine"), (2, "memory")):
        sx, sy, sw, sh = place(cp, "gslider%d" % n)
        recess(face, (sx - 4, sy - 3, sx + sw + 3, sy + sh + 2), fill=PANEL, radius=5)
        d = ImageDraw.Draw(face)
        d.rectangle((sx, sy, sx + sw - 1, sy + sh - 1), fill=PANEL)
        engraved(face, (sx - 14, sy + sh // 2), t[key], lab, anchor="rm")
        tx, ty = place(cp, "statictext%d" % n)[:2]
        rx0, ry0 = tx + frame_x, ty
        lcd = (rx0 - 26, ry0 - 5, rx0 + 27 + 6, ry0 + 16 + 5)
        recess(face, lcd, fill=(10, 20, 14), radius=4)
        d = ImageDraw.Draw(face)
        for y in range(lcd[1] + 1, lcd[3], 2):
            d.line((lcd[0] + 2, y, lcd[2] - 2, y), fill=(14, 27, 19))
        engraved(face, (lcd[2] + 8, (lcd[1] + lcd[3]) // 2 + 1), t["unit"],
                 font(FONT_LATIN_BOLD, 11), anchor="lm")
        # A small status lamp beside each label.
        lx, ly = 15, sy + sh // 2
        g, _ = glow((W, H), lambda gd: gd.ellipse((lx - 3, ly - 3, lx + 3, ly + 3), fill=255), 3,
                    ACCENT, 1.5)
        face = add_layer(face, g)
        d = ImageDraw.Draw(face)
        d.ellipse((lx - 2, ly - 2, lx + 2, ly + 2), fill=(190, 255, 210))

    # Divider between the clocks and the profiles.
    d.line((26, 190, 454, 190), fill=(22, 24, 27), width=1)
    d.line((26, 191, 454, 191), fill=(108, 114, 122), width=1)

    # Profile row: the label and a recess around the list box; button wells.
    cx, cy, cw, _ = place(cp, "combobox1")
    engraved(face, (cx - 14, cy + 11), t["profile"], lab, anchor="rm")
    recess(face, (cx - 3, cy - 3, cx + cw + 2, cy + 24), fill=PANEL, radius=3)
    d = ImageDraw.Draw(face)
    for n in range(1, 6):
        x, y, w, h = place(cp, "gbutton%d" % n)
        d.rounded_rectangle((x - 3, y - 3, x + w + 2, y + h + 2), 9, fill=(24, 26, 29))
        d.rounded_rectangle((x - 2, y - 2, x + w + 2, y + h + 2), 9, outline=(104, 110, 118))
        d.rounded_rectangle((x - 2, y - 2, x + w + 1, y + h + 1), 9, fill=(26, 28, 31))

    # Vent slots on the lower right chin.
    for i in range(6):
        x = 168 + i * 14
        d.rounded_rectangle((x, 306, x + 8, 318), 3, fill=(16, 17, 19))
        d.line((x + 1, 318, x + 8, 318), fill=(100, 106, 114))
    screw(face, 18, 300)
    screw(face, 18, 44)

    # Outside the outline nothing is shown; keep it plain.
    face.paste((255, 255, 255), (0, 0), ImageChops.invert(mask))
    return face, mask


def make_mask(mask):
    """1-bit mask: white outside the window, black inside."""
    return ImageChops.invert(mask).point(lambda v: 255 if v >= 128 else 0).convert("1")


# ------------------------------------------------------------------------ sliders

def draw_channel(w, h):
    """The whole background of a horizontal slider: the panel colour, a tube in which
    the green fill bar runs, and a scale beneath it."""
    img = Image.new("RGB", (w, h), PANEL)
    d = ImageDraw.Draw(img)
    top, bottom = BAR_TOP - 2, BAR_BOTTOM + 2
    d.rounded_rectangle((4, top, w - 5, bottom), 4, fill=(70, 76, 84))       # lower lip
    d.rounded_rectangle((4, top, w - 5, bottom - 1), 4, fill=(4, 5, 6))      # shadow
    d.rounded_rectangle((5, top + 1, w - 6, bottom - 1), 3, fill=(9, 16, 11))  # tube
    for x in range(8, w - 7, 3):                                              # LED cells
        d.line((x, BAR_TOP, x, BAR_BOTTOM), fill=(13, 24, 16))
    for i in range(11):
        x = 8 + round(i * (w - 16) / 10)
        d.line((x, bottom + 3, x, bottom + (7 if i % 5 == 0 else 5)), fill=(98, 106, 114))
    return img


def draw_thumb():
    w, h = THUMB_W, THUMB_H
    big = Image.new("RGB", (w * SS, h * SS), PANEL)
    body = vgradient(w * SS, h * SS, (196, 202, 210), (70, 75, 82))
    m = Image.new("L", big.size, 0)
    ImageDraw.Draw(m).rounded_rectangle((0, 0, w * SS - 1, h * SS - 1), 3 * SS, fill=255)
    big.paste(body, (0, 0), m)
    d = ImageDraw.Draw(big)
    d.rounded_rectangle((SS, SS, w * SS - 1 - SS, h * SS - 1 - SS), 2 * SS,
                        outline=(226, 230, 236), width=SS)
    d.rounded_rectangle((0, 0, w * SS - 1, h * SS - 1), 3 * SS, outline=(20, 22, 25), width=SS)
    img = big.resize((w, h), Image.LANCZOS)
    d = ImageDraw.Draw(img)
    cx = w // 2
    d.line((cx, 4, cx, h - 5), fill=ACCENT)                      # glowing index line
    d.line((cx - 1, 4, cx - 1, h - 5), fill=(40, 90, 60))
    d.line((cx + 1, 4, cx + 1, h - 5), fill=(40, 90, 60))
    for y in (5, h - 6):                                          # grip ridges
        d.line((3, y, w - 4, y), fill=(60, 64, 70))
    return img


# ------------------------------------------------------------------------ buttons

def draw_button_strip(w, h, text, lang):
    """Four cells side by side: normal, pressed, disabled, hover. Magenta outside the
    rounded body is transparent; the body's edge is blended toward the dark well the
    face draws around each button, so no pink fringe shows."""
    cells = []
    fnt = label_font(lang, 13 if lang == "usa" else 14)
    for state in ("normal", "pressed", "disabled", "hover"):
        bw, bh = w * SS, h * SS
        shape = Image.new("L", (bw, bh), 0)
        ImageDraw.Draw(shape).rounded_rectangle((0, 0, bw - 1, bh - 1), 8 * SS, fill=255)
        if state == "pressed":
            top, bottom, rim_hi, rim_lo = (30, 33, 37), (62, 66, 72), (18, 19, 21), (96, 102, 110)
        elif state == "disabled":
            top, bottom, rim_hi, rim_lo = (66, 68, 72), (54, 56, 60), (86, 88, 92), (34, 35, 38)
        elif state == "hover":
            top, bottom, rim_hi, rim_lo = (122, 128, 136), (58, 62, 68), (200, 206, 214), (20, 21, 24)
        else:
            top, bottom, rim_hi, rim_lo = (104, 110, 118), (48, 52, 57), (176, 182, 190), (18, 19, 21)
        body = vgradient(bw, bh, top, bottom)
        d = ImageDraw.Draw(body)
        d.rounded_rectangle((0, 0, bw - 1, bh - 1), 8 * SS, outline=rim_lo, width=SS)
        d.rounded_rectangle((SS, SS, bw - 1 - SS, bh - 1 - SS), 7 * SS, outline=rim_hi, width=SS)
        d.rounded_rectangle((2 * SS, 2 * SS, bw - 1 - 2 * SS, bh - 1 - 2 * SS), 6 * SS,
                            outline=lerp(top, bottom, 0.5), width=SS)
        well = Image.new("RGB", (bw, bh), (26, 28, 31))
        well.paste(body, (0, 0), shape)
        cell = well.resize((w, h), Image.LANCZOS)
        small_shape = shape.resize((w, h), Image.LANCZOS)

        d = ImageDraw.Draw(cell)
        off = 1 if state == "pressed" else 0
        box = (off, off, w + off, h + off)
        if state == "disabled":
            text_center(d, box, text, fnt, (34, 36, 39))
            text_center(d, (box[0] + 1, box[1] + 1, box[2] + 1, box[3] + 1), text, fnt, (92, 95, 100))
            text_center(d, box, text, fnt, (110, 113, 118))
        else:
            lit = state in ("pressed", "hover")
            if lit:
                g = Image.new("L", (w, h), 0)
                text_center(ImageDraw.Draw(g), box, text, fnt, 255)
                gain = 1.6 if state == "pressed" else 1.1
                g = g.filter(ImageFilter.GaussianBlur(3)).point(lambda v: min(255, int(v * gain)))
                cell = ImageChops.add(cell, Image.merge("RGB", [g.point(lambda v, c=c: v * c // 255)
                                                                 for c in ACCENT]))
                d = ImageDraw.Draw(cell)
            text_center(d, (box[0], box[1] - 1, box[2], box[3] - 1), text, fnt, (12, 13, 15))
            text_center(d, box, text, fnt, (215, 255, 228) if lit else (222, 226, 232))
        if state == "hover":
            d.rounded_rectangle((1, 1, w - 2, h - 2), 7, outline=ACCENT_DIM)
        # Outside the body: magenta (transparent when drawn).
        cell.paste(MAGENTA, (0, 0), small_shape.point(lambda v: 0 if v >= 96 else 255))
        cells.append(cell)
    strip = Image.new("RGB", (w * 4, h), MAGENTA)
    for i, c in enumerate(cells):
        strip.paste(c, (i * w, 0))
    return strip


# --------------------------------------------------------------------------- main

def write_ini_crlf(src, dst):
    with open(src, encoding="ascii") as f:
        lines = f.read().splitlines()
    with open(dst, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    src, out = sys.argv[1], sys.argv[2]
    skin = os.path.join(out, "skin")
    os.makedirs(skin, exist_ok=True)

    mask_written = False
    for lang, name in (("usa", "Config_USA.INI"), ("cht", "Config_CHT.INI")):
        cp = read_skin(os.path.join(src, name))
        face, mask = draw_face(cp, lang)
        face.save(os.path.join(skin, "face_%s.bmp" % lang))
        if not mask_written:
            make_mask(mask).save(os.path.join(skin, "mask.bmp"))
            mask_written = True
        for n, key in enumerate(BUTTON_SECTIONS, start=1):
            _, _, w, h = place(cp, "gbutton%d" % n)
            strip = draw_button_strip(w, h, TEXTS[lang]["buttons"][key], lang)
            strip.save(os.path.join(skin, "%s_%s.bmp" % (key, lang)))
        write_ini_crlf(os.path.join(src, name), os.path.join(out, name))

    _, _, sw, sh = place(read_skin(os.path.join(src, "Config_USA.INI")), "gslider1")
    channel = draw_channel(sw, sh)
    thumb = draw_thumb()
    channel.save(os.path.join(skin, "channel_h.bmp"))
    thumb.save(os.path.join(skin, "thumb_h.bmp"))
    channel.transpose(Image.ROTATE_270).save(os.path.join(skin, "channel_v.bmp"))
    thumb.transpose(Image.ROTATE_270).save(os.path.join(skin, "thumb_v.bmp"))


if __name__ == "__main__":
    main()
