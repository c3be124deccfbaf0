#!/usr/bin/env bash
# The AppStream metadata in the package, with the desktop entry it launches, passes appstreamcli
# without an error or warning.
. "$(dirname "$0")/lib.sh"
deb=$1
require appstreamcli dpkg-deb
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
appstreamcli validate-tree --no-net --pedantic "$root"
