#!/usr/bin/env bash
# Builds the Debian package from the build tree into OUT/quorvan.deb, for the tests that check it.
. "$(dirname "$0")/lib.sh"
cpack=$1
build=$2
version=$3
out=$4
require dpkg-deb dpkg-shlibdeps
rm -rf "$out"
mkdir -p "$out"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  fail "cpack failed"
fi
deb="$out/quorvan_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$out")"
mv "$deb" "$out/quorvan.deb"
