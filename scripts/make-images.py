#!/usr/bin/python3
"""Draws the three textures the viewer reads at start-up into imgs/.

Run with Debian's /usr/bin/python3 (python3-pil): bash scripts/install-deps.sh installs it.

imgs/Font.png        512 x 512 bitmap font: a 16 x 16 grid of 32-pixel cells, white with the
                     glyph shape in alpha. Cell g lies in column g mod 16, row g div 16 counted
                     from the top. Character code c of set s is in cell c - 32 + 128 * s; both
                     sets hold printable ASCII (32 .. 126). The text overlay advances the pen by
                     7.4 of 16 cell units, so each glyph keeps to the left half of its cell.
imgs/cushion_tex.png 256 x 256 cushion: a parabolic bump lit from straight above, bright in the
                     middle and darker towards the edges, opaque.
imgs/lighttex.png    256 x 256 soft radial light spot, white with falling intensity and alpha.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
IMGS = os.path.join(ROOT, "imgs")
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"

CELL = 32
GRID = 16


def make_font(path):
    image = Image.new("RGBA", (CELL * GRID, CELL * GRID), (255, 255, 255, 0))
    mask = Image.new("L", image.size, 0)
    draw = ImageDraw.Draw(mask)
    # 24 pixels: DejaVu Sans Mono advances 0.6 em = 14.4 pixels, just under the overlay's
    # 7.4 / 16 of a cell, and ascent plus descent fit the cell's height.
    font = ImageFont.truetype(FONT_FILE, 24)
    ascent, descent = font.getmetrics()
    top = (CELL - (ascent + descent)) // 2
    for glyph_set in (0, 1):
        for code in range(32, 127):
            cell = code - 32 + 128 * glyph_set
            x = (cell % GRID) * CELL
            y = (cell // GRID) * CELL
            draw.text((x + 1, y + top), chr(code), font=font, fill=255)
    image.putalpha(mask)
    image.save(path)


def make_cushion(path, size=256):
    image = Image.new("RGBA", (size, size))
    pixels = image.load()
    height = 0.6  # bump height; larger makes the edges darker
    for j in range(size):
        v = (j + 0.5) / size
        for i in range(size):
            u = (i + 0.5) / size
            # Surface z = height * (4u(1-u) + 4v(1-v)); light straight above: brightness is the
            # z component of the unit normal.
            dzdu = height * 4.0 * (1.0 - 2.0 * u)
            dzdv = height * 4.0 * (1.0 - 2.0 * v)
            lambert = 1.0 / math.sqrt(dzdu * dzdu + dzdv * dzdv + 1.0)
            value = int(round(255 * (0.25 + 0.75 * lambert)))
            pixels[i, j] = (value, value, value, 255)
    image.save(path)


def make_light(path, size=256):
    image = Image.new("RGBA", (size, size))
    pixels = image.load()
    centre = (size - 1) / 2.0
    for j in range(size):
        for i in range(size):
            r = math.hypot(i - centre, j - centre) / centre
            falloff = max(0.0, 1.0 - r)
            intensity = falloff * falloff * (3.0 - 2.0 * falloff)  # smoothstep
            value = int(round(255 * intensity))
            pixels[i, j] = (255, 255, 255, value)
    image.save(path)


def main():
    os.makedirs(IMGS, exist_ok=True)
    make_font(os.path.join(IMGS, "Font.png"))
    make_cushion(os.path.join(IMGS, "cushion_tex.png"))
    make_light(os.path.join(IMGS, "lighttex.png"))


if __name__ == "__main__":
    main()
