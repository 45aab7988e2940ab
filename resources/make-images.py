#!/usr/bin/env python3
"""Draws the window's button images and its icon with ImageMagick.

Run from anywhere: python3 resources/make-images.py. Each image is drawn at four times its
size and scaled down, which gives smooth edges. The PNGs, the .ico and the .qrc it writes are
committed, so building needs neither Python nor ImageMagick. The icon is also written for the
desktop's icon theme (icons/): as SVG, the same drawing, and at 48 and 256 pixels.
"""
import math
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OVERSAMPLE = 4

INK = "#263544"      # dark slate: outlines and bodies
BLUE = "#1e7fd8"     # accent: the job's own marks and paths
ORANGE = "#f08c00"   # the knife
RED = "#d93a2b"      # PDF
PAPER = "#ffffff"
SHADE = "#dfe6ee"


def pts(points, k):
    return " ".join("%.2f,%.2f" % (x * k, y * k) for x, y in points)


class Canvas:
    """Collects ImageMagick draw primitives in the image's own pixel units."""

    def __init__(self, size):
        self.size = size
        self.k = OVERSAMPLE
        self.ops = []

    def _style(self, fill, stroke, width):
        return ["-fill", fill or "none", "-stroke", stroke or "none",
                "-strokewidth", "%.2f" % (width * self.k)]

    def polygon(self, points, fill=None, stroke=None, width=1.0):
        self.ops += self._style(fill, stroke, width) + ["-draw", "polygon " + pts(points, self.k)]

    def polyline(self, points, stroke, width=1.0, cap="round"):
        # An open path: ImageMagick's own polyline joins its last point back to the first.
        path = "M " + pts(points[:1], self.k) + " L " + pts(points[1:], self.k)
        self.ops += self._style(None, stroke, width) + [
            "-draw", "stroke-linejoin round stroke-linecap %s path '%s'" % (cap, path)]

    def line(self, x1, y1, x2, y2, stroke, width=1.0, cap="round"):
        self.polyline([(x1, y1), (x2, y2)], stroke, width, cap)

    def rect(self, x1, y1, x2, y2, fill=None, stroke=None, width=1.0, radius=0.0):
        k = self.k
        if radius > 0:
            shape = "roundrectangle %.2f,%.2f %.2f,%.2f %.2f,%.2f" % (
                x1 * k, y1 * k, x2 * k, y2 * k, radius * k, radius * k)
        else:  # ImageMagick draws nothing for a round rectangle of radius 0
            shape = "rectangle %.2f,%.2f %.2f,%.2f" % (x1 * k, y1 * k, x2 * k, y2 * k)
        self.ops += self._style(fill, stroke, width) + ["-draw", shape]

    def circle(self, cx, cy, r, fill=None, stroke=None, width=1.0):
        k = self.k
        shape = "circle %.2f,%.2f %.2f,%.2f" % (cx * k, cy * k, (cx + r) * k, cy * k)
        self.ops += self._style(fill, stroke, width) + ["-draw", shape]

    def dashed(self, points, stroke, width, dash, gap):
        """A closed chain drawn as separate dashes (ImageMagick's own dashes scale oddly)."""
        self.dashed_open(points + [points[0]], stroke, width, dash, gap)

    def dashed_open(self, chain, stroke, width, dash, gap):
        on, left = True, dash
        for (x1, y1), (x2, y2) in zip(chain, chain[1:]):
            length = math.hypot(x2 - x1, y2 - y1)
            done = 0.0
            while done < length - 1e-9:
                step = min(left, length - done)
                a = done / length
                b = (done + step) / length
                if on:
                    self.line(x1 + (x2 - x1) * a, y1 + (y2 - y1) * a,
                              x1 + (x2 - x1) * b, y1 + (y2 - y1) * b, stroke, width, "butt")
                done += step
                left -= step
                if left <= 1e-9:
                    on = not on
                    left = dash if on else gap

    def save(self, path):
        big = self.size * self.k
        cmd = ["convert", "-size", "%dx%d" % (big, big), "xc:none"] + self.ops + [
            "-filter", "Lanczos", "-resize", "%dx%d" % (self.size, self.size),
            "-define", "png:exclude-chunks=date,time", "-strip", path]
        subprocess.run(cmd, check=True)


