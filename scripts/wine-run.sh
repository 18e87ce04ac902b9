#!/usr/bin/env bash
# Runs a Windows program under Wine, in the project's own prefix
# (build/wine), as the Windows tests need it. CMake uses this as the
# cross-compiling emulator, so gtest's test discovery and ctest both run the
# test programs through it.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENT...]
#   scripts/wine-run.sh --start     # only make sure the prefix and server are up
#   scripts/wine-run.sh --stop      # end the prefix's server and its services
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="$root/build/wine"
export WINEARCH=win64
export WINEDEBUG=-all
# With LANG=C Wine turns non-ASCII arguments into '?'.
export LANG=C.UTF-8
# No Mono or Gecko installer prompts at the prefix's creation.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's first start creates the prefix and its service processes, which
# inherit the standard streams of whoever starts them and outlive it: a
# caller that captures output (ctest, test discovery) would wait for them
# forever. So the prefix, a persistent server and the services are started
# here with none of the caller's streams, once, under a lock for parallel
# callers. A server that is already up answers at once.
start_wine() {
  mkdir -p "$root/build"
  exec 9>"$root/build/wine.lock"
  flock 9
  # The lock's descriptor is closed for Wine's processes, which would
  # otherwise hold the lock for as long as they live.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i 9>&-
    wineserver -w 9>&-
  fi
  if wineserver -p 9>&-; then
    wine cmd /c exit 9>&-
  fi
  exec 9>&-
}

# Whether the errors in file $1 are Wine's own, of a start that failed
# before the program ran: its loader's and its server's messages.
wine_failed_to_start() {
  grep -qE '^(wine: (could not|cannot|failed to|a wine server seems)|wine client error|wineserver: )' \
    "$1" && ! grep -qE '^wine: (Unhandled|Call from)' "$1"
}

case "${1:-}" in
  --stop) exec wineserver -k </dev/null >/dev/null 2>&1 ;;
  --start) start_wine </dev/null >/dev/null 2>&1 ;;
  *)
    start_wine </dev/null >/dev/null 2>&1
    # Now and then, on a loaded machine, Wine fails to start a program at
    # all, and says so in its own words on stderr ("wine: could not load
    # kernel32.dll", "wine client error", a wineserver fault): such a start
    # is tried again, twice at most. A program that ran is never started
    # again, whatever its end: one that crashed, or died with no word, fails
    # as it ended (a second start might pass and hide it). A crash that
    # Wine reports ("wine: Unhandled exception") is the program's.
    out=$(mktemp)
    err=$(mktemp)
    trap 'rm -f "$out" "$err"' EXIT
    for attempt in 1 2 3; do
      status=0
      wine "$@" >"$out" 2>"$err" || status=$?
      if ((status == 0)) || [ -s "$out" ] || ! wine_failed_to_start "$err"; then break; fi
      if ((attempt < 3)); then
        echo "wine-run.sh: Wine failed to start $1 (start $attempt of 3): $(head -n 1 "$err")" >&2
      fi
    done
    cat "$out"
    cat "$err" >&2
    exit "$status"
    ;;
esac
