#!/usr/bin/env bash
# Checks what the Debian package ships and what it depends on, the metadata that names the version,
# and starts the packaged program on an X server of its own until its window shows.
. "$(dirname "$0")/lib.sh"
deb=$(realpath "$1")
version=$2
require dpkg-deb dpkg-parsechangelog file Xvfb xdotool
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

# Every file the package installs, one a line.
expected=(
  usr/bin/quorvan
  usr/bin/quorvan-table
  usr/share/applications/quorvan.desktop
  usr/share/doc/quorvan/changelog.gz
  usr/share/doc/quorvan/copyright
  usr/share/icons/hicolor/scalable/apps/quorvan.svg
  usr/share/man/man1/quorvan.1.gz
  usr/share/man/man1/quorvan-table.1.gz
  usr/share/metainfo/io.github.quorvan.Quorvan.metainfo.xml
)
dpkg-deb -x "$deb" "$work/root"
cd "$work/root"
files=$(find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$files" = "$wanted" ] || fail "package holds:
$files
expected:
$wanted"

depends=$(dpkg-deb -f "$deb" Depends)
grep -q '\blibfox-1\.6-0\b' <<<"$depends" || fail "Depends does not name the FOX runtime: $depends"

icon=$(sed -n 's/^Icon=//p' usr/share/applications/quorvan.desktop)
[ "$icon" = quorvan ] || fail "the desktop entry names icon '$icon'"
[[ $(file -b usr/share/icons/hicolor/scalable/apps/quorvan.svg) == SVG* ]] || fail "the icon is no SVG image"
head -1 usr/share/doc/quorvan/copyright |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
top=$(gzip -dc usr/share/doc/quorvan/changelog.gz | dpkg-parsechangelog -l - -S Version)
[ "$top" = "$version" ] || fail "the changelog's top entry is $top, not $version"
release=$(grep -om1 '<release version="[^"]*"' usr/share/metainfo/*.metainfo.xml)
[ "$release" = "<release version=\"$version\"" ] || fail "the AppStream top release is $release, not $version"

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
