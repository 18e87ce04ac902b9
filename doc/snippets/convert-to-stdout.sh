#!/usr/bin/env bash
# Writes the document of one case to standard output alone, for a pipe:
# the tool writes it to descriptor 3 (this script's standard output), and
# its own "Generated" line goes to standard error.
# Usage: convert-to-stdout.sh CASE.json | xmllint --format -
tool=${DAZ_TOOL:-daz-izezovivadezurid}
"$tool" "$1" -o /dev/fd/3 3>&1 1>&2
