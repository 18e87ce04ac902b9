"""Writes a case of one crown whose STL is a sphere and whose margin line
runs round its equator, for the checker's benchmark.

    sphere_case.py FOLDER SEGMENTS RINGS pts|inline POINTS

The sphere (radius 5 mm, centred 6 mm above the origin) has SEGMENTS
segments and RINGS rings, less the poles' degenerate facets. The margin
line has POINTS points on the equator's chords, in 11.pts ("pts") or
inline in the case file ("inline", with an 11.pts that is not UTF-8, so
the inline points are the ones read).
"""
import json
import math
import os
import struct
import sys

folder, segments, rings, margin, points = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), \
    sys.argv[4], int(sys.argv[5])
radius = 5.0


def corner(ring, segment):
    if ring in (0, rings):  # the poles, one point each
        return (0.0, 0.0, 6 + (radius if ring == 0 else -radius))
    polar = math.pi * ring / rings
    azimuth = 2 * math.pi * (segment % segments) / segments
    return (radius * math.sin(polar) * math.cos(azimuth),
            radius * math.sin(polar) * math.sin(azimuth), 6 + radius * math.cos(polar))


facets = []
for ring in range(rings):
    for segment in range(segments):
        a, b = corner(ring, segment), corner(ring, segment + 1)
        c, d = corner(ring + 1, segment), corner(ring + 1, segment + 1)
        # At the poles one of the two is no triangle (two corners the pole).
        if ring < rings - 1:
            facets.append((a, c, d))
        if ring > 0:
            facets.append((a, d, b))
os.makedirs(folder, exist_ok=True)
with open(os.path.join(folder, "11.stl"), "wb") as stl:
    stl.write(b"sphere".ljust(80, b" ") + struct.pack("<I", len(facets)))
    for facet in facets:
        stl.write(struct.pack("<12fH", 0, 0, 0, *facet[0], *facet[1], *facet[2], 0))
# The corners as the STL holds them (32-bit floats), for the box.
floats = [struct.unpack("<f", struct.pack("<f", v))[0] for f in facets for p in f for v in p]
box = [min(floats[axis::3]) for axis in range(3)] + [max(floats[axis::3]) for axis in range(3)]

line, steps = [], points // segments
for segment in range(segments):
    a, b = corner(rings // 2, segment), corner(rings // 2, segment + 1)
    for step in range(steps):
        t = step / steps
        line.append([a[i] + t * (b[i] - a[i]) for i in range(3)])

product = {"product_type": "Crown", "tooth_iso_number": [11],
           "bounding_box": [round(v, 4) for v in box], "color": "A2",
           "stl": "11.stl", "pts": "11.pts"}
with open(os.path.join(folder, "11.pts"), "wb") as pts:
    if margin == "pts":
        pts.write(b"BEGIN_MARGIN\n")
        for point in line:
            pts.write((" ".join(f"{v:.6f}" for v in point) + "\n").encode())
        pts.write(b"END_MARGIN\n")
    else:
        pts.write(b"\xff\n")
        product["margin_line_coordinates"] = [
            {axis: round(point[i], 6) for i, axis in enumerate("xyz")} for point in line]
case = {"machine": "WNC", "material": "ZIRCONIUM", "material_brand_reference": "zige",
        "products": [product]}
with open(os.path.join(folder, "case.json"), "w") as out:
    json.dump(case, out, indent=2 if margin == "pts" else None)
