# Sourced by the test scripts. require_tools TOOL...: when any of the tools is
# not installed, names them and ends the script: skipped (77), or failed (1)
# under CI, where every tool must be there.
require_tools() {
  local missing= tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || missing+=" $tool"
  done
  [ -z "$missing" ] && return 0
  echo "missing:$missing"
  [ -n "${CI:-}" ] && exit 1
  exit 77
}
