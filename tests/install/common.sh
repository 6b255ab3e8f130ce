# Shared by the installation tests (sourced): arguments, checks, staging and snapshots.
#   --cmake CMAKE --build BUILD_DIR --presets PRESET_DIR --probe VST3_PROBE --render RENDERER
#   [--vst2-host VST2_HOST]

KESTRUM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cmake_command="" build_dir="" presets="" probe="" render="" vst2_host=""
while [ $# -gt 0 ]; do
  case "$1" in
    --cmake) cmake_command="$2" ;;
    --build) build_dir="$2" ;;
    --presets) presets="$2" ;;
    --probe) probe="$2" ;;
    --render) render="$2" ;;
    --vst2-host) vst2_host="$2" ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

failures=0
check() { # check DESCRIPTION COMMAND...: runs the command, reports ok or FAIL.
  local what="$1"; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
skip() { echo "skip - $*"; }
finish() {
  if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
}

# Every regular file under the given roots with its checksum, for "nothing changed".
snapshot() {
  local root
  for root in "$@"; do
    [ -d "$root" ] && find "$root" -type f -print0 | sort -z | xargs -0 -r md5sum
  done
  return 0
}
same_files() { cmp -s "$1" "$2"; }
# Both folders hold the same files with the same bytes.
same_tree() { diff -r -q "$1" "$2" >/dev/null; }
contains() { grep -q -F -- "$2" "$1"; }
missing() { [ ! -e "$1" ]; }
not() { ! "$@"; }

# The products as the main job gathers them into dist/.
stage_products() {
  "$cmake_command" --install "$build_dir" --prefix "$1" >/dev/null
}

# The shipped preset library, or nothing when the tree has none yet.
have_presets() { [ -d "$presets/Factory" ] && [ -d "$presets/User" ]; }
first_user_slot() { find "$presets/User" -name '*.kestrumpreset' | sort | head -n 1; }

# The renderer can load a catalogue preset from a library folder.
# grep reads the whole help text: with -q it would stop early and the renderer would die of SIGPIPE.
render_loads_presets() { "$@" --help 2>/dev/null | grep -- --preset-number >/dev/null; }
