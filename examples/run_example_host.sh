#!/usr/bin/env bash
# Runs an example host against a fresh demo host database on the offscreen platform, the window
# closing itself, and checks what the host reports: success through the component registry, and
# the error's number and description when the id is refused or the database cannot be opened.
#
#   run_example_host.sh XOUTHOOK LIBRARY FINDER_PLUGIN HOST_COMMAND...
#
# HOST_COMMAND is the example host (the C program, or python3 with the script); it takes
# "register LIBRARY" or "--register LIBRARY" as its set-up step, then the invoice ids.
set -euo pipefail

xouthook="$1"
library="$2"
finder_plugin="$3"
shift 3
host=("$@")
work="$(mktemp -d "${TMPDIR:-/tmp}/xhook-example.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

export QT_QPA_PLATFORM=offscreen
export XHOOK_CLOSE_WINDOW_AFTER_MS=200
export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export XHOOK_COMPONENT_REGISTRY="$work/ComponentRegistry.ini"
unset XHOOK_FINDER_PLUGIN

"$xouthook" demo-db "$work/demo.db" >"$work/demo-db.log" 2>&1 || { cat "$work/demo-db.log" >&2; fail "demo-db"; }

# The set-up step: the C program takes "register", the Python script "--register".
case "${host[-1]}" in
*.py) register=(--register "$library") finder=(--finder-plugin "$finder_plugin") ;;
*) register=(register "$library") finder=() ;;
esac
"${host[@]}" "${register[@]}" >"$work/register.log" 2>&1 || { cat "$work/register.log" >&2; fail "registering"; }
registered="$(sed -n 's/^Path=//p' "$XHOOK_COMPONENT_REGISTRY" | head -1)"
[ "$(realpath "$registered")" = "$(realpath "$library")" ] ||
    fail "the registry names $registered, not $library"

"${host[@]}" "${finder[@]}" 1001,1002 >"$work/host.log" 2>&1 || { cat "$work/host.log" >&2; fail "the host failed"; }
cat "$work/host.log"
grep -qx 'hookBill(1001,1002): status 0, result 0' "$work/host.log" || fail "the host reported no success"

# An id that is no decimal id is refused at the door with the error's number and description, and
# without a message box: the host, which closes the window by XHOOK_CLOSE_WINDOW_AFTER_MS, never
# waits on one (a minute's wait means it did).
status=0
timeout 60 "${host[@]}" x >"$work/bad-id.log" 2>&1 || status=$?
cat "$work/bad-id.log"
[ "$status" -ne 124 ] || fail "hookBill(x) did not return: the host waits on a message box"
grep -Eq '^hookBill\(x\) failed: status -2147467259, error 5: .+' "$work/bad-id.log" ||
    fail "the host did not report the refusal of hookBill(x) with its number and description"

# The same host on a database that does not exist reports the failure with its error.
export XDG_CONFIG_HOME="$work/config-missing-db"
mkdir -p "$XDG_CONFIG_HOME"
printf '[DBOperation]\nDBConnectionString="Provider=SQLite;Data Source=%s"\n' "$work/missing/none.db" \
    >"$XDG_CONFIG_HOME/DuVariz2007.ini"
if "${host[@]}" 1001 >"$work/failing.log" 2>&1; then
    cat "$work/failing.log" >&2
    fail "the host reported success on a database that does not exist"
fi
cat "$work/failing.log"
grep -Eq '^hookBill\(1001\) failed: status -2147467259, error -?[1-9][0-9]*: .+' "$work/failing.log" ||
    fail "the host did not report the error's number and description"
echo "example host checked"
