# Shared by run.sh and test.sh: installs the Debian packages that are missing, and nothing else.

# The Debian package is built with cpack, which needs dpkg-shlibdeps (dpkg-dev) and file.
# The Python module is built with Debian's pybind11 for its python3 and numpy; the tests build it
# with pip as well, in virtual environments.
build_packages="g++ make cmake pkg-config libfox-1.6-dev libcli11-dev dpkg-dev file pybind11-dev python3-dev
  python3-numpy"
test_packages="libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils x11-apps
  imagemagick locales valgrind desktop-file-utils groff-base lintian appstream clang-format
  clang libclang-rt-14-dev python3-pytest python3-pandas python3-dask python3-matplotlib python3-xarray
  python3-pint python3-mypy python3-nbclient python3-nbformat python3-ipykernel python3-venv python3-pip
  python3-build python3-setuptools python3-wheel python3-pybind11"
# The table tool's benchmark against the numpy/pandas script, and the README's chart.
bench_packages="time python3-numpy python3-pandas gnuplot-nox"

# Runs a command as root, through sudo when we are not root already.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the named packages that are not installed yet.
install_missing() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Generates the named UTF-8 locales where they are missing (the locale tests run under them).
ensure_locales() {
  local wanted
  local changed=no
  for wanted in "$@"; do
    if ! locale -a 2>/dev/null | grep -qix "${wanted%.UTF-8}.utf8"; then
      as_root sed -i "s/^# *\(${wanted} UTF-8\)/\1/" /etc/locale.gen
      grep -q "^${wanted} UTF-8" /etc/locale.gen || echo "${wanted} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
      changed=yes
    fi
  done
  if [ "$changed" = yes ]; then
    as_root locale-gen
  fi
}

# Runs a command with an X display: the current one, or a virtual X server of its own.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
  fi
}

# Builds the named targets in a build folder (build/ by default), configuring it first if it is new.
build_targets() {
  local build=$1
  shift
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$build" --target "$@" -j "$(nproc)" >/dev/null
}
