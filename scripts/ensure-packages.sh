# Sourced by the set-up scripts: installs the Debian packages a step needs
# when they are missing, with sudo when not run as root, and turns on the
# compiler cache.
ensure_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# Compiles go through ccache when it is there: CI builds the code three times
# (plain, sanitized, fuzzing) and the package twice more. CMake takes the
# launcher from the environment when it first configures a build folder; the
# base folder lets the build folders of one checkout share their compiles.
use_compiler_cache() {
  command -v ccache >/dev/null || return 0
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
}

# What building and testing Korvantis needs.
BUILD_PACKAGES=(build-essential cmake ninja-build ccache libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev qt6-base-dev qt6-base-dev-tools libpng-dev libgif-dev libunistring-dev libxfixes-dev
  libusb-1.0-0-dev pkg-config)
