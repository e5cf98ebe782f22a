#!/usr/bin/env bash
# Installs a finished build into a temporary prefix and checks the installation as its users meet
# it: the files in their folders, the library's exported symbols, the programs and the finder
# plugin without a second copy of the component, a CMake project built with
# find_package(DeZuvarEDodOziv8 CONFIG), a finder plugin built against the installed headers and
# loaded by a host, and the pkg-config file.
#
#   check_install.sh BUILD_DIR [CMAKE [GENERATOR [CXX]]]
#
# The build's install folders, relative to the prefix, and its version come from the environment:
# XHOOK_BINDIR, XHOOK_LIBDIR, XHOOK_INCLUDEDIR, XHOOK_DATADIR and XHOOK_VERSION.
set -euo pipefail

build_dir="$(cd "$1" && pwd)"
cmake="${2:-cmake}"
generator="${3:-Ninja}"
cxx="${4:-c++}"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/xhook-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
unset LD_LIBRARY_PATH

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

same_folder() {
    [ "$(realpath -m "$1")" = "$(realpath -m "$2")" ]
}

expect_file() {
    [ -f "$prefix/$1" ] || fail "not installed: $1"
}

# The library file that the dynamic loader picks for the program or plugin FILE.
resolved_library() {
    ldd "$1" | sed -n 's/^[[:space:]]*libDeZuvarEDodOziv8\.so\.1 => \([^ ]*\).*/\1/p'
}

expect_library_from_prefix() {
    local found
    found="$(resolved_library "$1")"
    [ -n "$found" ] || fail "$1 does not find libDeZuvarEDodOziv8.so.1"
    [ "$(realpath "$found")" = "$(realpath "$prefix/$libdir/libDeZuvarEDodOziv8.so.1")" ] ||
        fail "$1 loads the library from $found, not from the installation"
}

"$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install"; }

libdir="$XHOOK_LIBDIR"
bindir="$XHOOK_BINDIR"
includedir="$XHOOK_INCLUDEDIR"
datadir="$XHOOK_DATADIR"
plugin="$libdir/DeZuvarEDodOziv8/libxhookfinder.so"

# The files, in their folders.
expect_file "$libdir/libDeZuvarEDodOziv8.so.1"
[ -L "$prefix/$libdir/libDeZuvarEDodOziv8.so" ] || fail "no development link libDeZuvarEDodOziv8.so"
[ -L "$prefix/$libdir/libDeZuvarEDodOziv8.so.1" ] || fail "no SOVERSION link libDeZuvarEDodOziv8.so.1"
readelf -d "$prefix/$libdir/libDeZuvarEDodOziv8.so.1" | grep -q 'SONAME.*\[libDeZuvarEDodOziv8\.so\.1\]' ||
    fail "the library's SONAME is not libDeZuvarEDodOziv8.so.1"
