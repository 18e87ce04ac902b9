# shellcheck shell=bash
# Headless Chromium for the report's scripts; source it:
#   . "$(dirname "$0")/lib/chromium.sh"
#
#   chromium_render ARGUMENT...
#       runs Debian's chromium headless with ARGUMENT... (a --window-size,
#       --screenshot=FILE or --dump-dom, and a file:// address) in a fresh
#       profile of its own, removed after: nothing fetched, no first-run
#       pages, no updates, one device pixel per CSS pixel; its chatter on
#       standard error is kept and shown only when it fails.

chromium_render() {
  local profile status=0
  profile=$(mktemp -d)
  # Root runs it here (containers, CI), where its sandbox cannot start.
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --force-device-scale-factor=1 --user-data-dir="$profile" "$@" \
    2>"$profile.log" || status=$?
  if ((status != 0)); then
    cat "$profile.log" >&2
    echo "chromium failed (status $status)" >&2
  fi
  rm -rf "$profile" "$profile.log"
  return "$status"
}
