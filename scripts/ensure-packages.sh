# Sourced by the set-up scripts: installs the Debian packages a step needs
# when they are missing, with sudo when not run as root.
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

# What building and testing Korvantis needs.
BUILD_PACKAGES=(build-essential cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev qt6-base-dev qt6-base-dev-tools libpng-dev libgif-dev libunistring-dev)
