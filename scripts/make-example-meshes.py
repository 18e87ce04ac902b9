#!/usr/bin/env python3
"""Writes the STL meshes of the examples and the checker's geometry fixtures.

  scripts/make-example-meshes.py            # write them
  scripts/make-example-meshes.py --check    # exit 1 when a written file differs

Each mesh is a closed, rounded cap shaped like a restoration: a rounded
rectangle in plan (a superellipse) whose outline fills the product's
bounding box in x and y, straight sides, a dome up to the box's top and a
rounded foot down to its floor, so that the mesh's extents are the box.
The product's margin points are corners of the mesh: the cap's grid takes
each point's angle round the cap's axis and its height, and the corner
there is moved to the point. Every margin point thus lies on its mesh, and
the facets face outward (the script checks both).

The examples' STL files are written from their case files and margin lines.
The fixtures under tests/fixtures/geometry/ are consistent cases (two
crowns side by side) with one mistake planted each; their margin lines are
made on the cap's own surface. Python's standard library only; the output
is the same bytes on every run.
"""
import json
import math
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
EXAMPLES = ROOT / "examples"
FIXTURES = ROOT / "tests" / "fixtures" / "geometry"

SEGMENTS = 24   # angles round the axis, before the margin points' own
RINGS = 8       # heights from floor to top, before the margin points' own
# The fixtures' caps, coarser: a fixture shows a mistake, not a shape.
FIXTURE_SEGMENTS = 32
FIXTURE_RINGS = 8
ROUNDNESS = 4   # the superellipse's exponent: 2 an ellipse, larger squarer
FOOT = 0.1      # the rounded foot's share of the height
SHOULDER = 0.45 # where the dome starts, as a share of the height
# A box for a product that has none (a model): extents of a small arch.
MODEL_BOX = [-20.0, -12.0, 0.0, 20.0, 12.0, 14.0]


def outline_radius(angle, a, b):
    """The superellipse's distance from its centre in the direction `angle`."""
    c, s = abs(math.cos(angle)), abs(math.sin(angle))
    return ((c / a) ** ROUNDNESS + (s / b) ** ROUNDNESS) ** (-1.0 / ROUNDNESS)


def scale_at(z, z0, z1):
    """How far the cap reaches out at height z, as a share of its outline."""
    h = z1 - z0
    foot, shoulder = z0 + FOOT * h, z0 + SHOULDER * h
    if z >= shoulder:
        t = (z - shoulder) / (z1 - shoulder)
        return math.sqrt(max(0.0, 1 - t * t))
    if z <= foot:
        t = (foot - z) / (foot - z0)
        return math.sqrt(max(0.0, 1 - t * t))
    return 1.0


def unique_sorted(values, start, end):
    out = []
    for v in sorted(values):
        if v <= start + 1e-9 or v >= end - 1e-9:
            continue
        if out and v - out[-1] < 1e-6:
            continue
        out.append(v)
    return out


def cap_mesh(box, margin, segments=SEGMENTS, rings=RINGS):
    """The triangles of a closed cap filling `box`, with `margin`'s points as corners."""
    x0, y0, z0, x1, y1, z1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    a, b = (x1 - x0) / 2, (y1 - y0) / 2
    h = z1 - z0

    def angle_of(p):
        return math.atan2(p[1] - cy, p[0] - cx) % (2 * math.pi)

    angles = [2 * math.pi * i / segments for i in range(segments)]
    angles = [0.0] + unique_sorted(angles + [angle_of(p) for p in margin], 0.0, 2 * math.pi)
    heights = [z0 + h * j / rings for j in range(rings + 1)]
    heights += [z0 + FOOT * h, z0 + SHOULDER * h] + [p[2] for p in margin]
    heights = unique_sorted(heights, z0, z1)

    def corner(angle, z):
        r = scale_at(z, z0, z1) * outline_radius(angle, a, b)
        return (cx + r * math.cos(angle), cy + r * math.sin(angle), z)

    grid = [[corner(angle, z) for angle in angles] for z in heights]
    for p in margin:
        i = min(range(len(angles)), key=lambda k: abs(angles[k] - angle_of(p)))
        j = min(range(len(heights)), key=lambda k: abs(heights[k] - p[2]))
        grid[j][i] = tuple(p)
    bottom, top = (cx, cy, z0), (cx, cy, z1)
    n = len(angles)
    triangles = []
    for i in range(n):
        k = (i + 1) % n
        triangles.append((bottom, grid[0][k], grid[0][i]))
        for j in range(len(heights) - 1):
            lo_i, lo_k, hi_i, hi_k = grid[j][i], grid[j][k], grid[j + 1][i], grid[j + 1][k]
            triangles.append((lo_i, lo_k, hi_k))
            triangles.append((lo_i, hi_k, hi_i))
        triangles.append((top, grid[-1][i], grid[-1][k]))
    assert signed_volume(triangles) > 0, "the facets must face outward"
    return triangles


