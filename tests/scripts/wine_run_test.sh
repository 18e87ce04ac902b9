#!/usr/bin/env bash
# scripts/wine-run.sh starts a program again only when Wine itself failed to
# start it, never a program that ran: run with a stand-in `wine` (and
# wineboot, wineserver) first on PATH that plays each way a start can end
# and counts the starts. No Wine is needed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# The stand-in: `wine cmd /c exit` (the server's warm-up) succeeds; any
# other start is counted in $work/starts and plays the next line of
# $work/plays: "start-fails" (Wine's loader message, status 1), "silent N"
# (no output, status N), "crash N" (Wine's report of an unhandled
# exception, status N), "ok" (prints "ran", status 0).
cat >"$work/bin/wine" <<'WINE'
#!/usr/bin/env bash
[ "$1" = cmd ] && exit 0
echo x >>"$FAKE_WINE_DIR/starts"
starts=$(wc -l <"$FAKE_WINE_DIR/starts")
read -r play status < <(sed -n "${starts}p" "$FAKE_WINE_DIR/plays")
case $play in
  start-fails) echo "wine: could not load kernel32.dll, status c0000135" >&2; exit 1 ;;
  silent) exit "$status" ;;
  crash) echo "wine: Unhandled page fault on read access to 0000000000000000 at address 0000000140001234" >&2
         exit "$status" ;;
  ok) echo ran; exit 0 ;;
esac
WINE
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineboot"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" FAKE_WINE_DIR=$work

passed=0
failed=0
# Each row: the plays of successive starts | the status and the number of
# starts expected | what the row shows.
rows=(
  "silent 3|3 1|a program that dies with no output fails, started once"
  "silent 0|0 1|a program that ends well with no output is started once"
  "crash 5|5 1|a program whose crash Wine reports fails, started once"
  "start-fails,ok|0 2|a start that Wine failed is tried again"
  "start-fails,silent 3|3 2|after a failed start, a program that ran is not started again"
  "start-fails,start-fails,start-fails,ok|1 3|Wine failing at every start: three starts, then its failure"
)
for row in "${rows[@]}"; do
  IFS='|' read -r plays expected what <<<"$row"
  tr ',' '\n' <<<"$plays" >"$work/plays"
  : >"$work/starts"
  status=0
  "$wine_run" program.exe >"$work/out" 2>"$work/err" || status=$?
  got="$status $(wc -l <"$work/starts")"
  if [ "$got" = "$expected" ]; then
    passed=$((passed + 1))
  else
    printf 'FAIL: %s\n  expected status and starts: %s\n  got:                        %s\n  stderr: %s\n' \
      "$what" "$expected" "$got" "$(cat "$work/err")"
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
((failed == 0))
