#!/usr/bin/env python3
"""Measures every mark on the pages of a PDF against where it belongs.

measure-marks.py PDF EXPECTED: EXPECTED holds "portrait|landscape SHEETS" and then one
"sheet x1 y1 x2 y2" line per mark, in millimetres from the top-left corner of the sheet as the job
drew it. The PDF is rasterised at 600 dpi; each mark's four edges are found where the grey crosses
half way along lines through its middle, and must lie within 0.1 mm of where they belong. Nothing
dark may lie outside the marks. A landscape job may come out on portrait pages, turned either way.
Exits 0 when all is well, else 1 naming the first fault."""
import glob
import os
import subprocess
import sys
import tempfile

DPI = 600
PX = DPI / 25.4
LIMIT = 0.1


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P5" and parts[3] == b"255", path
    return int(parts[1]), int(parts[2]), parts[4]


def edge(values, start, step):
    """Sub-pixel place where the grey crosses 128 walking from a light pixel towards the mark."""
    i = start
    while 0 <= i + step < len(values) and values[i + step] >= 128:
        i += step
    a, b = values[i], values[i + step] if 0 <= i + step < len(values) else 0
    frac = (a - 128) / (a - b) if a != b else 0.5
    return i + step * (0.5 + frac)  # pixel centres lie at i + 0.5


def measure(width, height, pixels, box):
    x1, y1, x2, y2 = (v * PX for v in box)
    cy, cx = int((y1 + y2) / 2), int((x1 + x2) / 2)
    if not (0 <= cx < width and 0 <= cy < height) or pixels[cy * width + cx] >= 128:
        return None
    row = pixels[cy * width:(cy + 1) * width]
    col = pixels[cx::width]
    margin = int(PX)
    left = edge(row, max(0, int(x1) - margin), 1)
    right = edge(row, min(width - 1, int(x2) + margin), -1)
    top = edge(col, max(0, int(y1) - margin), 1)
    bottom = edge(col, min(height - 1, int(y2) + margin), -1)
    return [v / PX for v in (left, top, right, bottom)]


def turn(box, w_mm, h_mm, way):
    x1, y1, x2, y2 = box
    if way == 0:
        return box
    if way == 1:  # (x, y) -> (y, H - x)
        return (y1, h_mm - x2, y2, h_mm - x1)
    return (w_mm - y2, x1, w_mm - y1, x2)  # (x, y) -> (W - y, x)


def check_page(width, height, pixels, boxes):
    worst = 0.0
    for box in boxes:
        got = measure(width, height, pixels, box)
        if got is None:
            return None, "no mark at %.2f,%.2f mm" % ((box[0] + box[2]) / 2, (box[1] + box[3]) / 2)
        for want, have in zip(box, got):
            worst = max(worst, abs(want - have))
        if worst > LIMIT:
            return worst, "mark %s lies at %s (off by %.3f mm)" % (
                ["%.3f" % v for v in box], ["%.3f" % v for v in got], worst)
    # Nothing dark outside the marks (every third pixel looked at).
    grown = [(int((b[0] - 0.3) * PX), int((b[1] - 0.3) * PX), int((b[2] + 0.3) * PX) + 1, int((b[3] + 0.3) * PX) + 1)
             for b in boxes]
    dark = bytes(1 if v < 128 else 0 for v in range(256))
    for y in range(0, height, 3):
        line = pixels[y * width:(y + 1) * width].translate(dark)
        x = line.find(1)
        while x != -1:
            if not any(l <= x < r and t <= y < b for l, t, r, b in grown):
                return worst, "a dark pixel at %.2f,%.2f mm lies in no mark" % (x / PX, y / PX)
            x = line.find(1, x + 1)
    return worst, ""


def main():
    pdf, expected = sys.argv[1], sys.argv[2]
    with open(expected) as f:
        orientation, sheets = f.readline().split()
        marks = [line.split() for line in f if line.strip()]
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["pdftoppm", "-gray", "-r", str(DPI), pdf, os.path.join(tmp, "page")], check=True)
        pages = [read_pgm(p) for p in sorted(glob.glob(os.path.join(tmp, "page-*.pgm")))]
    if len(pages) != int(sheets):
        print("%d pages for %s sheets" % (len(pages), sheets))
        return 1
    worst = 0.0
    for number, (width, height, pixels) in enumerate(pages, 1):
        boxes = [tuple(float(v) for v in m[1:]) for m in marks if int(m[0]) == number]
        w_mm, h_mm = width / PX, height / PX
        ways = [0] if (orientation == "landscape") == (width > height) else [1, 2]
        faults = []
        for way in ways:
            page_worst, fault = check_page(width, height, pixels, [turn(b, w_mm, h_mm, way) for b in boxes])
            if not fault:
                worst = max(worst, page_worst)
                break
            faults.append(fault)
        else:
            print("sheet %d: %s" % (number, "; or turned the other way: ".join(faults)))
            return 1
    print("%d marks on %d sheets, every edge within %.3f mm" % (len(marks), len(pages), worst))
    return 0


if __name__ == "__main__":
    sys.exit(main())
