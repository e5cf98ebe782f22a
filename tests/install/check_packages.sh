#!/usr/bin/env bash
# Builds the Debian packages of a finished build with CPack into a temporary folder and checks
# them as dpkg sees them, without installing anything: their names, versions and declared
# dependencies, which files each one carries, and that no file is in both.
#
#   check_packages.sh BUILD_DIR [CPACK]
#
# The version comes from the environment: XHOOK_VERSION.
set -euo pipefail

build_dir="$(cd "$1" && pwd)"
cpack="${2:-cpack}"
work="$(mktemp -d "${TMPDIR:-/tmp}/xhook-packages.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }

arch="$(dpkg --print-architecture)"
runtime="$work/dezuvaredodoziv8_${XHOOK_VERSION}_${arch}.deb"
development="$work/dezuvaredodoziv8-dev_${XHOOK_VERSION}_${arch}.deb"
[ -f "$runtime" ] || { ls "$work" >&2; fail "no runtime package $(basename "$runtime")"; }
[ -f "$development" ] || { ls "$work" >&2; fail "no development package $(basename "$development")"; }

field() {
    dpkg-deb --field "$1" "$2"
}

# The files of a package, as absolute paths without the leading ".".
contents() {
    dpkg-deb --contents "$1" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||'
}

expect_field() {
    local value
    value="$(field "$1" "$2")"
    [ "$value" = "$3" ] || fail "$(basename "$1"): $2 is '$value', expected '$3'"
}

expect_depends() {
    field "$1" Depends | tr ',' '\n' | sed 's/^ *//' | grep -q "^$2\( \|$\)" ||
        fail "$(basename "$1") does not depend on $2: $(field "$1" Depends)"
}

expect_recommends() {
    field "$1" Recommends | tr ',' '\n' | sed 's/^ *//' | grep -q "^$2\( \|$\)" ||
        fail "$(basename "$1") does not recommend $2: $(field "$1" Recommends)"
}

expect_file() {
    contents "$1" | grep -qx "$2" || fail "$(basename "$1") does not carry $2"
}

expect_field "$runtime" Package dezuvaredodoziv8
expect_field "$development" Package dezuvaredodoziv8-dev
expect_field "$runtime" Version "$XHOOK_VERSION"
expect_field "$development" Version "$XHOOK_VERSION"
expect_field "$runtime" Architecture "$arch"
[ -n "$(field "$runtime" Maintainer)" ] || fail "the runtime package names no maintainer"
[ -n "$(field "$runtime" Description)" ] || fail "the runtime package has no description"

# The shared-library dependencies come from dpkg-shlibdeps; the SQLite driver is loaded by name.
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 \
    libqt6sql6-sqlite libodbc2 libodbcinst2; do
    expect_depends "$runtime" "$dependency"
done
# The other providers' drivers are loaded by name too: PostgreSQL's, and the ODBC pieces.
for recommended in libqt6sql6-psql libqt6sql6-odbc unixodbc odbc-postgresql libsqliteodbc \
    tdsodbc; do
    expect_recommends "$runtime" "$recommended"
done
expect_depends "$development" "dezuvaredodoziv8 (= $XHOOK_VERSION)"
expect_depends "$development" qt6-base-dev

for file in /usr/lib/libDeZuvarEDodOziv8.so.1 "/usr/lib/libDeZuvarEDodOziv8.so.$XHOOK_VERSION" \
    /usr/lib/DeZuvarEDodOziv8/libxhookfinder.so /usr/bin/xouthook /usr/bin/xouthook-demo \
    /usr/share/applications/xouthook-demo.desktop \
    /usr/share/icons/hicolor/scalable/apps/xouthook-demo.svg; do
    expect_file "$runtime" "$file"
done
for file in /usr/lib/libDeZuvarEDodOziv8.so /usr/include/DeZuvarEDodOziv8/clsXoutBillHook.h \
    /usr/include/DeZuvarEDodOziv8/xouthook_c.h /usr/include/DeZuvarEDodOziv8/Export.h \
    /usr/include/DeZuvarEDodOziv8/DocumentFinder.h \
    /usr/lib/cmake/DeZuvarEDodOziv8/DeZuvarEDodOziv8Config.cmake \
    /usr/lib/pkgconfig/DeZuvarEDodOziv8.pc; do
    expect_file "$development" "$file"
done

# Each file belongs to one package only (folders are shared).
both="$( (dpkg-deb --contents "$runtime"; dpkg-deb --contents "$development") |
    awk '$1 !~ /^d/ { print $6 }' | sort | uniq -d)"
[ -z "$both" ] || fail "files in both packages: $both"

# The runtime's binaries are stripped.
mkdir "$work/runtime"
dpkg-deb --extract "$runtime" "$work/runtime"
for binary in usr/bin/xouthook usr/bin/xouthook-demo "usr/lib/libDeZuvarEDodOziv8.so.$XHOOK_VERSION"; do
    readelf -S "$work/runtime/$binary" | grep -q '\.debug_info' && fail "$binary is not stripped"
done

# The desktop entry is valid, where the validator is installed.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/runtime/usr/share/applications/xouthook-demo.desktop" ||
        fail "the desktop entry does not validate"
fi

echo "packages in $work checked"
