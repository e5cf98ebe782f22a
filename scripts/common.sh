# Shared by the project's commands: installs what is missing, configures and builds.
# shellcheck shell=bash
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${XHOOK_BUILD_DIR:-$ROOT/build}"

# Debian 12 packages the build, the tests and the demo use.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql
  libgtest-dev libsqlite3-dev
  postgresql
  xvfb xauth fonts-wqy-microhei
  dpkg-dev desktop-file-utils
)

install_missing_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing. Install them, then run this command again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# ccache, where it is installed, keeps the objects of earlier builds for the next one.
compiler_launcher_options() {
  if command -v ccache >/dev/null; then
    echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
  fi
}

configure_and_build() {
  # shellcheck disable=SC2046
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${XHOOK_BUILD_TYPE:-RelWithDebInfo}" \
    $(compiler_launcher_options) "$@" >/dev/null
  cmake --build "$BUILD_DIR" -j 2
}
