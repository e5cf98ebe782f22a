# Shared by the project's commands: installs what is missing, configures and builds.
# shellcheck shell=bash
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${XHOOK_BUILD_DIR:-$ROOT/build}"

# Debian 12 packages the build, the tests and the demo use.
PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format git
  qt6-base-dev qt6-svg-dev libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n
  libgtest-dev libsqlite3-dev
  postgresql libpq-dev pgbouncer openssl
  libqt6sql6-odbc unixodbc unixodbc-dev odbc-postgresql libsqliteodbc tdsodbc
  xvfb xauth fonts-wqy-microhei
  at-spi2-core dbus-x11 python3-pyatspi
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

# Starts a throw-away PostgreSQL server for the postgres tests in a temporary folder, which is
# stopped and removed when the calling script ends (also when tests fail), and exports its
# connection string as XHOOK_PG_CONNECTION; pgbouncer in transaction pooling mode in front of it,
# its connection string as XHOOK_PG_BOUNCER_CONNECTION. When the server cannot be started, the
# connection strings name the server that is not there, so the postgres tests fail saying so and
# the SQLite tests still run. The connection string of the server's TLS user (see
# scripts/pg-test-server) is exported as XHOOK_PG_TLS_CONNECTION.
start_test_server() {
  PG_DIR="$(mktemp -d "${TMPDIR:-/tmp}/xhook-pg.XXXXXX")"
  trap '"$ROOT/scripts/pg-test-server" stop "$PG_DIR" || true; rm -rf "$PG_DIR"' EXIT
  if "$ROOT/scripts/pg-test-server" start "$PG_DIR" --tls; then
    XHOOK_PG_CONNECTION="$(cat "$PG_DIR/connection-string")"
    "$ROOT/scripts/pg-test-server" bouncer "$PG_DIR" ||
      echo "$(basename "$0"): pgbouncer did not start; the postgres tests through it will fail" >&2
    XHOOK_PG_TLS_CONNECTION="$(cat "$PG_DIR/tls-connection-string")"
    export XHOOK_PG_TLS_CONNECTION
  else
    echo "$(basename "$0"): the PostgreSQL test server did not start; the postgres tests will fail" >&2
    XHOOK_PG_CONNECTION="Provider=PostgreSQL;Server=$PG_DIR/socket;Port=54000;Database=xhook_test;User ID=postgres"
  fi
  XHOOK_PG_BOUNCER_CONNECTION="$(cat "$PG_DIR/bouncer-connection-string" 2>/dev/null ||
    echo "Provider=PostgreSQL;Server=$PG_DIR/bouncer;Port=6432;Database=xhook_test;User ID=postgres")"
  export XHOOK_PG_CONNECTION XHOOK_PG_BOUNCER_CONNECTION
}