for header in "$source_dir"/include/DeZuvarEDodOziv8/*.h; do
    name="$includedir/DeZuvarEDodOziv8/$(basename "$header")"
    expect_file "$name"
    cmp -s "$header" "$prefix/$name" || fail "$name differs from its source"
done
expect_file "$plugin"
expect_file "$bindir/xouthook"
expect_file "$bindir/xouthook-demo"
expect_file "$datadir/applications/xouthook-demo.desktop"
grep -qx 'Exec=xouthook-demo.*' "$prefix/$datadir/applications/xouthook-demo.desktop" ||
    fail "the desktop entry does not start xouthook-demo"
icon="$(sed -n 's/^Icon=//p' "$prefix/$datadir/applications/xouthook-demo.desktop")"
[ -n "$icon" ] || fail "the desktop entry names no icon"
expect_file "$datadir/icons/hicolor/scalable/apps/$icon.svg"
expect_file "$libdir/cmake/DeZuvarEDodOziv8/DeZuvarEDodOziv8Config.cmake"
expect_file "$libdir/pkgconfig/DeZuvarEDodOziv8.pc"

# The installed library exports its public surface and nothing else. The programs carry the
# component themselves, and the plugin nothing of it: none of them loads the library, so a process
# never holds two copies of the component.
bash "$source_dir/tests/abi/check_dynamic_symbols.sh" "$prefix/$libdir/libDeZuvarEDodOziv8.so.1" \
    "$source_dir/tests/abi/DeZuvarEDodOziv8.symbols" >/dev/null
bash "$source_dir/tests/abi/check_dynamic_symbols.sh" "$prefix/$plugin" \
    "$source_dir/tests/abi/xhookfinder.symbols" >/dev/null
for program in "$bindir/xouthook" "$bindir/xouthook-demo" "$plugin"; do
    [ -z "$(resolved_library "$prefix/$program")" ] || fail "$program loads libDeZuvarEDodOziv8.so.1"
done
QT_QPA_PLATFORM=offscreen "$prefix/$bindir/xouthook" --help >"$work/help.txt" ||
    fail "the installed xouthook --help failed"
grep -q '^Usage: xouthook' "$work/help.txt" || fail "the installed xouthook printed no usage"
# The installed demo program registers the installed finder plugin when it starts.
registry="$work/ComponentRegistry.ini"
env -u XHOOK_FINDER_PLUGIN XHOOK_COMPONENT_REGISTRY="$registry" XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen "$prefix/$bindir/xouthook-demo" \
    >"$work/demo.log" 2>&1 &
demo_pid=$!
for _ in $(seq 100); do
    grep -q '^Path=' "$registry" 2>/dev/null && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
kill "$demo_pid" 2>/dev/null || true
wait "$demo_pid" 2>/dev/null || true
registered="$(sed -n 's/^Path=//p' "$registry" 2>/dev/null || true)"
[ -n "$registered" ] || { cat "$work/demo.log" >&2; fail "the installed demo registered no finder plugin"; }
[ "$(realpath "$registered")" = "$(realpath "$prefix/$plugin")" ] ||
    fail "the installed demo registered the finder plugin $registered"

# A CMake project that finds the package.
"$cmake" -S "$source_dir/tests/install/consumer" -B "$work/consumer" -G "$generator" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 ||
    { cat "$work/consumer.log" >&2; fail "configuring the consumer"; }
"$cmake" --build "$work/consumer" >>"$work/consumer.log" 2>&1 ||
    { cat "$work/consumer.log" >&2; fail "building the consumer"; }
expect_library_from_prefix "$work/consumer/consumer"
"$work/consumer/consumer" >"$work/consumer.out" || fail "the consumer failed"
printf 'DeZuvarEDodOziv8.clsXoutBillHook\nDllCanUnloadNow=0\n' | cmp -s - "$work/consumer.out" ||
    { cat "$work/consumer.out" >&2; fail "the consumer printed something else"; }

# A document finder plugin built against the installation, with its headers and no link to the
# library, is created by the window's outbound lookup of a host that links the installed library,
# and reads the host database through the context it is given.
lookup="$work/lookup"
mkdir -p "$lookup"
"$cmake" -S "$source_dir/tests/install/plugin" -B "$lookup/build" -G "$generator" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >"$lookup/build.log" 2>&1 &&
    "$cmake" --build "$lookup/build" >>"$lookup/build.log" 2>&1 ||
    { cat "$lookup/build.log" >&2; fail "building the plugin and its host"; }
[ -z "$(resolved_library "$lookup/build/libfinder.so")" ] || fail "the plugin links the library"
expect_library_from_prefix "$lookup/build/lookup_host"
printf '[%s]\nProgID=Test.DocumentFinder\nPath=%s\nThreadingModel=Apartment\nLIBID=\nVersion=1.0\n' \
    '{F295C352-DBCE-4A72-B206-4C4E87837FD8}' "$lookup/build/libfinder.so" >"$lookup/ComponentRegistry.ini"
(
    export XHOOK_COMPONENT_REGISTRY="$lookup/ComponentRegistry.ini" XDG_CONFIG_HOME="$lookup/config" \
        XDG_DATA_HOME="$lookup/data" QT_QPA_PLATFORM=offscreen XHOOK_CLOSE_WINDOW_AFTER_MS=1000
    "$prefix/$bindir/xouthook" demo-db "$lookup/demo.db" >"$lookup/demo-db.log" 2>&1 ||
        { cat "$lookup/demo-db.log" >&2; fail "the installed xouthook demo-db failed"; }
    timeout 120 "$lookup/build/lookup_host" 1001 >"$lookup/host.log" 2>&1 ||
        { cat "$lookup/host.log" >&2; fail "the host with the plugin failed"; }
)
grep -Eqx 'finder: access code @#\^wmzt, [1-9][0-9]* documents' "$lookup/host.log" ||
    { cat "$lookup/host.log" >&2; fail "the plugin built against the installation was not used"; }
grep -qx 'hookBill returned' "$lookup/host.log" || fail "hookBill did not return"

# The pkg-config file: its flags name the installation and build the same program.
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
flags="$(pkg-config --cflags --libs DeZuvarEDodOziv8)" || fail "pkg-config found no DeZuvarEDodOziv8"
[ "$(pkg-config --modversion DeZuvarEDodOziv8)" = "$XHOOK_VERSION" ] ||
    fail "pkg-config reports another version"
include_ok="" lib_ok=""
for flag in $flags; do
    case "$flag" in
    -I*) if same_folder "${flag#-I}" "$prefix/$includedir"; then include_ok=1; fi ;;
    -L*) if same_folder "${flag#-L}" "$prefix/$libdir"; then lib_ok=1; fi ;;
    esac
done
[ -n "$include_ok" ] || fail "pkg-config gives no -I for the installed headers: $flags"
[ -n "$lib_ok" ] || fail "pkg-config gives no -L for the installed library: $flags"
# shellcheck disable=SC2086
"$cxx" -std=c++20 -fPIC "$source_dir/tests/install/consumer/main.cpp" -o "$work/pc-consumer" $flags ||
    fail "building with the pkg-config flags"
LD_LIBRARY_PATH="$prefix/$libdir" "$work/pc-consumer" | cmp -s "$work/consumer.out" - ||
    fail "the program built with pkg-config printed something else"

echo "installation in $prefix checked"
