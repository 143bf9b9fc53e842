"""Pictograms drawn into a square box of a Pic.

Each function takes the picture, the box (x, y, size) and a colour, and works
in unit coordinates inside the box so that one drawing serves every size.
"""
import math

from paint import rgba


class Box:
    def __init__(self, pic, x, y, size, stroke=None):
        self.p, self.x, self.y, self.s = pic, x, y, size
        self.sw = stroke if stroke else max(1.3, size / 12.0)

    def pt(self, u, v):
        return (self.x + u * self.s, self.y + v * self.s)

    def line(self, pts, colour, width=None):
        self.p.line([self.pt(u, v) for u, v in pts], rgba(colour), width or self.sw)

    def poly(self, pts, colour):
        self.p.poly([self.pt(u, v) for u, v in pts], rgba(colour))

    def rrect(self, u0, v0, u1, v1, r, fill=None, outline=None, width=None):
        x0, y0 = self.pt(u0, v0)
        x1, y1 = self.pt(u1, v1)
        self.p.rrect(x0, y0, x1, y1, r * self.s, fill and rgba(fill), outline and rgba(outline),
                     width or self.sw)

    def circle(self, u, v, r, fill=None, outline=None, width=None):
        cx, cy = self.pt(u, v)
        self.p.circle(cx, cy, r * self.s, fill and rgba(fill), outline and rgba(outline), width or self.sw)

    def text(self, u, v, s, size, colour):
        cx, cy = self.pt(u, v)
        self.p.text(cx, cy, s, size * self.s, rgba(colour))


def folder(b, c, open_lid=False, fill=None):
    back = [(0.08, 0.22), (0.38, 0.22), (0.47, 0.32), (0.92, 0.32), (0.92, 0.82), (0.08, 0.82)]
    if fill:
        b.poly(back, fill)
    b.line(back + [back[0]], c)
    if open_lid:
        b.poly([(0.08, 0.82), (0.24, 0.48), (0.99, 0.48), (0.86, 0.82)], c)


def magnifier(b, c, sign=None):
    b.circle(0.42, 0.42, 0.27, outline=c, width=b.sw * 1.1)
    b.line([(0.63, 0.63), (0.88, 0.88)], c, b.sw * 1.8)
    if sign:
        b.line([(0.3, 0.42), (0.54, 0.42)], c)
        if sign == "+":
            b.line([(0.42, 0.3), (0.42, 0.54)], c)


def fit_width(b, c):
    b.line([(0.1, 0.2), (0.1, 0.8)], c)
    b.line([(0.9, 0.2), (0.9, 0.8)], c)
    b.line([(0.24, 0.5), (0.76, 0.5)], c)
    b.line([(0.36, 0.37), (0.23, 0.5), (0.36, 0.63)], c)
    b.line([(0.64, 0.37), (0.77, 0.5), (0.64, 0.63)], c)


def repeat_ab(b, c):
    b.text(0.24, 0.66, "A", 0.42, c)
    b.text(0.76, 0.66, "B", 0.42, c)
    cx, cy = b.pt(0.5, 0.5)
    b.p.arc(cx, cy, 0.3 * b.s, 200, 340, rgba(c), b.sw)
    b.line([(0.66, 0.2), (0.79, 0.33), (0.64, 0.4)], c)


def triangle(b, c, left, u0=0.3, u1=0.72):
    tip, base = (u0, u1) if left else (u1, u0)
    b.poly([(base, 0.24), (tip, 0.5), (base, 0.76)], c)


def page_turn(b, c, kind):
    if kind == "prev":
        triangle(b, c, True, 0.28, 0.7)
    elif kind == "next":
        triangle(b, c, False, 0.3, 0.72)
    elif kind == "home":
        b.line([(0.16, 0.24), (0.16, 0.76)], c, b.sw * 1.2)
        triangle(b, c, True, 0.22, 0.54)
        triangle(b, c, True, 0.5, 0.82)
    else:
        triangle(b, c, False, 0.18, 0.5)
        triangle(b, c, False, 0.46, 0.78)
        b.line([(0.84, 0.24), (0.84, 0.76)], c, b.sw * 1.2)


def minus(b, c):
    b.line([(0.28, 0.5), (0.72, 0.5)], c)


def plus(b, c):
    minus(b, c)
    b.line([(0.5, 0.28), (0.5, 0.72)], c)


