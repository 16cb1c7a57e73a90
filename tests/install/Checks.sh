# Assertions shared by the installation tests. Each failed check prints its
# reason; `finish` ends the script with the number of failures.
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  "$@" || fail "$what"
}

same_file() { cmp -s -- "$1" "$2"; }

contains() {  # contains TEXT PATTERN (fixed string)
  grep -qF -- "$2" <<<"$1"
}

lacks() {  # lacks TEXT PATTERN (fixed string)
  ! contains "$1" "$2"
}

finish() {
  if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

# A temporary folder removed at exit.
make_scratch() {
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/drivara-install-XXXXXX")
  trap 'rm -rf -- "$scratch"' EXIT
}
