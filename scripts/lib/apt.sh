# Debian package helpers for the project's scripts; source it:
#   . "$(dirname "$0")/lib/apt.sh"
#
#   apt_install_missing [--quiet] [--no-recommends] PACKAGE...
#       installs those of the packages that are not installed (running
#       apt-get update first), as root or through sudo; nothing when all
#       are there. When another apt or dpkg (unattended upgrades, minutes
#       after a machine's first boot) holds its locks, waits for them,
#       saying so on stderr, APT_LOCK_WAIT seconds at most (default 600).
#   apt_source_entries deb|deb-src
#       prints one line per archive entry of that type in the machine's apt
#       sources, "URI<TAB>SUITE<TAB>COMPONENTS<TAB>OPTIONS", read from both
#       formats: one-line (sources.list, *.list) and deb822 (*.sources).
#       Entries marked "Enabled: no" are left out.
#   apt_archive_and_suite
#       prints "URI SUITE" of the first deb entry; fails, saying so, when
#       the machine has none.
#   apt_private_source STATE_DIR PACKAGE...
#       runs `apt-get source PACKAGE...` in the current directory through an
#       apt configuration of its own under STATE_DIR: deb-src entries made
#       from the machine's deb entries, with their own package lists and
#       cache. The machine's apt configuration is read, never changed, and
#       root is not needed.
# No archive is named here: every address comes from the machine's sources.

apt_sources_dir=${APT_SOURCES_DIR:-/etc/apt}

apt_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get run as root with ARGUMENT..., again every 5 s while it fails
# because another apt or dpkg holds a lock it needs (apt-get then changes
# nothing), for APT_LOCK_WAIT seconds at most. apt's own wait
# (DPkg::Lock::Timeout) covers the dpkg lock only, not the package lists'.
apt_get_waiting_for_locks() {
  local limit=${APT_LOCK_WAIT:-600} errors status locked waited=0
  errors=$(mktemp)
  while :; do
    status=0 locked=no
    apt_as_root env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>"$errors" || status=$?
    if ((status != 0)) &&
      grep -qE 'Could not get lock|Unable to lock directory|Unable to acquire the dpkg frontend lock' \
        "$errors"; then
      locked=yes
    fi
    if [ "$locked" = no ] || ((waited >= limit)); then break; fi
    if ((waited == 0)); then
      echo "Another apt or dpkg holds a lock that apt-get needs; waiting for it, $limit s at most:" >&2
      grep -m1 -E 'Could not get lock|Unable to' "$errors" >&2
    fi
    sleep 5
    waited=$((waited + 5))
  done
  if [ "$locked" = yes ]; then
    echo "Gave up waiting for apt's lock after $waited s" >&2
  fi
  cat "$errors" >&2
  rm -f "$errors"
  return "$status"
}

apt_missing_packages() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      printf '%s\n' "$package"
    fi
  done
}

apt_install_missing() {
  local quiet=no options=() missing
  while (($# > 0)); do
    case $1 in
      --quiet) quiet=yes; shift ;;
      --no-recommends) options+=(--no-install-recommends); shift ;;
      *) break ;;
    esac
  done
  mapfile -t missing < <(apt_missing_packages "$@")
  ((${#missing[@]} == 0)) && return 0
  echo "Installing: ${missing[*]}"
  apt_get_waiting_for_locks update -qq
  if [ "$quiet" = yes ]; then
    apt_get_waiting_for_locks install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
  else
    apt_get_waiting_for_locks install -y -qq "${options[@]}" "${missing[@]}"
  fi
}

apt_source_entries() {
  local type=$1 files=()
  [ -f "$apt_sources_dir/sources.list" ] && files+=("$apt_sources_dir/sources.list")
  local file
  for file in "$apt_sources_dir"/sources.list.d/*.list "$apt_sources_dir"/sources.list.d/*.sources; do
    [ -f "$file" ] && files+=("$file")
  done
  ((${#files[@]} == 0)) && return 0
  awk -v want="$type" '
    function flush(   i, j, nu, ns, uris, suites, opts) {
      if (types != "" && enabled != "no" && (" " types " ") ~ (" " want " ")) {
        opts = signed != "" ? "signed-by=" signed : ""
        nu = split(u, uris, " "); ns = split(s, suites, " ")
        for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++)
          printf "%s\t%s\t%s\t%s\n", uris[i], suites[j], c, opts
      }
      types = u = s = c = signed = enabled = ""
    }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 {
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^#/ || $0 ~ /^[ \t]/) next
      field = tolower($1); sub(/:$/, "", field)
      value = $0; sub(/^[^:]*:[ \t]*/, "", value)
      if (field == "types") types = value
      else if (field == "uris") u = value
      else if (field == "suites") s = value
      else if (field == "components") c = value
      else if (field == "signed-by") signed = value
      else if (field == "enabled") enabled = tolower(value)
      next
    }
    $1 == want {
      line = $0; opts = ""
      sub(/^[^ \t]+[ \t]+/, "", line)
      if (line ~ /^\[/) { opts = substr(line, 2, index(line, "]") - 2); sub(/^\[[^]]*\][ \t]*/, "", line) }
      n = split(line, w, /[ \t]+/)
      comps = ""; for (i = 3; i <= n; i++) comps = comps (i > 3 ? " " : "") w[i]
      gsub(/[ \t]+/, " ", opts)
      printf "%s\t%s\t%s\t%s\n", w[1], w[2], comps, opts
    }
    END { flush() }' "${files[@]}"
}

apt_archive_and_suite() {
  local uri suite
  IFS=$'\t' read -r uri suite _ < <(apt_source_entries deb) || true
  if [ -z "${uri:-}" ] || [ -z "${suite:-}" ]; then
    echo "No Debian archive in this machine's apt sources ($apt_sources_dir/sources.list," \
      "$apt_sources_dir/sources.list.d/*.list or *.sources): add a 'deb' entry first" >&2
    return 1
  fi
  printf '%s %s\n' "$uri" "$suite"
}

apt_private_source() {
  local state=$1
  shift
  mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/sources.list.d"
  local uri suite components options
  while IFS=$'\t' read -r uri suite components options; do
    printf 'deb-src %s%s %s %s\n' "${options:+[$options] }" "$uri" "$suite" "$components"
  done < <(apt_source_entries deb) >"$state/sources.list"
  if [ ! -s "$state/sources.list" ]; then
    echo "No Debian archive in this machine's apt sources to take source packages from" >&2
    return 1
  fi
  local private=(-o "Dir::Etc::SourceList=$state/sources.list" -o "Dir::Etc::SourceParts=$state/sources.list.d"
                 -o "Dir::State::Lists=$state/lists" -o "Dir::Cache=$state/cache")
  # As root, apt would fetch as its own user _apt, which may not write in a
  # folder of ours.
  if [ "$(id -u)" -eq 0 ]; then private+=(-o APT::Sandbox::User=root); fi
  apt-get "${private[@]}" update -qq
  apt-get "${private[@]}" source "$@"
}
