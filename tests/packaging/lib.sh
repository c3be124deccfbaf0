# shellcheck shell=bash
# Shared by the packaging tests.
set -euo pipefail

fail() {
  echo "$*"
  exit 1
}

# Skips the test (exit 77, CTest's SKIP_RETURN_CODE) when one of the named tools is missing, or fails
# it when QUORVAN_STRICT_TESTS=1, as scripts/test.sh sets: there every tool must be installed.
require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    [ "${QUORVAN_STRICT_TESTS:-}" != 1 ] || fail "$tool is not installed"
    echo "skipped: $tool is not installed"
    exit 77
  done
}
