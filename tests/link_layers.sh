#!/usr/bin/env bash
# Checks that no layer of the component calls up into a layer above it at link time: no symbol
# that a layer's library leaves undefined is defined by a library of a higher layer. Arguments:
# the layers' static libraries, lowest first (see docs/architecture.md).
set -euo pipefail
[ "$#" -ge 2 ] || { echo "usage: $0 LOWEST.a ... HIGHEST.a" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

libraries=("$@")
for i in "${!libraries[@]}"; do
  nm --undefined-only --format=posix "${libraries[$i]}" 2>/dev/null | awk '$2 == "U" {print $1}' |
    sort -u >"$work/undefined.$i"
  nm --defined-only --format=posix "${libraries[$i]}" 2>/dev/null |
    awk '$2 ~ /^[TDBR]$/ {print $1}' | sort -u >"$work/defined.$i"
done

failures=0
for i in "${!libraries[@]}"; do
  for ((j = i + 1; j < ${#libraries[@]}; j++)); do
    while read -r symbol; do
      echo "$(basename "${libraries[$i]}") uses $(c++filt "$symbol"), defined above it in $(basename "${libraries[$j]}")" >&2
      failures=$((failures + 1))
    done < <(comm -12 "$work/undefined.$i" "$work/defined.$j")
  done
done

if [ "$failures" -gt 0 ]; then
  echo "$failures symbol(s) against the layers" >&2
  exit 1
fi
echo "no layer links a layer above it"
