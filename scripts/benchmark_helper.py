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


def full_precision(rng, flat, share):
    """The numbers as text, `share` of them (picked at random) in the
    shortest form that reads back exactly, as a program's default
    double-to-text conversion writes them (16 or 17 significant digits
    here), the others with six decimals as CAD software writes them."""
    rnd = rng.random
    return [repr(v) if rnd() < share else "%.6f" % v for v in flat]


def write_pts(path, flat, texts=None):
    if texts is None:
        text = "%.6f %.6f %.6f\n" * (len(flat) // 3) % tuple(flat)
    else:
        text = "%s %s %s\n" * (len(texts) // 3) % tuple(texts)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("BEGIN_MARGIN\n" + text + "END_MARGIN\n")


# How the points of a product are written inside the JSON: an object with
# six decimals (what CAD software writes), with three, with the shortest
# exact form of each double, or an array [x,y,z] with six decimals.
INLINE_FORMS = {
    "object": '{"x":%.6f,"y":%.6f,"z":%.6f},',
    "short": '{"x":%.3f,"y":%.3f,"z":%.3f},',
    "full": '{"x":%r,"y":%r,"z":%r},',
    "array": "[%.6f,%.6f,%.6f],",
    # As Python's json.dump writes them: a space after ":" and ",".
    "spaced": '{"x": %.6f, "y": %.6f, "z": %.6f}, ',
}


def product(rng, index, pts, inline_points=None, form="object"):
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
    # Written by hand: json.dumps would print the shortest round-trip form
    # of every number, not the forms that CAD software writes.
    coords = INLINE_FORMS[form] * (len(inline_points) // 3) % tuple(inline_points)
    coords = coords.rstrip(", ")
    return text[:-1] + ',"margin_line_coordinates":[' + coords + "]}"


def write_case(folder, name, machine, products):
    head = {"case_name": name, "machine": machine, "material": "ZIRCONIUM",
            "material_brand_reference": "zige"}
    text = json.dumps(head, separators=(",", ":"))[:-1] + ',"products":[\n'
    text += ",\n".join(products) + "\n]}\n"
    with open(os.path.join(folder, name + ".json"), "w", encoding="ascii") as f:
        f.write(text)


def pts_case(root, name, machine, products, points, rng, full_share=0.0, flats=None):
    folder = os.path.join(root, name)
    os.makedirs(folder)
    records = []
    for p in range(products):
        pts = "p%02d_margin.pts" % p
        flat = flats[p] if flats else margin_points(rng, points)
        texts = full_precision(rng, flat, full_share) if full_share else None
        write_pts(os.path.join(folder, pts), flat, texts)
        records.append(product(rng, p, pts))
    write_case(folder, name, machine, records)


def inline_case(root, name, machine, products, points, rng, form="object", flats=None):
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
        flat = flats[p] if flats else margin_points(rng, points)
        records.append(product(rng, p, pts, flat, form))
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
                  "floor": "true", "ratio": 3.0, "memory": None})

    pts_case(root, "large", "VHF_K5", 32, 100_000, rng)
    cases.append({"name": "large", "json": "large.json", "points": 32 * 100_000,
                  "floor": "io", "ratio": 2.0, "memory": "points"})

    # The cases above come first and keep their bytes from one version of
    # this script to the next: the random numbers are drawn in this order.
    inline_case(root, "inline", "VHF_K5", 10, 100_000, rng)
    cases.append({"name": "inline", "json": "inline.json", "points": 10 * 100_000,
                  "floor": "io", "ratio": 2.5, "memory": "json+points"})

    pts_case(root, "mixed", "VHF_K5", 32, 100_000, rng, full_share=1.0 / 3.0)
    cases.append({"name": "mixed", "json": "mixed.json", "points": 32 * 100_000,
                  "floor": "io", "ratio": 2.0, "memory": "points"})

    for name, form in (("in-short", "short"), ("in-full", "full"), ("in-array", "array")):
        inline_case(root, name, "VHF_K5", 10, 100_000, rng, form)
        cases.append({"name": name, "json": name + ".json", "points": 10 * 100_000,
                      "floor": "io", "ratio": 2.5, "memory": "json+points"})

    # Counted, not timed: two cases of a middle size for the instruction
    # counts (callgrind is some fifty times slower than the tool), the same
    # points in a .pts file and inline. Their own generator, so that the
    # cases above keep their bytes.
    counted = random.Random(SEED + 1)
    flats = [margin_points(counted, 20_000) for _ in range(8)]
    pts_case(root, "8x20k", "VHF_K5", 8, 20_000, counted, flats=flats)
    cases.append({"name": "8x20k", "json": "8x20k.json", "points": 8 * 20_000,
                  "floor": None, "ratio": None, "memory": None})
    inline_case(root, "in-8x20k", "VHF_K5", 8, 20_000, counted, flats=flats)
    cases.append({"name": "in-8x20k", "json": "in-8x20k.json", "points": 8 * 20_000,
                  "floor": None, "ratio": None, "memory": None})
    # The same points again as json.dump writes them, spaced.
    inline_case(root, "in-8x20k-spaced", "VHF_K5", 8, 20_000, counted, "spaced", flats=flats)
    cases.append({"name": "in-8x20k-spaced", "json": "in-8x20k-spaced.json",
                  "points": 8 * 20_000, "floor": None, "ratio": None, "memory": None})

    for case in cases:
        case["timed"] = case["floor"] is not None
        # The small and middle cases are counted by callgrind.
        case["counted"] = case["name"] in ("case7", "8x400", "8x20k", "in-8x20k",
                                            "in-8x20k-spaced")
        folder = os.path.join(root, case["name"])
        case["input_bytes"] = sum(os.path.getsize(os.path.join(folder, n))
                                  for n in os.listdir(folder))
        case["json_bytes"] = os.path.getsize(os.path.join(folder, case["json"]))
    with open(os.path.join(root, "cases.json"), "w", encoding="utf-8") as f:
        json.dump(cases, f, indent=1)


def round_times(results, name):
    """The times of each command in each round of a case, in seconds:
    {command: [[times of round 0], [times of round 1], ...]}."""
    rounds = {}
    for path in sorted(os.listdir(results)):
        if path.startswith(name + ".round") and path.endswith(".json"):
            with open(os.path.join(results, path), encoding="utf-8") as f:
                for result in json.load(f)["results"]:
                    rounds.setdefault(result["command"], []).append(result["times"])
    return rounds


def floor_of(case, median):
    """The floor of a case from the medians of its commands."""
    if case["floor"] == "true":
        return median["true"]
    # Net of the shell that runs the two floor commands.
    return median["floor"] - median["shell"]


def ratios(case, rounds, label):
    """The tool's median over the whole case and the ratio of each round."""
    whole = {command: statistics.median([t for r in times for t in r])
             for command, times in rounds.items()}
    per_round = []
    for i in range(len(rounds[label])):
        median = {command: statistics.median(times[i]) for command, times in rounds.items()}
        floor = floor_of(case, median)
        per_round.append(median[label] / floor if floor > 0 else float("inf"))
    return whole, per_round


def seconds_of(clock):
    """ "1:02.5" or "1:00:02" (as /usr/bin/time -v writes the elapsed time) in seconds."""
    total = 0.0
    for part in clock.split(":"):
        total = total * 60 + float(part)
    return total


def time_runs(results, name, label):
    """Peak RSS in KiB and the median of CPU time over wall time of the
    runs under /usr/bin/time -v."""
    peak, shares = 0, []
    for path in sorted(os.listdir(results)):
        if not path.startswith("%s.%s.time" % (name, label)):
            continue
        fields = {}
        with open(os.path.join(results, path), encoding="utf-8") as f:
            for line in f:
                key, _, value = line.strip().rpartition(": ")
                fields[key] = value
        peak = max(peak, int(fields["Maximum resident set size (kbytes)"]))
        cpu = float(fields["User time (seconds)"]) + float(fields["System time (seconds)"])
        wall = seconds_of(fields["Elapsed (wall clock) time (h:mm:ss or m:ss)"])
        if wall > 0:
            shares.append(cpu / wall)
    # /usr/bin/time gives hundredths of a second: nothing to say of a
    # case that takes less.
    return peak, statistics.median(shares) if shares else None


def print_counts(cases, results, tools):
    """The callgrind instruction counts of the counted cases, one column a
    binary, and each binary's count over the first's."""
    counted = [case for case in cases if case["counted"]]
    if not counted:
        return
    print()
    header = "%-15s" % "case" + "".join("  %14s" % ("instructions " + label) for label, _ in tools)
    if len(tools) > 1:
        header += "  %8s" % ("/".join(label for label, _ in tools))
    print(header)
    for case in counted:
        counts = []
        for label, _ in tools:
            with open(os.path.join(results, "%s.%s.callgrind.total" % (case["name"], label)),
                      encoding="utf-8") as f:
                counts.append(int(f.read()))
        row = "%-15s" % case["name"] + "".join("  %14s" % format(c, ",") for c in counts)
        if len(counts) > 1:
            row += "  %8.3f" % (counts[0] / counts[1])
        print(row)


def report(root):
    with open(os.path.join(root, "cases.json"), encoding="utf-8") as f:
        cases = json.load(f)
    results = os.path.join(root, "results")
    with open(os.path.join(results, "tools"), encoding="utf-8") as f:
        tools = [line.rstrip("\n").split("\t") for line in f if line.strip()]

    header = ("case", "tool", "median ms", "in MiB/s", "out MiB/s", "peak MiB", "cpu/wall",
              "floor ms", "ratio", "spread", "target", "met")
    rows = []
    unmet = 0
    for case in cases:
        if not case["timed"]:
            continue
        name = case["name"]
        rounds = round_times(results, name)
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
            median, per_round = ratios(case, rounds, label)
            floor = floor_of(case, median)
            seconds = median[label]
            peak_kib, cpu_share = time_runs(results, name, label)
            rss = peak_kib / 1024.0
            ratio = seconds / floor if floor > 0 else float("inf")
            target = "<= %gx" % case["ratio"]
            met = ["yes" if ratio <= case["ratio"] else "NO"]
            if memory_limit is not None:
                target += ", <= %.1f MiB" % memory_limit
                met.append("yes" if rss <= memory_limit else "NO")
            unmet += met.count("NO")
            cpu_text = "-" if cpu_share is None else "%.2f" % cpu_share
            rows.append((name, label, "%.2f" % (seconds * 1e3),
                         "%.1f" % (case["input_bytes"] / MIB / seconds),
                         "%.1f" % (output_bytes / MIB / seconds),
                         "%.1f" % rss, cpu_text, "%.2f" % (floor * 1e3),
                         "%.2fx" % ratio, "%.2f-%.2fx" % (min(per_round), max(per_round)),
                         target, ", ".join(met)))

    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    left = {0, 1, 10, 11}

    def line(r):
        cells = [str(c).ljust(w) if i in left else str(c).rjust(w)
                 for i, (c, w) in enumerate(zip(r, widths))]
        return "  ".join(cells).rstrip()

    print(line(header))
    print("  ".join("-" * w for w in widths))
    for r in rows:
        print(line(r))
    print_counts(cases, results, tools)
    print()
    for label, path in tools:
        print("%s = %s" % (label, path))
    for case in cases:
        print("%-8s in: %s bytes (JSON %s), %s points (%.1f MiB as doubles)" % (
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
