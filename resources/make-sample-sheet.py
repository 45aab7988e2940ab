#!/usr/bin/env python3
"""Draws the sample label sheet that `bash scripts/run` opens: sample-sheet.svg.

Run from anywhere: python3 resources/make-sample-sheet.py. The SVG it writes is committed.

An A4 sheet as Inkscape saves it, with two layers: "Artwork", a 3 x 4 grid of labels (each a
rounded card with a picture on it), and "Creasing Layer", a fold line across each label of the
right-hand column (fold-over labels). The grid keeps clear of the page edges by more than the
companion's default mark margins (top 22.5, bottom 38.5, left and right 8.5 mm plus the 9 mm
marks), so "Add Mark" finds room for its marks without touching the artwork.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

PAGE_W, PAGE_H = 210.0, 297.0
COLS, ROWS = 3, 4
LABEL_W, LABEL_H, GAP, RADIUS = 52.0, 46.0, 6.0, 5.0
LEFT = (PAGE_W - (COLS * LABEL_W + (COLS - 1) * GAP)) / 2
TOP = 36.0

CARDS = ["#ffd166", "#a8dadc", "#f4a6a6", "#b8e0a0"]
INKS = ["#e63946", "#1d3557", "#2a9d8f", "#6a4c93"]


def num(v):
    return ("%.3f" % v).rstrip("0").rstrip(".")


def star(cx, cy, outer, inner, points=5):
    corners = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / points
        corners.append("%s,%s" % (num(cx + r * math.cos(a)), num(cy + r * math.sin(a))))
    return "M " + " L ".join(corners) + " Z"


def wave(x, y, width, height, waves=4):
    step = width / (waves * 2)
    d = "M %s,%s" % (num(x), num(y))
    for i in range(waves * 2):
        dy = -height if i % 2 == 0 else height
        d += " q %s,%s %s,0" % (num(step / 2), num(dy), num(step))
    return d


def label(index, x, y):
    card, ink = CARDS[index % len(CARDS)], INKS[index % len(INKS)]
    cx, cy = x + LABEL_W / 2, y + LABEL_H / 2
    parts = [
        '    <rect id="card%d" style="fill:%s;stroke:%s;stroke-width:0.5" x="%s" y="%s" '
        'width="%s" height="%s" rx="%s" />'
        % (index, card, ink, num(x), num(y), num(LABEL_W), num(LABEL_H), num(RADIUS)),
    ]
    kind = index % 3
    if kind == 0:
        parts.append('    <circle id="sun%d" style="fill:%s" cx="%s" cy="%s" r="11" />'
                     % (index, ink, num(cx), num(cy - 3)))
    elif kind == 1:
        parts.append('    <path id="star%d" style="fill:%s" d="%s" />'
                     % (index, ink, star(cx, cy - 3, 13, 5.5)))
    else:
        parts.append('    <ellipse id="leaf%d" style="fill:%s" cx="%s" cy="%s" rx="14" ry="8" '
                     'transform="rotate(-30 %s %s)" />'
                     % (index, ink, num(cx), num(cy - 3), num(cx), num(cy - 3)))
    parts.append('    <path id="wave%d" style="fill:none;stroke:%s;stroke-width:1.2" d="%s" />'
                 % (index, ink, wave(x + 8, y + LABEL_H - 8, LABEL_W - 16, 2.5)))
    return "\n".join(parts)


def main():
    artwork, creases = [], []
    for row in range(ROWS):
        for col in range(COLS):
            index = row * COLS + col
            x = LEFT + col * (LABEL_W + GAP)
            y = TOP + row * (LABEL_H + GAP)
            artwork.append(label(index, x, y))
            if col == COLS - 1:
                creases.append(
                    '    <path id="fold%d" style="fill:none;stroke:#0000ff;stroke-width:0.3;'
                    'stroke-dasharray:2,1" d="M %s,%s H %s" />'
                    % (index, num(x + 2), num(y + LABEL_H / 2), num(x + LABEL_W - 2)))
    svg = """<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<!-- A sample label sheet (drawn by resources/make-sample-sheet.py): A4, twelve labels on
     "Artwork", fold lines of the right-hand column's fold-over labels on "Creasing Layer". -->
<svg
   width="210mm"
   height="297mm"
   viewBox="0 0 210 297"
   version="1.1"
   id="svg1"
   sodipodi:docname="sample-sheet.svg"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns="http://www.w3.org/2000/svg">
  <sodipodi:namedview id="namedview1" pagecolor="#ffffff" bordercolor="#000000"
     inkscape:document-units="mm" inkscape:current-layer="layer1" />
  <g inkscape:label="Artwork" inkscape:groupmode="layer" id="layer1">
%s
  </g>
  <g inkscape:label="Creasing Layer" inkscape:groupmode="layer" id="layer2">
%s
  </g>
</svg>
""" % ("\n".join(artwork), "\n".join(creases))
    with open(os.path.join(HERE, "sample-sheet.svg"), "w") as out:
        out.write(svg)


if __name__ == "__main__":
    main()