def signed_volume(triangles):
    total = 0.0
    for p, q, r in triangles:
        total += (p[0] * (q[1] * r[2] - q[2] * r[1]) - p[1] * (q[0] * r[2] - q[2] * r[0]) +
                  p[2] * (q[0] * r[1] - q[1] * r[0]))
    return total / 6


def normal_of(p, q, r):
    u = [q[i] - p[i] for i in range(3)]
    v = [r[i] - p[i] for i in range(3)]
    n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
    length = math.sqrt(sum(c * c for c in n)) or 1.0
    return tuple(c / length for c in n)


def binary_stl(triangles, label):
    out = bytearray(label.encode("ascii")[:80].ljust(80, b" "))
    out += struct.pack("<I", len(triangles))
    for t in triangles:
        out += struct.pack("<3f", *normal_of(*t))
        for corner in t:
            out += struct.pack("<3f", *corner)
        out += b"\0\0"
    return bytes(out)


def ascii_stl(triangles, name):
    lines = [f"solid {name}"]
    for t in triangles:
        lines.append("  facet normal {:.6e} {:.6e} {:.6e}".format(*normal_of(*t)))
        lines.append("    outer loop")
        for corner in t:
            lines.append("      vertex {:.6e} {:.6e} {:.6e}".format(*corner))
        lines.append("    endloop")
        lines.append("  endfacet")
    lines.append(f"endsolid {name}")
    return ("\n".join(lines) + "\n").encode("ascii")


def read_margin(path):
    points, inside = [], False
    for line in path.read_text(encoding="utf-8").splitlines():
        word = line.strip()
        if word == "BEGIN_MARGIN":
            inside = True
        elif word == "END_MARGIN":
            inside = False
        elif inside and word and not word.startswith("#"):
            points.append(tuple(float(v) for v in word.split()))
    return points


def point_of(value):
    if isinstance(value, dict):
        return (value["x"], value["y"], value["z"])
    return tuple(value)


def example_meshes():
    """(path, bytes) of every example product's STL."""
    files = []
    for case in sorted(EXAMPLES.rglob("*.json")):
        for product in json.loads(case.read_text(encoding="utf-8"))["products"]:
            if "stl" not in product:
                continue
            margin = []
            if product.get("pts"):
                margin = read_margin(case.parent / product["pts"])
            elif product.get("margin_line_coordinates"):
                margin = [point_of(p) for p in product["margin_line_coordinates"]]
            box = product.get("bounding_box") or MODEL_BOX
            for p in margin:
                inside = all(box[i] <= p[i] <= box[i + 3] for i in range(3))
                assert inside, f"{case.name}: margin point {p} outside the box {box}"
            label = f"daz example {product['stl']}"
            files.append((case.parent / product["stl"], binary_stl(cap_mesh(box, margin), label)))
    return files


# The fixtures' two crowns, side by side, and their margin lines: a point
# at each of the cap's angles, at one height near its foot, on the cap's
# own surface.
CROWNS = [
    {"tooth": 11, "box": [-4.0, -3.5, 0.0, 4.0, 3.5, 9.0], "stl": "11.stl", "pts": "11.pts"},
    {"tooth": 21, "box": [5.0, -3.0, 0.5, 12.0, 3.0, 9.5], "stl": "21.stl", "pts": "21.pts"},
]


def margin_on_cap(box):
    x0, y0, z0, x1, y1, z1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    a, b, h = (x1 - x0) / 2, (y1 - y0) / 2, z1 - z0
    points = []
    z = z0 + 0.2 * h
    for k in range(FIXTURE_SEGMENTS):
        angle = 2 * math.pi * k / FIXTURE_SEGMENTS
        r = scale_at(z, z0, z1) * outline_radius(angle, a, b)
        points.append((round(cx + r * math.cos(angle), 4), round(cy + r * math.sin(angle), 4),
                       round(z, 4)))
    return points


