#!/usr/bin/env bash
# Checks that no folder of the component includes a folder above it. The layers, lowest first:
# foundation/, data/, window/, reconcile/, component/ (see docs/architecture.md). The public
# headers in include/ are below them all.
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

rank() {
  case "$1" in
    foundation) echo 0 ;; data) echo 1 ;; window) echo 2 ;; reconcile) echo 3 ;; component) echo 4 ;;
    *) echo -1 ;;
  esac
}

failures=0
while IFS=: read -r file _ line; do
  folder="${file%%/*}"
  included="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/' <<<"$line")"
  target="${included%%/*}"
  [ "$(rank "$target")" -lt 0 ] && continue
  if [ "$(rank "$target")" -gt "$(rank "$folder")" ]; then
    echo "$file includes $included, a layer above $folder/" >&2
    failures=$((failures + 1))
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' foundation data window reconcile component \
           --include='*.h' --include='*.cpp')

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) against the layers" >&2
  exit 1
fi
echo "the includes follow the layers"