def registration_mark(c, cx, cy, r, colour, width, ring=True):
    if ring:
        c.circle(cx, cy, r * 0.62, stroke=colour, width=width)
    c.line(cx - r, cy, cx + r, cy, colour, width)
    c.line(cx, cy - r, cx, cy + r, colour, width)


def mark_cross_button():
    c = Canvas(35)
    c.rect(4, 4, 31, 31, fill=PAPER, stroke=INK, width=1.6, radius=2.5)
    registration_mark(c, 17.5, 17.5, 10, BLUE, 2.2)
    return c


def layer_button():
    c = Canvas(30)
    for i, dy in enumerate((9.0, 4.5, 0.0)):
        top = [(15, 6 + dy), (27, 11.5 + dy), (15, 17 + dy), (3, 11.5 + dy)]
        c.polygon(top, fill=BLUE if i == 2 else SHADE, stroke=INK, width=1.4)
    return c


def outline_button():
    c = Canvas(30)
    star = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 8.5 if i % 2 == 0 else 4.0
        star.append((15 + r * math.cos(a), 15.5 + r * math.sin(a)))
    c.polygon(star, fill=SHADE, stroke=INK, width=1.0)
    ring = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 13.0 if i % 2 == 0 else 7.0
        ring.append((15 + r * math.cos(a), 16 + r * math.sin(a)))
    c.dashed(ring, BLUE, 1.6, 2.4, 1.6)
    return c


def print_button():
    c = Canvas(30)
    c.rect(8, 3, 22, 11, fill=PAPER, stroke=INK, width=1.4)
    c.rect(3, 10, 27, 21, fill=INK, stroke=INK, width=1.4, radius=2)
    c.circle(23, 13.5, 1.0, fill="#7fd36b")
    c.rect(8, 17, 22, 27, fill=PAPER, stroke=INK, width=1.4)
    for y in (20.5, 23.5):
        c.line(10.5, y, 19.5, y, BLUE, 1.2)
    return c


def document(c, fill=PAPER):
    c.polygon([(6, 3), (19, 3), (25, 9), (25, 27), (6, 27)], fill=fill, stroke=INK, width=1.4)
    c.polygon([(19, 3), (19, 9), (25, 9)], fill=SHADE, stroke=INK, width=1.2)


def save_pdf_button():
    c = Canvas(30)
    document(c)
    c.rect(3, 14, 22, 23, fill=RED, radius=1.5)
    # "P", "D", "F" drawn as strokes so no font is needed.
    w = 1.4
    c.polyline([(6, 21.5), (6, 15.5), (8, 15.5), (9, 16.5), (9, 17.5), (8, 18.5), (6, 18.5)],
               PAPER, w)
    c.polyline([(11, 15.5), (11, 21.5), (13, 21.5), (14.4, 20), (14.4, 17), (13, 15.5),
                (11, 15.5)], PAPER, w)
    c.polyline([(20, 15.5), (17, 15.5), (17, 21.5)], PAPER, w)
    c.line(17, 18.5, 19.5, 18.5, PAPER, w)
    return c


def save_plt_button():
    c = Canvas(30)
    c.polygon([(3, 3), (23, 3), (27, 7), (27, 27), (3, 27)], fill=INK, stroke=INK, width=1.2)
    c.rect(8, 3.5, 21, 11, fill=SHADE)
    c.rect(17, 5, 19.5, 9.5, fill=INK)
    c.rect(7, 15, 23, 26, fill=PAPER)
    c.polyline([(9.5, 23.5), (12, 18), (15, 22), (18, 17.5), (20.5, 23.5)], BLUE, 1.4)
    return c


def gear_points(cx, cy, outer, inner, teeth):
    points = []
    for i in range(teeth):
        a = 2 * math.pi * i / teeth
        half = math.pi / teeth
        for da, r in ((-half * 0.95, inner), (-half * 0.45, outer), (half * 0.45, outer),
                      (half * 0.95, inner)):
            points.append((cx + r * math.cos(a + da), cy + r * math.sin(a + da)))
    return points


def config_button():
    c = Canvas(30)
    c.polygon(gear_points(15, 15, 12.5, 9.5, 8), fill=INK, stroke=INK, width=0.8)
    c.circle(15, 15, 4.2, fill=PAPER)
    return c


