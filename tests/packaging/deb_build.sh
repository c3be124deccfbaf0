#!/usr/bin/env bash
# Builds the Debian packages from the build tree into OUT/quorvan.deb and, where the build has the
# Python module, OUT/python3-quorvan.deb, for the tests that check them.
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
arch=$(dpkg --print-architecture)
for package in quorvan python3-quorvan; do
  deb="$out/${package}_${version}_$arch.deb"
  if [ -f "$deb" ]; then
    mv "$deb" "$out/$package.deb"
  elif [ "$package" = quorvan ] || [ -f "$build/python/quorvan/__init__.py" ]; then
    fail "no $deb; cpack made: $(ls "$out")"
  fi
done
