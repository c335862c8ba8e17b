#!/usr/bin/python3
"""Draws the application icon into packaging/icons/: a radial tree with bundled relation edges.

Run with Debian's /usr/bin/python3 (python3-pil): bash scripts/install-deps.sh installs it.

The picture is what the viewer shows, reduced to a few strokes: a root in the middle, four inner
vertices, twelve leaves on a ring, and relation edges between leaves drawn as cubic B-splines whose
control points follow the tree path between the ends, pulled towards the straight line by the
bundling strength. Each curve fades from green at its start to red at its end. The curves share
the tree's branches, so they gather into bundles towards the middle.

packaging/icons/<N>x<N>/ramiflex.png  for N in SIZES, each drawn at four times its size and
                                      reduced, which smooths the edges.
packaging/icons/ramiflex.svg          the same strokes as a scalable image.
"""

import math
import os

from PIL import Image, ImageDraw

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(ROOT, "packaging", "icons")
SIZES = (16, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4

BETA = 0.8  # bundling strength: 1 follows the tree path, 0 is a straight line
SAMPLES = 48  # points per curve
BACKGROUND = (30, 36, 48)
TREE = (105, 115, 132)
LEAF = (235, 235, 240)
START = (70, 200, 90)
END = (230, 70, 60)

LEAVES = 12
GROUPS = 4
# Relation edges as (start leaf, end leaf): several between the same groups, so they bundle.
RELATIONS = [(0, 6), (1, 7), (2, 8), (1, 4), (2, 5), (3, 9), (4, 10), (5, 11), (6, 0),
             (7, 10), (9, 1), (11, 3), (8, 2), (10, 5)]


def tree_positions():
    """Positions in the unit square: root, inner vertex per group, leaves on a ring."""
    centre = (0.5, 0.5)
    inner = []
    leaves = []
    per_group = LEAVES // GROUPS
    for g in range(GROUPS):
        angle = 2 * math.pi * (g * per_group + (per_group - 1) / 2) / LEAVES - math.pi / 2
        inner.append((0.5 + 0.2 * math.cos(angle), 0.5 + 0.2 * math.sin(angle)))
    for leaf in range(LEAVES):
        angle = 2 * math.pi * leaf / LEAVES - math.pi / 2
        leaves.append((0.5 + 0.4 * math.cos(angle), 0.5 + 0.4 * math.sin(angle)))
    return centre, inner, leaves


def curve(a, b, centre, inner, leaves):
    """Samples of the bundled curve from leaf a to leaf b."""
    per_group = LEAVES // GROUPS
    ga, gb = a // per_group, b // per_group
    path = [leaves[a], inner[ga]] + ([centre, inner[gb]] if ga != gb else []) + [leaves[b]]
    first, last = path[0], path[-1]
    n = len(path) - 1
    control = []
    for i, (x, y) in enumerate(path):
        t = i / n
        lx, ly = first[0] + t * (last[0] - first[0]), first[1] + t * (last[1] - first[1])
        control.append((BETA * x + (1 - BETA) * lx, BETA * y + (1 - BETA) * ly))
    # Ends repeated so that the uniform cubic B-spline starts and ends on the leaves.
    control = [control[0]] * 2 + control + [control[-1]] * 2
    spans = len(control) - 3
    points = []
    for s in range(SAMPLES + 1):
        u = s / SAMPLES * spans
        k = min(int(u), spans - 1)
        t = u - k
        w = ((1 - t) ** 3 / 6, (3 * t**3 - 6 * t**2 + 4) / 6,
             (-3 * t**3 + 3 * t**2 + 3 * t + 1) / 6, t**3 / 6)
        points.append((sum(w[j] * control[k + j][0] for j in range(4)),
                       sum(w[j] * control[k + j][1] for j in range(4))))
    return points


def mix(t):
    return tuple(round(START[c] + t * (END[c] - START[c])) for c in range(3))


def strokes(pieces):
    """Every stroke as (kind, points, colour, width in units of the icon's size); each curve is
    drawn as pieces polylines, a divisor of SAMPLES."""
    centre, inner, leaves = tree_positions()
    result = []
    per_group = LEAVES // GROUPS
    for g, point in enumerate(inner):
        result.append(("line", [centre, point], TREE, 0.014))
        for leaf in range(g * per_group, (g + 1) * per_group):
            result.append(("line", [point, leaves[leaf]], TREE, 0.01))
    # Each curve in pieces of one colour: many short ones make a smooth fade in the pictures, a few
    # longer ones keep the scalable image small.
    for a, b in RELATIONS:
        points = curve(a, b, centre, inner, leaves)
        step = (len(points) - 1) // pieces
        for i in range(0, len(points) - 1, step):
            result.append(("line", points[i:i + step + 1], mix(i / (len(points) - 1 - step)),
                           0.024))
    result.append(("dot", [centre], TREE, 0.035))
    for point in inner:
        result.append(("dot", [point], TREE, 0.025))
    for point in leaves:
        result.append(("dot", [point], LEAF, 0.035))
    return result


def draw_png(size):
    big = size * SUPERSAMPLE
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, big - 1, big - 1), radius=big * 0.18, fill=BACKGROUND)
    # Small icons get relatively thicker strokes, or the curves vanish when reduced.
    boost = max(1.0, 48 / size)
    for kind, points, colour, width in strokes(SAMPLES):
        pixels = [(x * big, y * big) for x, y in points]
        if kind == "line":
            stroke = max(1, round(width * big * boost))
            draw.line(pixels, fill=colour, width=stroke)
            for x, y in pixels:  # round joints between the short segments
                r = stroke / 2
                draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)
        else:
            x, y = pixels[0]
            r = width * big * min(boost, 1.5)
            draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)
    return image.resize((size, size), Image.LANCZOS)


def svg():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">',
             '<rect x="0" y="0" width="256" height="256" rx="46" fill="rgb%s" stroke="none"/>'
             % (BACKGROUND,)]
    for kind, points, colour, width in strokes(8):
        pixels = [(x * 256, y * 256) for x, y in points]
        if kind == "line":
            lines.append('<polyline points="%s" fill="none" stroke="rgb%s" stroke-width="%.2f" '
                         'stroke-linecap="round" stroke-linejoin="round"/>'
                         % (" ".join("%.1f,%.1f" % p for p in pixels), colour, width * 256))
        else:
            x, y = pixels[0]
            lines.append('<circle cx="%.2f" cy="%.2f" r="%.2f" fill="rgb%s" stroke="none"/>'
                         % (x, y, width * 256, colour))
    lines.append("</svg>")
    return "\n".join(lines).replace(", ", ",") + "\n"


def main():
    for size in SIZES:
        folder = os.path.join(OUT, "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        draw_png(size).save(os.path.join(folder, "ramiflex.png"), optimize=True)
    with open(os.path.join(OUT, "ramiflex.svg"), "w", encoding="utf-8") as out:
        out.write(svg())


if __name__ == "__main__":
    main()
