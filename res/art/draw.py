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


class Drawing(Canvas):
    """A drawing on a 16-pixel grid laid out at any size: each cell covers size/16
    pixels, so that the 16-pixel image is the grid itself and the larger ones are
    the same drawing, as crisp as their size allows."""
    def __init__(self, size=16):
        super().__init__(size, size)
        self.k = size / 16

    def cells(self, x0, y0, x1, y1, c):
        k = self.k
        self.rect(int(x0 * k), int(y0 * k), int((x1 + 1) * k) - 1, int((y1 + 1) * k) - 1, c)

    def outline(self, x0, y0, x1, y1, c):
        for a, b, d, e in ((x0, y0, x1, y0), (x0, y1, x1, y1), (x0, y0, x0, y1), (x1, y0, x1, y1)):
            self.cells(a, b, d, e, c)

    def centre(self, v):   # a grid coordinate's pixel centre
        return (v + 0.5) * self.k - 0.5

    def round(self, cx, cy, r, c):
        self.disc(self.centre(cx), self.centre(cy), r * self.k, c)

    def oval(self, cx, cy, rx, ry, c):
        self.ring(self.centre(cx), self.centre(cy), rx * self.k, ry * self.k, c)

    def letters(self, rows, x0, y0, c):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == '#':
                    self.cells(x0 + dx, y0 + dy, x0 + dx, y0 + dy, c)


# The small-icon sizes that Windows asks for: 16 at 96 DPI, 20, 24 and 32 at 200%.
SMALL_SIZES = (16, 20, 24, 32)


def with_clear_32(draw):
    """The drawing at the small sizes but 32, whose image is fully transparent."""
    return [draw(size) for size in SMALL_SIZES[:-1]] + [Canvas(32, 32)]


def at_small_sizes(draw):
    return [draw(size) for size in SMALL_SIZES]


# The calendar's figures stand on the tree's window colour, white or, in high
# contrast, black: a grey edge shows on both, outside the white rim of the
# discs and squares and around the letters.
EDGE = GREY


def disc(colour):
    def draw(size):
        c = Drawing(size)
        c.round(7.5, 7.5, 7.6, EDGE)
        c.round(7.5, 7.5, 6.6, WHITE)
        c.round(7.5, 7.5, 5.3, colour)
        return c
    return draw


def square(colour, other=None):
    def draw(size):
        c = Drawing(size)
        c.outline(0, 0, 15, 15, EDGE)
        c.outline(1, 1, 14, 14, WHITE)
        for y in range(2, 14):
            for x in range(2, 14):
                chequer = other is not None and ((x // 3) + (y // 3)) % 2
                c.cells(x, y, x, y, other if chequer else colour)
        return c
    return draw


LETTER_S = [' ##### ', '##   ##', '##     ', ' ###   ', '   ### ', '     ##',
            '##   ##', ' ##### ']
# Drawn bold already: a second copy one pixel over would all but close its V.
LETTER_M = ['##      ##', '###    ###', '####  ####', '## #### ##', '##  ##  ##', '##      ##',
            '##      ##', '##      ##']


def letter(rows, columns):
    """The glyph at each of columns: two copies a pixel apart make a thin one bold;
    under it, an edge a pixel round."""
    def draw(size):
        c = Drawing(size)
        for x in columns:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    c.letters(rows, x + dx, 3 + dy, EDGE)
        for x in columns:
            c.letters(rows, x, 3, NAVY)
        return c
    return draw


FRANCE = ['      ##      ', '    ######    ', '  ##########  ', ' ############ ',
          '##############', '##############', ' #############', ' ############ ',
          '##############', ' #############', '  ########### ', '   ######### ',
          '     #####    ']


def france(size):
    c = Drawing(size)
    c.letters(FRANCE, 2, 2, GREY)   # the shadow, one pixel down and right
    for dy, row in enumerate(FRANCE):
        for dx, ch in enumerate(row):
            if ch == '#':
                band = BLUE if dx < 5 else WHITE if dx < 10 else RED
                c.cells(dx + 1, dy + 1, dx + 1, dy + 1, band)
    return c


def ellipse(size):
    c = Drawing(size)
    c.oval(7.5, 7.5, 7.5, 5.5, EDGE)
    c.oval(7.5, 7.5, 6.5, 4.5, DARKRED)
    return c


def folder(size):
    c = Drawing(size)
    c.cells(1, 3, 6, 4, OLIVE)
    c.cells(1, 5, 14, 13, YELLOW)
    c.outline(1, 5, 14, 13, OLIVE)
    return c


def hard_disk(size):
    c = Drawing(size)
    c.cells(1, 5, 14, 11, SILVER)
    c.outline(1, 5, 14, 11, BLACK)
    c.cells(3, 8, 8, 8, GREY)
    c.cells(12, 8, 12, 8, LIME)
    return c


def cdrom(size):
    c = Drawing(size)
    c.cells(1, 9, 14, 13, SILVER)
    c.outline(1, 9, 14, 13, BLACK)
    c.round(7.5, 5.5, 5.2, CYAN)
    c.round(7.5, 5.5, 1.2, WHITE)
    c.cells(12, 11, 12, 11, LIME)
    return c


def floppy(size):
    c = Drawing(size)
    c.cells(1, 9, 14, 13, SILVER)
    c.outline(1, 9, 14, 13, BLACK)
    c.cells(4, 11, 11, 11, BLACK)
    c.cells(4, 1, 11, 9, NAVY)
    c.cells(6, 1, 9, 3, SILVER)
    c.cells(5, 6, 10, 9, WHITE)
    return c


def program(size=16):
    """A small monitor showing a calendar page: 16 and 32 for the classic systems,
    24 and 48 for the tray and the shell at 150%."""
    c = Drawing(size)
    c.cells(1, 1, 14, 11, GREY)
    c.cells(2, 2, 13, 10, TEAL)
    c.cells(5, 3, 10, 9, WHITE)
    c.cells(5, 3, 10, 4, RED)
    c.cells(7, 6, 7, 6, BLACK)
    c.cells(8, 7, 8, 7, BLACK)
    c.cells(6, 12, 9, 12, GREY)
    c.cells(3, 13, 12, 14, SILVER)
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
    129: with_clear_32(france),
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
    135: with_clear_32(ellipse),
    146: at_small_sizes(folder),
    140: at_small_sizes(hard_disk),
    137: at_small_sizes(cdrom),
    141: at_small_sizes(floppy),
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
