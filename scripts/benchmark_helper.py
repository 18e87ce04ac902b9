#!/usr/bin/env python3
"""Helper of scripts/benchmark.sh: writes the benchmark cases and prints the table.

  benchmark_helper.py generate REPO_ROOT DIR
      Writes one folder per case under DIR (only the case's inputs, so that
      `cat DIR/<case>/*` reads exactly the input bytes) and DIR/cases.json.
  benchmark_helper.py report DIR
      Reads DIR/cases.json and the measurements that benchmark.sh left in
      DIR/results, prints the table, and says whether each target is met.
"""

import json
import math
import os
import random
import shutil
import statistics
import sys

MIB = 1024.0 * 1024.0
SEED = 20240610  # fixed, so that every run measures the same bytes
TEETH = [11, 12, 13, 14, 15, 16, 17, 18, 21, 22, 23, 24, 25, 26, 27, 28,
         31, 32, 33, 34, 35, 36, 37, 38, 41, 42, 43, 44, 45, 46, 47, 48]
TYPES = ["Crown", "Crown", "Inlay", "Onlay", "Crown", "Veneer", "Overlay", "Crown"]
COLORS = ["A1", "A2", "A3", "B1", "C2", "A3.5"]


_TABLES = {}


def margin_points(rng, count):
    """A closed, wavy line around a tooth, as a scanner gives it (in mm), as
    a flat list x, y, z, x, ... (flat and table-driven for speed: the large
    cases hold over four million points)."""
    if count not in _TABLES:
        step = math.tau / count
        _TABLES[count] = list(zip(*(
            [f(k * i * step) for i in range(count)]
            for f, k in ((math.cos, 1), (math.sin, 1), (math.cos, 2), (math.sin, 2)))))
    cx = rng.uniform(-28.0, 28.0)
    cy = rng.uniform(-34.0, 12.0)
    cz = rng.uniform(-9.0, 11.0)
    rx = rng.uniform(3.5, 6.0)
    ry = rx * rng.uniform(0.75, 1.1)
    wave = rng.uniform(0.8, 2.4)
    phase = rng.uniform(0.0, math.tau)
    wc, ws = wave * math.cos(phase), -wave * math.sin(phase)
    rnd = rng.random
    flat = []
    extend = flat.extend
    for c, s, c2, s2 in _TABLES[count]:
        extend((cx + rx * c + (rnd() - 0.5) * 0.01,
                cy + ry * s + (rnd() - 0.5) * 0.01,
                cz + wc * c2 + ws * s2 + (rnd() - 0.5) * 0.005))
    return flat


