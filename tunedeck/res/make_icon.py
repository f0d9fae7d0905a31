#!/usr/bin/env python3
"""Draws tunedeck.ico, the program and tray icon: a clock gauge (green to red arc,
white needle near the top of the range) on a dark card-coloured tile.

The .ico is committed; run this script again only to change the picture:
    python3 tunedeck/res/make_icon.py tunedeck/res/tunedeck.ico
Pure Python (no imaging library): each pixel is 4x4 supersampled for smooth edges.
Sizes 16, 32 and 48, 32-bit BGRA with an AND mask, as every Windows since XP and
Wine read them."""
import math
import struct
import sys

SS = 4  # supersampling per axis


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def arc_colour(t):
    # green -> yellow -> red along the gauge
    green, yellow, red = (60, 200, 80), (250, 210, 40), (230, 50, 40)
    return lerp(green, yellow, t * 2) if t < 0.5 else lerp(yellow, red, (t - 0.5) * 2)


def sample(x, y):
    """Colour (r, g, b, a) at a point of the unit square [0,1)^2, y downwards."""
    # rounded tile
    r = 0.16
    cx, cy = min(max(x, r), 1 - r), min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    tile = lerp((40, 52, 92), (16, 20, 40), y)
    colour = tile
    # gauge centre and arc (from 210 deg to -30 deg, counter-clockwise maths angles)
    gx, gy, radius = 0.5, 0.60, 0.34
    dx, dy = x - gx, gy - y
    dist = math.hypot(dx, dy)
    ang = math.degrees(math.atan2(dy, dx))
    if ang < -90:
        ang += 360
    t = (210 - ang) / 240.0  # 0 at the left end, 1 at the right end
    if 0 <= t <= 1 and radius - 0.09 <= dist <= radius:
        colour = arc_colour(t)
    # tick gaps splitting the arc in five segments
    if 0 <= t <= 1 and radius - 0.09 <= dist <= radius and min(abs(t - k / 5) for k in range(1, 5)) < 0.012:
        colour = tile
    # needle at 80 % of the range
    na = math.radians(210 - 240 * 0.8)
    nx, ny = math.cos(na), math.sin(na)
    along = dx * nx + dy * ny
    across = abs(-dx * ny + dy * nx)
    if -0.02 <= along <= radius - 0.04 and across <= 0.035 * (1 - along / radius) + 0.012:
        colour = (250, 250, 250)
    # hub
    if dist <= 0.07:
        colour = (250, 250, 250)
    if dist <= 0.03:
        colour = (200, 60, 40)
    # a row of card pins at the bottom edge
    if 0.80 <= y <= 0.88 and 0.2 <= x <= 0.8 and (x * 10) % 1 < 0.6:
        colour = (220, 180, 60)
    return colour + (255,)


def render(size):
    pixels = []  # rows top to bottom of (b, g, r, a)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    c = sample((px + (sx + 0.5) / SS) / size, (py + (sy + 0.5) / SS) / size)
                    a = c[3] / 255.0
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [acc[i] / acc[3] for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((round(rgb[2]), round(rgb[1]), round(rgb[0]), round(alpha * 255)))
        pixels.append(row)
    return pixels


def icon_image(size):
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] < 128:  # transparent where alpha is low (for mask-only readers)
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    sizes = [16, 32, 48]
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tunedeck.ico")