def caption_glyph(b, c, kind):
    if kind == "min":
        b.line([(0.28, 0.66), (0.72, 0.66)], c)
    elif kind == "max":
        b.rrect(0.22, 0.24, 0.78, 0.76, 0.05, outline=c)
    elif kind == "restore":
        b.line([(0.4, 0.3), (0.4, 0.24), (0.78, 0.24), (0.78, 0.6), (0.7, 0.6)], c)
        b.rrect(0.22, 0.4, 0.62, 0.78, 0.05, outline=c)
    elif kind == "close":
        b.line([(0.3, 0.3), (0.7, 0.7)], c)
        b.line([(0.7, 0.3), (0.3, 0.7)], c)
    else:  # settings: a small gear
        for i in range(8):
            a = i * math.pi / 4
            u, v = 0.5 + 0.3 * math.cos(a), 0.5 + 0.3 * math.sin(a)
            w, z = 0.5 + 0.4 * math.cos(a), 0.5 + 0.4 * math.sin(a)
            b.line([(u, v), (w, z)], c, b.sw * 1.3)
        b.circle(0.5, 0.5, 0.24, outline=c, width=b.sw * 1.2)


def play(b, c):
    b.poly([(0.36, 0.24), (0.78, 0.5), (0.36, 0.76)], c)


def pause(b, c):
    b.rrect(0.3, 0.26, 0.43, 0.74, 0.03, fill=c)
    b.rrect(0.57, 0.26, 0.7, 0.74, 0.03, fill=c)


def stop(b, c):
    b.rrect(0.3, 0.3, 0.7, 0.7, 0.06, fill=c)


def note(b, c):
    """An eighth note."""
    b.p.ellipse(*b.pt(0.2, 0.62), *b.pt(0.52, 0.86), rgba(c))
    b.line([(0.49, 0.72), (0.49, 0.14)], c, b.sw * 1.1)
    b.line([(0.49, 0.14), (0.62, 0.24), (0.78, 0.32), (0.74, 0.5)], c, b.sw * 1.1)


def hand(b, c, left):
    """The back of a hand resting on the keys: the thumb is on the inner side."""
    def u(x):
        return x if left else 1.0 - x
    fingers = [(0.24, 0.2), (0.38, 0.1), (0.52, 0.12), (0.65, 0.22)]
    for x, top in fingers:
        b.rrect(u(x) - 0.055, top, u(x) + 0.055, 0.6, 0.055, fill=c)
    b.rrect(min(u(0.19), u(0.72)), 0.42, max(u(0.19), u(0.72)), 0.9, 0.14, fill=c)
    b.line([(u(0.7), 0.66), (u(0.86), 0.42)], c, b.sw * 1.6)


def trash(b, c):
    b.line([(0.2, 0.28), (0.8, 0.28)], c)
    b.line([(0.4, 0.28), (0.42, 0.18), (0.58, 0.18), (0.6, 0.28)], c)
    b.line([(0.27, 0.36), (0.32, 0.84), (0.68, 0.84), (0.73, 0.36)], c)
    b.line([(0.42, 0.44), (0.43, 0.74)], c, b.sw * 0.8)
    b.line([(0.58, 0.44), (0.57, 0.74)], c, b.sw * 0.8)


def sheet(b, c, fill=None, with_note=True):
    outline = [(0.2, 0.1), (0.62, 0.1), (0.8, 0.28), (0.8, 0.9), (0.2, 0.9)]
    if fill:
        b.poly(outline, fill)
    b.line(outline + [outline[0]], c)
    b.line([(0.62, 0.1), (0.62, 0.28), (0.8, 0.28)], c, b.sw * 0.8)
    if with_note:
        b.circle(0.44, 0.7, 0.085, fill=c)
        b.line([(0.52, 0.7), (0.52, 0.4), (0.64, 0.46)], c, b.sw * 0.9)


def badge_plus(b, c, ring):
    b.circle(0.76, 0.74, 0.2, fill=ring)
    b.line([(0.76, 0.64), (0.76, 0.84)], c, b.sw * 0.9)
    b.line([(0.66, 0.74), (0.86, 0.74)], c, b.sw * 0.9)


def chevrons(b, c, down):
    for v in (0.3, 0.52):
        if down:
            b.line([(0.28, v), (0.5, v + 0.18), (0.72, v)], c)
        else:
            b.line([(0.28, v + 0.18), (0.5, v), (0.72, v + 0.18)], c)


def chevron(b, c, direction):
    pts = {"left": [(0.62, 0.2), (0.38, 0.5), (0.62, 0.8)],
           "right": [(0.38, 0.2), (0.62, 0.5), (0.38, 0.8)],
           "up": [(0.2, 0.62), (0.5, 0.38), (0.8, 0.62)],
           "down": [(0.2, 0.38), (0.5, 0.62), (0.8, 0.38)]}[direction]
    b.line(pts, c)


def list_view(b, c):
    for v in (0.28, 0.5, 0.72):
        b.circle(0.22, v, 0.06, fill=c)
        b.line([(0.36, v), (0.8, v)], c)


def icon_view(b, c):
    for u in (0.2, 0.54):
        for v in (0.2, 0.54):
            b.rrect(u, v, u + 0.26, v + 0.26, 0.05, fill=c)
