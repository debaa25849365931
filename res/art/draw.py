#!/usr/bin/env python3
"""Draws the program's icons and bitmaps: 16-colour pictures in the platform's
ICO and BMP forms, written into the folder given as the only argument."""
import struct
import sys
from pathlib import Path

# The 16 colours of the standard palette, by name.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKRED, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, CYAN, WHITE = range(8, 16)
CLEAR = None


class Canvas:
    def __init__(self, w, h, fill=CLEAR):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, rx, ry, c):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if 0.62 <= d <= 1.08:
                    self.set(x, y, c)

    def glyph(self, rows, x0, y0, c):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == '#':
                    self.set(x0 + dx, y0 + dy, c)

    def scaled(self, k):
        out = Canvas(self.w * k, self.h * k)
        for y in range(out.h):
            for x in range(out.w):
                out.px[y][x] = self.px[y // k][x // k]
        return out


def rows4(canvas):
    """4-bit pixel rows, bottom-up, each padded to 4 bytes; clear pixels are 0."""
    out = b''
    stride = ((canvas.w * 4 + 31) // 32) * 4
    for y in reversed(range(canvas.h)):
        nibbles = [c or 0 for c in canvas.px[y]]
        if len(nibbles) % 2:
            nibbles.append(0)
        row = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
        out += row.ljust(stride, b'\0')
    return out


def mask_rows(canvas):
    stride = ((canvas.w + 31) // 32) * 4
    out = b''
    for y in reversed(range(canvas.h)):
        row = bytearray(stride)
        for x, c in enumerate(canvas.px[y]):
            if c is CLEAR:
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def icon_image(canvas):
    header = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + palette_bytes() + rows4(canvas) + mask_rows(canvas)


def write_ico(path, images):
    data = b''
    entries = b''
    offset = 6 + 16 * len(images)
    for canvas in images:
        image = icon_image(canvas)
        entries += struct.pack('<BBBBHHII', canvas.w % 256, canvas.h % 256, 16, 0, 1, 4,
                               len(image), offset)
        offset += len(image)
        data += image
    path.write_bytes(struct.pack('<HHH', 0, 1, len(images)) + entries + data)


def write_bmp(path, canvas):
    pixels = rows4(canvas)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    off = 14 + len(info) + 64
    path.write_bytes(struct.pack('<2sIHHI', b'BM', off + len(pixels), 0, 0, off) + info +
                     palette_bytes() + pixels)


def with_clear_32(small):
    """The 16x16 drawing beside a fully transparent 32x32 image."""
    return [small, Canvas(32, 32)]


def with_32(small):
    """The same drawing at 16x16 and at 32x32."""
    return [small, small.scaled(2)]


def disc(colour):
    c = Canvas(16, 16)
    c.disc(7.5, 7.5, 7.4, WHITE)
    c.disc(7.5, 7.5, 5.9, colour)
    return c


def square(colour, other=None):
    c = Canvas(16, 16)
    c.frame(1, 1, 14, 14, WHITE)
    for y in range(2, 14):
        for x in range(2, 14):
            chequer = other is not None and ((x // 3) + (y // 3)) % 2
            c.set(x, y, other if chequer else colour)
    return c


LETTER_S = [' ##### ', '##   ##', '##     ', ' ###   ', '   ### ', '     ##',
            '##   ##', ' ##### ']
# Drawn bold already: a second copy one pixel over would fill the V into an H.
LETTER_M = ['##      ##', '###    ###', '####  ####', '## #### ##', '##  ##  ##', '##      ##',
            '##      ##', '##      ##']


def letter(rows, columns):
    """The glyph at each of columns: two copies a pixel apart make a thin one bold."""
    c = Canvas(16, 16)
    for x in columns:
        c.glyph(rows, x, 3, NAVY)
    return c


FRANCE = ['      ##      ', '    ######    ', '  ##########  ', ' ############ ',
          '##############', '##############', ' #############', ' ############ ',
          '##############', ' #############', '  ########### ', '   ######### ',
          '     #####    ']


def france():
    c = Canvas(16, 16)
    for dy, row in enumerate(FRANCE):
        for dx, ch in enumerate(row):
            if ch == '#':
                c.set(dx + 2, dy + 2, GREY)   # the shadow, one pixel down and right
    for dy, row in enumerate(FRANCE):
        for dx, ch in enumerate(row):
            if ch == '#':
                band = BLUE if dx < 5 else WHITE if dx < 10 else RED
                c.set(dx + 1, dy + 1, band)
    return c


def ellipse():
    c = Canvas(16, 16)
    c.ring(7.5, 7.5, 7.5, 5.5, DARKRED)
    return c


def folder():
    c = Canvas(16, 16)
    c.rect(1, 3, 6, 4, OLIVE)
    c.rect(1, 5, 14, 13, YELLOW)
    c.frame(1, 5, 14, 13, OLIVE)
    return c


def hard_disk():
    c = Canvas(16, 16)
    c.rect(1, 5, 14, 11, SILVER)
    c.frame(1, 5, 14, 11, BLACK)
    c.rect(3, 8, 8, 8, GREY)
    c.set(12, 8, LIME)
    return c


def cdrom():
    c = Canvas(16, 16)
    c.rect(1, 9, 14, 13, SILVER)
    c.frame(1, 9, 14, 13, BLACK)
    c.disc(7.5, 5.5, 5.2, CYAN)
    c.disc(7.5, 5.5, 1.2, WHITE)
    c.set(12, 11, LIME)
    return c


def floppy():
    c = Canvas(16, 16)
    c.rect(1, 9, 14, 13, SILVER)
    c.frame(1, 9, 14, 13, BLACK)
    c.rect(4, 11, 11, 11, BLACK)
    c.rect(4, 1, 11, 9, NAVY)
    c.rect(6, 1, 9, 3, SILVER)
    c.rect(5, 6, 10, 9, WHITE)
    return c


def program(size=16):
    """A small monitor showing a calendar page, drawn on a 16-pixel grid and laid
    out at any size: 16 and 32 for the classic systems, 24 and 48 for the tray
    and the shell at 150%."""
    c = Canvas(size, size)
    k = size / 16

    def box(x0, y0, x1, y1, colour):   # the grid's cells x0..x1, y0..y1
        c.rect(int(x0 * k), int(y0 * k), int((x1 + 1) * k) - 1, int((y1 + 1) * k) - 1, colour)

    box(1, 1, 14, 11, GREY)
    box(2, 2, 13, 10, TEAL)
    box(5, 3, 10, 9, WHITE)
    box(5, 3, 10, 4, RED)
    box(7, 6, 7, 6, BLACK)
    box(8, 7, 8, 7, BLACK)
    box(6, 12, 9, 12, GREY)
    box(3, 13, 12, 14, SILVER)
    return c


def monitor():
    """Bitmap 138: a grey monitor with a teal screen, 150x139."""
    c = Canvas(150, 139, SILVER)
    c.rect(4, 2, 145, 112, GREY)
    c.frame(4, 2, 145, 112, BLACK)
    c.rect(14, 10, 135, 102, TEAL)
    c.frame(13, 9, 136, 103, BLACK)
    c.rect(60, 113, 89, 122, GREY)
    c.rect(25, 123, 124, 134, GREY)
    c.frame(25, 123, 124, 134, BLACK)
    c.rect(118, 106, 121, 108, LIME)
    return c


def empty_screen():
    """Bitmap 139: a plain teal area, 82x88."""
    return Canvas(82, 88, TEAL)


ICONS = {
    128: [program(size) for size in (16, 32, 24, 48)],
    129: with_clear_32(france()),
    130: with_clear_32(letter(LETTER_S, [4, 5])),
    131: with_clear_32(letter(LETTER_M, [3])),
    132: with_clear_32(disc(RED)),
    152: with_clear_32(disc(CYAN)),
    147: with_clear_32(disc(OLIVE)),
    148: with_clear_32(disc(GREEN)),
    151: with_clear_32(disc(BLACK)),
    149: with_clear_32(disc(WHITE)),
    133: with_clear_32(disc(YELLOW)),
    134: with_clear_32(square(RED)),
    153: with_clear_32(square(YELLOW)),
    162: with_clear_32(square(WHITE)),
    163: with_clear_32(square(SILVER)),
    154: with_clear_32(square(TEAL)),
    155: with_clear_32(square(RED, WHITE)),
    161: with_clear_32(square(BLACK, GREY)),
    160: with_clear_32(square(CYAN)),
    156: with_clear_32(square(YELLOW, WHITE)),
    159: with_clear_32(square(LIME)),
    157: with_clear_32(square(GREEN, WHITE)),
    158: with_clear_32(square(DARKRED)),
    135: with_clear_32(ellipse()),
    146: with_32(folder()),
    140: with_32(hard_disk()),
    137: with_32(cdrom()),
    141: with_32(floppy()),
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for number, images in ICONS.items():
        write_ico(out / f'icon{number}.ico', images)
    write_bmp(out / 'bitmap138.bmp', monitor())
    write_bmp(out / 'bitmap139.bmp', empty_screen())


if __name__ == '__main__':
    main()