def write_pts(path, flat):
    text = "%.6f %.6f %.6f\n" * (len(flat) // 3) % tuple(flat)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("BEGIN_MARGIN\n" + text + "END_MARGIN\n")


def product(rng, index, pts, inline_points=None):
    lo = [round(rng.uniform(-30.0, 20.0), 3) for _ in range(3)]
    hi = [round(v + rng.uniform(6.0, 11.0), 3) for v in lo]
    record = {
        "product_type": TYPES[index % len(TYPES)],
        "tooth_iso_number": [TEETH[index % len(TEETH)]],
        "bounding_box": lo + hi,
        "color": COLORS[index % len(COLORS)],
        "stl": "%d_restoration.stl" % TEETH[index % len(TEETH)],
        "pts": pts,
    }
    text = json.dumps(record, separators=(",", ":"))
    if inline_points is None:
        return text
    # Written by hand: json.dumps would print the shortest round-trip form,
    # not the six decimals that CAD software writes.
    coords = '{"x":%.6f,"y":%.6f,"z":%.6f},' * (len(inline_points) // 3) % tuple(inline_points)
    coords = coords[:-1]
    return text[:-1] + ',"margin_line_coordinates":[' + coords + "]}"


def write_case(folder, name, machine, products):
    head = {"case_name": name, "machine": machine, "material": "ZIRCONIUM",
            "material_brand_reference": "zige"}
    text = json.dumps(head, separators=(",", ":"))[:-1] + ',"products":[\n'
    text += ",\n".join(products) + "\n]}\n"
    with open(os.path.join(folder, name + ".json"), "w", encoding="ascii") as f:
        f.write(text)


def pts_case(root, name, machine, products, points, rng):
    folder = os.path.join(root, name)
    os.makedirs(folder)
    records = []
    for p in range(products):
        pts = "p%02d_margin.pts" % p
        write_pts(os.path.join(folder, pts), margin_points(rng, points))
        records.append(product(rng, p, pts))
    write_case(folder, name, machine, records)


def inline_case(root, name, machine, products, points, rng):
    folder = os.path.join(root, name)
    os.makedirs(folder)
    records = []
    for p in range(products):
        # Each product's margin line file opens but its first line is not
        # valid UTF-8: the reader gives up on the file and the product keeps
        # the points of the JSON. (A file that is missing would fail the run,
        # and a readable one would replace the JSON's points.)
        pts = "p%02d_margin.pts" % p
        with open(os.path.join(folder, pts), "wb") as f:
            f.write(b"\xff\xfe\n")
        records.append(product(rng, p, pts, margin_points(rng, points)))
    write_case(folder, name, machine, records)


def generate(repo, root):
    rng = random.Random(SEED)
    cases = []

    folder = os.path.join(root, "case7")
    os.makedirs(folder)
    source = os.path.join(repo, "examples", "case7.json")
    with open(source, encoding="utf-8") as f:
        case7 = json.load(f)
    shutil.copy(source, folder)
    case7_points = 0
    for p in case7["products"]:
        shutil.copy(os.path.join(repo, "examples", p["pts"]), folder)
        with open(os.path.join(folder, p["pts"]), encoding="utf-8") as f:
            case7_points += sum(1 for line in f if len(line.split()) == 3)
    cases.append({"name": "case7", "json": "case7.json", "points": case7_points,
                  "floor": "true", "ratio": 2.0, "memory": None})

    pts_case(root, "8x400", "WNC", 8, 400, rng)
    cases.append({"name": "8x400", "json": "8x400.json", "points": 8 * 400,
                  "floor": "true", "ratio": 3.5, "memory": None})

    pts_case(root, "large", "VHF_K5", 32, 100_000, rng)
    cases.append({"name": "large", "json": "large.json", "points": 32 * 100_000,
                  "floor": "io", "ratio": 2.5, "memory": "points"})

    inline_case(root, "inline", "VHF_K5", 10, 100_000, rng)
    cases.append({"name": "inline", "json": "inline.json", "points": 10 * 100_000,
                  "floor": "io", "ratio": 3.0, "memory": "json+points"})

    for case in cases:
        folder = os.path.join(root, case["name"])
        case["input_bytes"] = sum(os.path.getsize(os.path.join(folder, n))
                                  for n in os.listdir(folder))
        case["json_bytes"] = os.path.getsize(os.path.join(folder, case["json"]))
    with open(os.path.join(root, "cases.json"), "w", encoding="utf-8") as f:
        json.dump(cases, f, indent=1)


def medians(results, name):
    """Median time of each command over all the rounds of a case, in seconds."""
    times = {}
    for path in sorted(os.listdir(results)):
        if path.startswith(name + ".round") and path.endswith(".json"):
            with open(os.path.join(results, path), encoding="utf-8") as f:
                for result in json.load(f)["results"]:
                    times.setdefault(result["command"], []).extend(result["times"])
    return {command: statistics.median(values) for command, values in times.items()}


def report(root):
    with open(os.path.join(root, "cases.json"), encoding="utf-8") as f:
        cases = json.load(f)
    results = os.path.join(root, "results")
    with open(os.path.join(results, "tools"), encoding="utf-8") as f:
        tools = [line.rstrip("\n").split("\t") for line in f if line.strip()]

    header = ("case", "tool", "median ms", "in MiB/s", "out MiB/s", "peak MiB",
              "floor ms", "ratio", "target", "met")
    rows = []
    unmet = 0
    for case in cases:
        name = case["name"]
        median = medians(results, name)
        if case["floor"] == "true":
            floor = median["true"]
        else:
            # Net of the shell that runs the two floor commands.
            floor = median["floor"] - median["shell"]
        with open(os.path.join(results, name + ".output_bytes"), encoding="utf-8") as f:
            output_bytes = int(f.read())
        points_mib = case["points"] * 24 / MIB
        if case["memory"] == "points":
            memory_limit = 1.5 * points_mib + 8
        elif case["memory"] == "json+points":
            memory_limit = case["json_bytes"] / MIB + 1.5 * points_mib + 8
        else:
            memory_limit = None
        for label, _ in tools:
            seconds = median[label]
            with open(os.path.join(results, "%s.%s.rss_kib" % (name, label)),
                      encoding="utf-8") as f:
                rss = int(f.read()) / 1024.0
            ratio = seconds / floor if floor > 0 else float("inf")
            target = "<= %gx" % case["ratio"]
            met = ["yes" if ratio <= case["ratio"] else "NO"]
            if memory_limit is not None:
                target += ", <= %.1f MiB" % memory_limit
                met.append("yes" if rss <= memory_limit else "NO")
            unmet += met.count("NO")
            rows.append((name, label, "%.2f" % (seconds * 1e3),
                         "%.1f" % (case["input_bytes"] / MIB / seconds),
                         "%.1f" % (output_bytes / MIB / seconds),
                         "%.1f" % rss, "%.2f" % (floor * 1e3), "%.2fx" % ratio,
                         target, ", ".join(met)))

    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    left = {0, 1, 8, 9}

    def line(r):
        cells = [str(c).ljust(w) if i in left else str(c).rjust(w)
                 for i, (c, w) in enumerate(zip(r, widths))]
        return "  ".join(cells).rstrip()

    print(line(header))
    print("  ".join("-" * w for w in widths))
    for r in rows:
        print(line(r))
    print()
    for label, path in tools:
        print("%s = %s" % (label, path))
    for case in cases:
        print("%-6s in: %s bytes (JSON %s), %s points (%.1f MiB as doubles)" % (
            case["name"], format(case["input_bytes"], ","), format(case["json_bytes"], ","),
            format(case["points"], ","), case["points"] * 24 / MIB))
    print("targets not met: %d" % unmet)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "generate":
        generate(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "report":
        report(sys.argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
