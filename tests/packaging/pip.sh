#!/usr/bin/env bash
# The Python package as pip users get it, from a copy of the source as a clone has it (no build
# folders), in new virtual environments over Debian's python3 (--system-site-packages lends them
# numpy, pybind11, setuptools and pytest; nothing is fetched) and with pkg-config unusable, so that
# nothing may need FOX. MODE is one of:
#   install   pip install of the source; the default case from another folder; pip uninstall
#             removes every file it installed
#   wheel     python3 -m build: the sdist's files, then the wheel built from it: its files, its
#             version, and the module's test suite run against it installed
#   editable  pip install -e of the source; the default case, with the package read from the source
. "$(dirname "$0")/lib.sh"
mode=$1
source=$(realpath "$2")
quorvan_table=$(realpath "$3")
readme=$(realpath "$4")
python=/usr/bin/python3
require cmake
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Makes a virtual environment over Debian's python3 and its packages.
venv() {
  "$python" -m venv --system-site-packages "$work/$1"
}

if ! venv v >/dev/null 2>&1 || ! "$python" -c 'import importlib.util as u, sys
sys.exit(not all(u.find_spec(m) for m in ("build", "pybind11", "setuptools", "wheel")))'; then
  [ "${QUORVAN_STRICT_TESTS:-}" != 1 ] || fail "python3-venv, python3-pip, python3-build or python3-pybind11 is missing"
  echo "skipped: python3-venv, python3-pip, python3-build or python3-pybind11 is not installed"
  exit 77
fi
mkdir "$work/src" "$work/elsewhere"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # The tracked files and the new ones not ignored, as they are in the working tree.
  git -C "$source" ls-files -z --cached --others --exclude-standard |
    tar -C "$source" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$work/src" -xf -
else
  tar -C "$source" --exclude='./build*' -cf - . | tar -C "$work/src" -xf -
fi
export PKG_CONFIG=/bin/false PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 PYTHONDONTWRITEBYTECODE=1

# Fails unless the quorvan that $1's python imports outside the source, from under $2 (by default
# its site-packages), computes the window's default case as its report shows it.
check_default_case() {
  (cd "$work/elsewhere" && "$work/$1/bin/python" - "${2:-}" <<'PY') || fail "the default case failed in $1"
import sys
import sysconfig
import quorvan
assert quorvan.__file__.startswith(sys.argv[1] or sysconfig.get_path("platlib")), quorvan.__file__
values = quorvan.reference_values()
report = {"lift_coefficient": 0.862991, "reynolds": 2.11497e7, "velocity": 236.056, "density": 0.363917}
for name, shown in report.items():
    assert float("%.6g" % values[name]) == shown, (name, values[name], shown)
PY
}

# Fails unless pip uninstall removes every file pip recorded for quorvan in $1.
check_uninstall() {
  local files
  files=$("$work/$1/bin/python" -c 'import importlib.metadata as m; print("\n".join(str(f.locate()) for f in m.files("quorvan")))')
  "$work/$1/bin/pip" uninstall -q -y quorvan || fail "pip uninstall failed"
  while read -r file; do
    [ ! -e "$file" ] || fail "pip uninstall left $file"
  done <<<"$files"
  ! (cd "$work/elsewhere" && "$work/$1/bin/python" -c 'import quorvan' 2>/dev/null) ||
    fail "quorvan is still importable after pip uninstall"
}

case "$mode" in
  install)
    (cd "$work/src" && "$work/v/bin/pip" install -q --no-build-isolation .) || fail "pip install failed"
    check_default_case v
    check_uninstall v
    ;;
  wheel)
    (cd "$work/src" && "$work/v/bin/python" -m build --no-isolation --outdir "$work/dist" . >"$work/build.log" 2>&1) ||
      { cat "$work/build.log"; fail "python3 -m build failed"; }
    version=$("$quorvan_table" --version)
    sdist="$work/dist/quorvan-$version.tar.gz"
    [ -f "$sdist" ] || fail "no sdist of version $version: $(ls "$work/dist")"
    # The sdist: what the module is built from (the core, the binding, the package, the build files),
    # the licence and the README, with setuptools' own records, and nothing else.
    held=$(tar -tzf "$sdist" | grep -v '/$' | sed "s|^quorvan-$version/||" | grep -v '^python/quorvan.egg-info/' | LC_ALL=C sort)
    wanted=$( (cd "$work/src" && find aero python -type f -not -path 'python/quorvan.egg-info/*' &&
      printf '%s\n' CMakeLists.txt LICENSE MANIFEST.in PKG-INFO README.md pyproject.toml setup.cfg setup.py) | LC_ALL=C sort)
    [ "$held" = "$wanted" ] || fail "the sdist holds what is marked >, and lacks what is marked <:
$(diff <(echo "$wanted") <(echo "$held") | grep '^[<>]')"
    wheels=("$work/dist/quorvan-$version"-*.whl)
    [ -f "${wheels[0]}" ] || fail "no wheel of version $version: $(ls "$work/dist")"
    suffix=$("$python" -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
    package=$("$python" -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "${wheels[0]}" | grep '^quorvan/' | LC_ALL=C sort)
    # Every Python file, stub and marker of the package's source, and the compiled module.
    wanted=$( (cd "$work/src/python" && ls quorvan/*.py quorvan/*.pyi quorvan/py.typed && echo "quorvan/_quorvan$suffix") |
      LC_ALL=C sort)
    [ "$package" = "$wanted" ] || fail "the wheel's package holds:
$package
expected:
$wanted"
    venv w
    "$work/w/bin/pip" install -q "${wheels[0]}" || fail "the wheel did not install"
    [ "$("$work/w/bin/python" -c 'import importlib.metadata as m; print(m.version("quorvan"))')" = "$version" ] ||
      fail "the installed wheel's version is not $version"
    check_default_case w
    # The module's own suite, against the installed wheel, from outside the source.
    (cd "$work/elsewhere" && QUORVAN_TABLE=$quorvan_table README=$readme "$work/w/bin/python" -m pytest -q -p no:cacheprovider \
      "$work/src/tests/python") || fail "the module's tests failed against the installed wheel"
    check_uninstall w
    ;;
  editable)
    (cd "$work/src" && "$work/v/bin/pip" install -q --no-build-isolation -e .) || fail "pip install -e failed"
    check_default_case v "$work/src/python/quorvan/"
    check_uninstall v
    ;;
  *) fail "unknown mode $mode" ;;
esac
