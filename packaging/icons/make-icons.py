#!/usr/bin/env python3
"""Writes the program's logo as SVG and as the hicolor PNGs, from the same geometry that
src/app/qt/Artwork.cpp draws the window icon with (programLogo). Run once after changing the
logo; the files it writes are kept in the tree. Needs rsvg-convert (librsvg2-bin)."""
import math
import pathlib
import subprocess
import tempfile

NAME = "io.github.quantem.quantem"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
HERE = pathlib.Path(__file__).resolve().parent

# Points of the picture in units of the plot box (0..1, y up): the curve plus measured scatter.
SAMPLES = ((0.04, 0.035), (0.12, -0.045), (0.20, 0.025), (0.29, -0.030), (0.37, 0.045),
           (0.46, -0.020), (0.55, 0.030), (0.64, -0.040), (0.73, 0.020), (0.83, -0.025),
           (0.94, 0.015))


def curve(x):
    return 0.06 + 0.82 * math.sqrt(x)


def logo(side):
    """The logo drawn for a square of side pixels; small sides keep lines and points visible."""
    left, top = side * 0.16, side * 0.16
    width, height = side - side * 0.16 - side * 0.14, side - side * 0.16 - side * 0.16
    bottom = top + height

    def place(x, y):
        return left + x * width, bottom - y * height

    radius = max(1.2, side / 28.0)
    line = max(1.5, side / 20.0)
    steps = 48
    points = [place(0.02 + 0.96 * i / steps, curve(0.02 + 0.96 * i / steps))
              for i in range(steps + 1)]
    path = "M" + " L".join(f"{x:.3f},{y:.3f}" for x, y in points)
    dots = "\n".join(
        f'  <circle cx="{cx:.3f}" cy="{cy:.3f}" r="{radius:.3f}"/>'
        for cx, cy in (place(x, curve(x) + s) for x, s in SAMPLES))
    corner = side * 0.18
    return f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{side}" height="{side}" viewBox="0 0 {side} {side}">
 <title>Quantem</title>
 <defs>
  <linearGradient id="fill" x1="0" y1="0" x2="{side}" y2="{side}" gradientUnits="userSpaceOnUse">
   <stop offset="0" stop-color="#122a5c"/>
   <stop offset="1" stop-color="#107080"/>
  </linearGradient>
 </defs>
 <rect width="{side}" height="{side}" rx="{corner:.3f}" ry="{corner:.3f}" fill="url(#fill)"/>
 <path d="{path}" fill="none" stroke="#ffc446" stroke-width="{line:.3f}" stroke-linecap="round" stroke-linejoin="round"/>
 <g fill="#ffffff">
{dots}
 </g>
</svg>
'''


def main():
    scalable = HERE / "hicolor" / "scalable" / "apps" / f"{NAME}.svg"
    scalable.parent.mkdir(parents=True, exist_ok=True)
    scalable.write_text(logo(256))
    with tempfile.TemporaryDirectory() as work:
        for side in SIZES:
            source = pathlib.Path(work) / f"{side}.svg"
            source.write_text(logo(side))
            target = HERE / "hicolor" / f"{side}x{side}" / "apps" / f"{NAME}.png"
            target.parent.mkdir(parents=True, exist_ok=True)
            subprocess.run(["rsvg-convert", "-w", str(side), "-h", str(side), "-o", str(target),
                            str(source)], check=True)


if __name__ == "__main__":
    main()
