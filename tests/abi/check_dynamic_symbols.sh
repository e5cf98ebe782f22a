#!/usr/bin/env bash
# Compares the dynamic symbols that a built library defines with the list checked in beside this
# script, and checks that it takes nothing of the component's namespaces from another file: the
# shared library exports its public surface and no more, and the finder plugin exports its entry
# function and carries or needs nothing of the component.
#
#   check_dynamic_symbols.sh LIBRARY LIST
#
# LIST holds one "TYPE NAME" line per symbol as `nm -D --defined-only -C` prints it (the names
# demangled, with their version), sorted. After a deliberate change of the public surface, write
# it anew with: nm -D --defined-only -C LIBRARY | cut -d' ' -f2- | LC_ALL=C sort >LIST
set -euo pipefail

library="$1"
list="$2"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -f "$library" ] || fail "no library $library"
[ -f "$list" ] || fail "no symbol list $list"

defined="$(nm -D --defined-only -C "$library" | cut -d' ' -f2- | LC_ALL=C sort)"
if ! diff -u "$list" - <<<"$defined"; then
    fail "$(basename "$library") exports other symbols than $(basename "$list") lists (- listed, + exported)"
fi

foreign="$(nm -D --undefined-only -C "$library" | grep -E ' (xhook|DeZuvarEDodOziv8)::' || true)"
[ -z "$foreign" ] || fail "$(basename "$library") takes symbols of the component from elsewhere: $foreign"
if readelf -d "$library" | grep -q 'NEEDED.*\[libDeZuvarEDodOziv8\.so'; then
    fail "$(basename "$library") loads libDeZuvarEDodOziv8 itself"
fi

echo "$(basename "$library"): $(wc -l <<<"$defined") dynamic symbols, as listed"
