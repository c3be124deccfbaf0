#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks what it ships and what it depends on, and
# starts the packaged program on an X server of its own until its window shows.
set -euo pipefail
cpack=$1
build=$2
version=$3
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$*"
  exit 1
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack failed"
fi
deb="$work/out/quorvan_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work/out")"

dpkg-deb -x "$deb" "$work/root"
files=$(cd "$work/root" && find . ! -type d | LC_ALL=C sort)
expected="./usr/bin/quorvan
./usr/bin/quorvan-table
./usr/share/applications/quorvan.desktop
./usr/share/man/man1/quorvan-table.1.gz
./usr/share/man/man1/quorvan.1.gz"
[ "$files" = "$expected" ] || fail "package holds:
$files
expected:
$expected"

depends=$(dpkg-deb -f "$deb" Depends)
grep -q '\blibfox-1\.6-0\b' <<<"$depends" || fail "Depends does not name the FOX runtime: $depends"

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display number"
export DISPLAY=":$(cat "$work/display")"
mkdir "$work/home"
HOME="$work/home" "$work/root/usr/bin/quorvan" &
app=$!
timeout 30 xdotool search --sync --onlyvisible --name '^Clift vs Load factor$' >/dev/null ||
  fail "the packaged program showed no window"
kill -0 "$app" || fail "the packaged program ended by itself"
