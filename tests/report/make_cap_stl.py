#!/usr/bin/env python3
"""make_cap_stl.py FACETS OUT.stl (scripts/test-report.sh)."""
import math, struct, sys
# A closed cap of about FACETS facets, 10 mm across and 8 mm high, in a
# binary STL: a crown-sized mesh for timing the checker on many cases.
facets, out = int(sys.argv[1]), sys.argv[2]
around = max(8, int(math.sqrt(facets / 2)))
rings = max(2, facets // (2 * around))
def point(ring, step):
    t = ring / rings * math.pi / 2
    a = 2 * math.pi * (step % around) / around
    return (5 * math.cos(t) * math.cos(a), 5 * math.cos(t) * math.sin(a), 8 * math.sin(t))
tris = []
for r in range(rings):
    for s in range(around):
        a, b, c, d = point(r, s), point(r, s + 1), point(r + 1, s), point(r + 1, s + 1)
        tris.append((a, b, d))
        if r + 1 < rings:
            tris.append((a, d, c))
centre = (0.0, 0.0, 0.0)
for s in range(around):
    tris.append((point(0, s + 1), point(0, s), centre))
with open(out, "wb") as f:
    f.write(b"\0" * 80 + struct.pack("<I", len(tris)))
    for t in tris:
        f.write(struct.pack("<3f", 0, 0, 0))
        for p in t:
            f.write(struct.pack("<3f", *p))
        f.write(b"\0\0")
