#!/usr/bin/python3
"""Draws every image of the skin package and the DLL's picture resources.

Run from anywhere with Debian's Pillow (apt-get install python3-pil):
    /usr/bin/python3 tools/skinart/make_skin_art.py [--sheet contact.png]
It rewrites skin/*.png and skin/resources/*; the results are committed, so a
build never needs Pillow. The output is the same on every run (no randomness,
no time stamps in the PNG files).
"""
import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image, ImageDraw  # noqa: E402

import library_art  # noqa: E402
import player_art  # noqa: E402
from paint import font, write_icon_file  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def save_png(image, path):
    image.save(path, "PNG", optimize=True)


def contact_sheet(art, path):
    """All images at twice their size on paper and on a dark strip, labelled."""
    label = font(11, bold=False)
    cells = []
    for name in sorted(art):
        im = art[name]
        zoom = 2 if im.width <= 300 else 1
        cells.append((name, im.resize((im.width * zoom, im.height * zoom), Image.NEAREST)))
    width = 1700
    x = y = 10
    row_h = 0
    placed = []
    for name, im in cells:
        w, h = max(im.width, 160), im.height + 18
        if x + w > width:
            x, y = 10, y + row_h + 12
            row_h = 0
        placed.append((name, im, x, y))
        x += w + 14
        row_h = max(row_h, h)
    sheet = Image.new("RGBA", (width, y + row_h + 10), (200, 196, 188, 255))
    d = ImageDraw.Draw(sheet)
    for name, im, x, y in placed:
        d.rectangle([x - 2, y - 2, x + im.width + 1, y + im.height + 1], fill=(255, 255, 255, 255))
        sheet.alpha_composite(im, (x, y))
        d.text((x, y + im.height + 3), name, font=label, fill=(40, 40, 40, 255))
    sheet.convert("RGB").save(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sheet", help="also write a contact sheet of every image")
    parser.add_argument("--out", default=os.path.join(ROOT, "skin"), help="skin folder to write")
    args = parser.parse_args()

    art = {}
    art.update(player_art.build())
    art.update(library_art.build())
    os.makedirs(args.out, exist_ok=True)
    for name, image in art.items():
        save_png(image, os.path.join(args.out, name))

    res_dir = os.path.join(args.out, "resources")
    os.makedirs(res_dir, exist_ok=True)
    res = library_art.resources()
    save_png(res["loading.png"], os.path.join(res_dir, "loading.png"))
    write_icon_file(os.path.join(res_dir, "melvane.ico"), res["melvane.ico"])
    for name in ("hand_hover.cur", "hand_drag.cur"):
        image, hotspot = res[name]
        write_icon_file(os.path.join(res_dir, name), [image], [hotspot])

    if args.sheet:
        extra = {"res/loading.png": res["loading.png"], "res/hand_hover.cur": res["hand_hover.cur"][0],
                 "res/hand_drag.cur": res["hand_drag.cur"][0]}
        for im in res["melvane.ico"]:
            extra["res/melvane.ico %d" % im.width] = im
        contact_sheet(dict(art, **extra), args.sheet)
    print("%d skin images written to %s" % (len(art), args.out))


if __name__ == "__main__":
    main()
