#!/usr/bin/env python3
"""Runs scripts/check-margin-lines on every row of margin-line-cases.tsv and
on the examples' margin line files; compares its findings and exit status.

Usage: check_margin_lines_test.py SOURCE_DIR
"""
import pathlib
import re
import subprocess
import sys
import tempfile

LOST = {"byte-order-mark", "not-utf8", "no-begin", "comma", "number-count"}


def unescape(text):
    """The bytes of a table text: \\n, \\r, \\t, \\xHH and \\\\."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        nxt = text[i + 1]
        if nxt == "x":
            out.append(int(text[i + 2:i + 4], 16))
            i += 4
            continue
        out += {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\"}[nxt]
        i += 2
    return bytes(out)


def rows(table):
    for line in table.read_text(encoding="utf-8").split("\n"):
        if not line or line.startswith("#"):
            continue
        what, text, _points, findings = line.split("\t")
        yield what, unescape(text), [] if findings == "-" else findings.split(" ")


def run_checker(checker, path):
    result = subprocess.run([sys.executable, str(checker), str(path)],
                            capture_output=True, text=True, check=False)
    found = []
    for line in result.stdout.splitlines():
        rest = line[len(str(path)):]
        match = re.match(r"^(?::(\d+))?: ([a-z0-9-]+): ", rest)
        if not match:
            found.append("unreadable:" + line)
            continue
        found.append(f"{match.group(1) or 0}:{match.group(2)}")
    return result.returncode, found, result.stderr


def main(source):
    checker = source / "scripts" / "check-margin-lines"
    passed = failed = 0

    def verdict(ok, message):
        nonlocal passed, failed
        if ok:
            passed += 1
        else:
            failed += 1
            print("FAIL: " + message)

    with tempfile.TemporaryDirectory() as work:
        path = pathlib.Path(work) / "line.pts"
        for what, data, expected in rows(source / "tests" / "margin_lines" / "margin-line-cases.tsv"):
            path.write_bytes(data)
            status, found, stderr = run_checker(checker, path)
            want_status = 1 if any(f.split(":")[1] in LOST for f in expected) else 0
            verdict(found == expected and status == want_status and not stderr,
                    f"{what}: found {found} (status {status}), expected {expected} "
                    f"(status {want_status}) {stderr}")
    for example in sorted((source / "examples").rglob("*.pts")):
        status, found, stderr = run_checker(checker, example)
        verdict(status == 0 and not found and not stderr, f"{example}: {found} {stderr}")
    missing = pathlib.Path(source / "no-such-file.pts")
    status, found, stderr = run_checker(checker, missing)
    verdict(status == 2 and "cannot be read" in stderr, f"missing file: status {status}")

    print(f"check-margin-lines: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
