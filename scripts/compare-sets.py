#!/usr/bin/python3
"""Compares two folders made by scripts/picture-set.sh: pictures pixel for pixel, every other
file byte for byte. Prints one line per file that differs and exits 1 if any does.

    python3 scripts/compare-sets.py BEFORE_DIR AFTER_DIR
"""
import os
import sys

from PIL import Image, ImageChops


def differing_pixels(a, b):
    first, second = Image.open(a).convert("RGBA"), Image.open(b).convert("RGBA")
    if first.size != second.size:
        return -1
    diff = ImageChops.difference(first, second).convert("L")
    return sum(1 for value in diff.getdata() if value)


def main():
    before, after = sys.argv[1], sys.argv[2]
    names = sorted(set(os.listdir(before)) | set(os.listdir(after)))
    bad = 0
    for name in names:
        a, b = os.path.join(before, name), os.path.join(after, name)
        if not (os.path.exists(a) and os.path.exists(b)):
            print(f"{name}: only in {'after' if os.path.exists(b) else 'before'}")
            bad += 1
        elif name.endswith(".png"):
            count = differing_pixels(a, b)
            if count:
                print(f"{name}: {'other size' if count < 0 else f'{count} pixels differ'}")
                bad += 1
        elif open(a, "rb").read() != open(b, "rb").read():
            print(f"{name}: bytes differ")
            bad += 1
    print(f"{len(names) - bad} of {len(names)} files the same")
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