def knife(c, tipx, tipy, k=0.62):
    """A blade pointing down-left at (tipx, tipy), its holder up-right; k scales it."""
    def at(dx, dy):
        return (tipx + dx * k, tipy + dy * k)
    c.polygon([at(0, 0), at(9, -17), at(16, -13)], fill="#c9d3dd", stroke=INK, width=1.2)
    c.polygon([at(8, -19), at(23, -41), at(31, -36), at(17, -13)], fill=ORANGE, stroke=INK,
              width=1.3)
    c.line(*at(13, -24), *at(21, -19), INK, 1.0)


def cut_button(with_marks):
    c = Canvas(60)
    c.rect(5, 5, 55, 55, fill=PAPER, stroke=INK, width=2.0, radius=3)
    if with_marks:
        for cx, cy in ((12.5, 12.5), (47.5, 12.5), (12.5, 47.5)):
            registration_mark(c, cx, cy, 4.0, INK, 1.6, ring=False)
    # A finished cut (solid) and the part still to cut (dashed), the blade where they meet.
    c.polyline([(25, 29), (42, 29), (42, 47), (19, 47), (19, 40)], BLUE, 2.6)
    c.dashed_open([(19, 40), (19, 29), (25, 29)], BLUE, 2.4, 2.4, 2.2)
    knife(c, 25, 29, 0.52)
    return c


def icon_canvas(size):
    c = Canvas(size)
    s = size / 32.0
    c.rect(1 * s, 1 * s, 31 * s, 31 * s, fill=BLUE, radius=6 * s)
    c.rect(7 * s, 6 * s, 25 * s, 26 * s, fill=PAPER, radius=1 * s)
    c.line(16 * s, 9 * s, 16 * s, 23 * s, INK, 2.2 * s)
    c.line(9 * s, 16 * s, 23 * s, 16 * s, INK, 2.2 * s)
    c.circle(16 * s, 16 * s, 4.2 * s, stroke=INK, width=1.8 * s)
    return c


def icon_svg():
    """icon_canvas() as SVG, in its own 32-unit grid."""
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">\n'
        '  <rect x="1" y="1" width="30" height="30" rx="6" fill="%s"/>\n'
        '  <rect x="7" y="6" width="18" height="20" rx="1" fill="%s"/>\n'
        '  <g fill="none" stroke="%s" stroke-linecap="round">\n'
        '    <path d="M16 9V23M9 16H23" stroke-width="2.2"/>\n'
        '    <circle cx="16" cy="16" r="4.2" stroke-width="1.8"/>\n'
        '  </g>\n'
        '</svg>\n' % (BLUE, PAPER, INK))


def main():
    png = os.path.join(HERE, "png")
    os.makedirs(png, exist_ok=True)
    images = {
        "MarkCrossBtn.png": mark_cross_button(),
        "LayerBtn.png": layer_button(),
        "OutlineBtn.png": outline_button(),
        "PrintBtn.png": print_button(),
        "SavePdfBtn.png": save_pdf_button(),
        "SavePltBtn.png": save_plt_button(),
        "ConfigBtn.png": config_button(),
        "CutBtn.png": cut_button(True),
        "BlankCutBtn.png": cut_button(False),
    }
    for name, canvas in images.items():
        canvas.save(os.path.join(png, name))

    parts = []
    for size in (16, 32, 48, 256):
        part = os.path.join(HERE, "icon-%d.png" % size)
        icon_canvas(size).save(part)
        parts.append(part)
    subprocess.run(["convert"] + parts + [os.path.join(HERE, "pluginICO.ico")], check=True)
    icons = os.path.join(HERE, "icons")
    os.makedirs(icons, exist_ok=True)
    for size in (48, 256):
        os.replace(os.path.join(HERE, "icon-%d.png" % size),
                   os.path.join(icons, "printcut-%d.png" % size))
    for size in (16, 32):
        os.remove(os.path.join(HERE, "icon-%d.png" % size))
    with open(os.path.join(icons, "printcut.svg"), "w") as svg:
        svg.write(icon_svg())

    with open(os.path.join(HERE, "resources.qrc"), "w") as qrc:
        qrc.write("<RCC>\n    <qresource prefix=\"/\">\n")
        qrc.write("        <file>pluginICO.ico</file>\n")
        for name in sorted(images):
            qrc.write("        <file>png/%s</file>\n" % name)
        qrc.write("    </qresource>\n</RCC>\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
