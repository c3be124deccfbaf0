#!/usr/bin/env bash
# The python3-quorvan package: the files it installs, its Depends as dh_python3 and dh_numpy3 write
# them, and the module's own tests run against it as installed (with the packaged quorvan-table).
. "$(dirname "$0")/lib.sh"
deb=$(realpath "$1")
programs=$(realpath "$2")
tests=$(realpath "$3")
docs=$(realpath "$4")
require dpkg-deb
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
dpkg-deb -x "$programs" "$root"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort)
expected="usr/lib/python3/dist-packages/quorvan/__init__.py
usr/lib/python3/dist-packages/quorvan/__init__.pyi
usr/lib/python3/dist-packages/quorvan/_adapt.py
usr/lib/python3/dist-packages/quorvan/_quorvan.$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX")[1:])')
usr/lib/python3/dist-packages/quorvan/py.typed
usr/share/doc/python3-quorvan/changelog.gz
usr/share/doc/python3-quorvan/copyright"
[ "$files" = "$expected" ] || fail "python3-quorvan holds:
$files
expected:
$expected"
depends=$(dpkg-deb -f "$deb" Depends)
for wanted in "python3 (>= 3.11~)" "python3 (<< 3.12)" "python3-numpy (>= 1:1.22.0)" "python3-numpy-abi9" libstdc++6; do
  grep -qF "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done
packages="$root/usr/lib/python3/dist-packages"
[ "$(PYTHONPATH=$packages /usr/bin/python3 -c 'import quorvan; print(quorvan.__file__)')" = "$packages/quorvan/__init__.py" ] ||
  fail "quorvan was not imported from the package"
cd "$root"
PYTHONPATH=$packages PYTHONDONTWRITEBYTECODE=1 QUORVAN_TABLE=$root/usr/bin/quorvan-table PYTHON_DOCS=$docs \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider "$tests"