def pts_text(points, planted=None):
    lines = ["BEGIN_MARGIN"]
    for i, p in enumerate(points):
        words = [f"{v:.4f}" for v in p]
        if planted:
            words = planted(i, words)
        lines.append(" ".join(words))
    lines.append("END_MARGIN")
    return ("\n".join(lines) + "\n").encode("ascii")


def case_json(boxes, pts_names):
    products = []
    for crown, box, pts in zip(CROWNS, boxes, pts_names):
        products.append("\n".join([
            "    {",
            '      "product_type": "Crown",',
            f'      "tooth_iso_number": [{crown["tooth"]}],',
            '      "bounding_box": [' + ", ".join(f"{v:g}" for v in box) + "],",
            '      "color": "A2",',
            f'      "stl": "{crown["stl"]}",',
            f'      "pts": "{pts}"',
            "    }"]))
    return ("{\n"
            '  "case_name": "Two crowns",\n'
            '  "machine": "WNC",\n'
            '  "material": "ZIRCONIUM",\n'
            '  "material_brand_reference": "zige",\n'
            '  "products": [\n' + ",\n".join(products) + "\n  ]\n}\n").encode("ascii")


def fixture_files():
    """(path, bytes) of every geometry fixture: a folder per mistake."""
    margins = [margin_on_cap(c["box"]) for c in CROWNS]
    meshes = [cap_mesh(c["box"], m, FIXTURE_SEGMENTS, FIXTURE_RINGS) for c, m in zip(CROWNS, margins)]
    boxes = [list(c["box"]) for c in CROWNS]
    pts_names = [c["pts"] for c in CROWNS]

    def case(name, stl=None, pts=None, boxes_=boxes, names=pts_names):
        stl = stl or {}
        pts = pts or {}
        folder = FIXTURES / name
        out = [(folder / "case.json", case_json(boxes_, names))]
        for i, crown in enumerate(CROWNS):
            out.append((folder / crown["stl"],
                        stl.get(i) or binary_stl(meshes[i], f"daz fixture {crown['stl']}")))
            out.append((folder / crown["pts"], pts.get(i) or pts_text(margins[i])))
        return out

    def scaled(factor):
        return lambda i, words: [f"{float(w) * factor:.1f}" for w in words]

    def mistyped(index):
        # One coordinate typed with its decimal point dropped: 2.5123 -> 25123.
        return lambda i, words: [words[0].replace(".", "")] + words[1:] if i == index else words

    def nan_at(index):
        return lambda i, words: [words[0], "nan", words[2]] if i == index else words

    cut = binary_stl(meshes[0], "daz fixture 11.stl")
    open_mesh = meshes[0][:40] + meshes[0][41:]  # a hole of one facet: three open edges
    stale_boxes = [boxes[0][:5] + [boxes[0][5] + 1.5], boxes[1]]
    files = []
    files += case("clean")
    files += case("swapped-pts", names=list(reversed(pts_names)))
    files += case("micrometres", pts={0: pts_text(margins[0], scaled(1000))})
    files += case("spike", pts={1: pts_text(margins[1], mistyped(17))})
    files += case("open-mesh", stl={0: binary_stl(open_mesh, "daz fixture open")})
    files += case("inside-out", stl={
        1: binary_stl([(p, r, q) for p, q, r in meshes[1]], "daz fixture inside out")})
    files += case("ascii-stl", stl={0: ascii_stl(meshes[0], "crown_11")})
    files += case("cut-binary-stl", stl={0: cut[:len(cut) - 1234]})
    files += case("box-mismatch", boxes_=stale_boxes)
    files += case("nan-in-pts", pts={0: pts_text(margins[0], nan_at(5))})
    return files


def main():
    check = sys.argv[1:] == ["--check"]
    differ = []
    for path, data in example_meshes() + fixture_files():
        if check:
            if not path.exists() or path.read_bytes() != data:
                differ.append(path)
            continue
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    for path in differ:
        print(f"{path.relative_to(ROOT)} differs from what scripts/make-example-meshes.py writes",
              file=sys.stderr)
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
