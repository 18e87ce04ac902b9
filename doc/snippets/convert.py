#!/usr/bin/env python3
"""Converts one case and prints the path of its document; on failure shows
the tool's report and ends with the tool's status.
Usage: convert.py CASE.json   (DAZ_TOOL names the program, if not on PATH)"""
import os
import subprocess
import sys


def convert(case_file, tool=os.environ.get("DAZ_TOOL", "daz-izezovivadezurid")):
    """The path of the document written for `case_file`."""
    result = subprocess.run([tool, case_file], capture_output=True, encoding="utf-8")
    if result.returncode != 0:  # 1: bad case files; 2: bad command line
        sys.stderr.write(f"conversion of {case_file} failed with status {result.returncode}:\n")
        sys.stderr.write(result.stderr)
        sys.exit(result.returncode)
    # The one line on success: "Generated <path>".
    return result.stdout.removeprefix("Generated ").removesuffix("\n")


if __name__ == "__main__":
    print("document: " + convert(sys.argv[1]))
