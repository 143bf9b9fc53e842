"""Drawing primitives for the skin artwork.

Every picture is drawn at SCALE times its size and box-reduced at the end,
which gives clean anti-aliased edges with nothing but Pillow's basic shapes.
Shapes are composited through a coverage mask so that translucent fills blend
with what lies below instead of replacing it.
"""
import math
import os
import struct

from PIL import Image, ImageDraw, ImageFont

SCALE = 4

# A calm practice-room palette: warm paper, slate ink and a soft teal accent.
PAPER = (247, 243, 234)
PAPER_HI = (253, 251, 246)
PAPER_DK = (236, 230, 218)
PAPER_DEEP = (226, 219, 205)
LINE = (214, 205, 188)
LINE_DK = (190, 180, 162)
INK = (52, 64, 74)
MUTED = (122, 136, 141)
SLATE = (47, 69, 80)
SLATE_HI = (66, 92, 104)
TEAL = (62, 142, 137)
TEAL_HI = (78, 160, 154)
TEAL_DK = (44, 108, 104)
TEAL_LT = (222, 237, 233)
TEAL_MID = (172, 209, 202)
TEAL_PUSH = (196, 224, 218)
DISABLED = (192, 186, 174)
DISABLED_LT = (238, 234, 226)
TERRA = (190, 104, 84)
TERRA_DK = (160, 84, 66)
OCHRE = (203, 160, 92)
OCHRE_DK = (160, 120, 62)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

FONT_DIRS = ["/usr/share/fonts/truetype/dejavu"]


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    for folder in FONT_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    raise SystemExit("DejaVu fonts are missing (apt-get install fonts-dejavu-core)")


class Pic:
    """A picture of w x h pixels drawn in pixel coordinates (floats allowed)."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        colour = rgba(background) if background else (0, 0, 0, 0)
        self.im = Image.new("RGBA", (w * SCALE, h * SCALE), colour)

    # -- compositing -------------------------------------------------------
    def _paint(self, colour, draw_mask):
        alpha = colour[3] if len(colour) > 3 else 255
        mask = Image.new("L", self.im.size, 0)
        draw_mask(ImageDraw.Draw(mask))
        if alpha < 255:
            mask = mask.point(lambda v: v * alpha // 255)
        layer = Image.new("RGBA", self.im.size, tuple(colour[:3]) + (0,))
        layer.putalpha(mask)
        self.im.alpha_composite(layer)

    @staticmethod
    def _box(x0, y0, x1, y1):
        s = SCALE
        return [round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1]

    # -- shapes --------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, colour):
        self._paint(colour, lambda d: d.rectangle(self._box(x0, y0, x1, y1), fill=255))

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1.0):
        box = self._box(x0, y0, x1, y1)
        rad = max(0, round(r * SCALE))
        if fill:
            self._paint(fill, lambda d: d.rounded_rectangle(box, rad, fill=255))
        if outline:
            w = max(1, round(width * SCALE))
            self._paint(outline, lambda d: d.rounded_rectangle(box, rad, outline=255, width=w))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        box = self._box(cx - r, cy - r, cx + r, cy + r)
        if fill:
            self._paint(fill, lambda d: d.ellipse(box, fill=255))
        if outline:
            w = max(1, round(width * SCALE))
            self._paint(outline, lambda d: d.ellipse(box, outline=255, width=w))

    def ellipse(self, x0, y0, x1, y1, fill):
        self._paint(fill, lambda d: d.ellipse(self._box(x0, y0, x1, y1), fill=255))

    def poly(self, points, fill):
        pts = [(x * SCALE, y * SCALE) for x, y in points]
        self._paint(fill, lambda d: d.polygon(pts, fill=255))

    def line(self, points, colour, width=1.5, caps=True):
        """A polyline with round caps and joints."""
        pts = [(x * SCALE, y * SCALE) for x, y in points]
        w = width * SCALE

        def draw(d):
            d.line(pts, fill=255, width=max(1, round(w)), joint="curve")
            if caps:
                for x, y in pts:
                    d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=255)
        self._paint(colour, draw)

    def arc(self, cx, cy, r, start, end, colour, width=1.5):
        box = self._box(cx - r, cy - r, cx + r, cy + r)
        w = max(1, round(width * SCALE))
        self._paint(colour, lambda d: d.arc(box, start, end, fill=255, width=w))

    def text(self, cx, cy, s, size, colour, bold=True):
        """Text centred on its ink box at (cx, cy)."""
        f = font(round(size * SCALE), bold)

        def draw(d):
            l, t, r, b = d.textbbox((0, 0), s, font=f)
            d.text((cx * SCALE - (l + r) / 2, cy * SCALE - (t + b) / 2), s, font=f, fill=255)
        self._paint(colour, draw)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        """A vertical gradient filling the rectangle, opaque colours only."""
        bx0, by0, bx1, by1 = (round(v * SCALE) for v in (x0, y0, x1, y1))
        h = max(1, by1 - by0)
        column = Image.new("RGBA", (1, h))
        for i in range(h):
            t = i / max(1, h - 1)
            column.putpixel((0, i), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
        self.im.alpha_composite(column.resize((bx1 - bx0, h), Image.NEAREST), (bx0, by0))

    def image(self):
        return self.im.reduce(SCALE)


def strip(frames, vertical=False):
    """Frames side by side (or stacked) in one image."""
    w = max(f.width for f in frames) if vertical else sum(f.width for f in frames)
    h = sum(f.height for f in frames) if vertical else max(f.height for f in frames)
    out = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    pos = 0
    for f in frames:
        out.paste(f, (0, pos) if vertical else (pos, 0))
        pos += f.height if vertical else f.width
    return out


def rotate_points(points, cx, cy, degrees):
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in points]


# -- Windows icon and cursor files ------------------------------------------
def _dib(image):
    """32-bit DIB with its AND mask, as icon and cursor resources store it."""
    w, h = image.size
    px = image.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_icon_file(path, images, hotspots=None):
    """An .ico (hotspots None) or .cur file of 32-bit DIB entries."""
    kind = 1 if hotspots is None else 2
    blobs = [_dib(im) for im in images]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for i, (im, blob) in enumerate(zip(images, blobs)):
        w, h = im.size
        a, b = (1, 32) if hotspots is None else hotspots[i]
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))
