#!/usr/bin/env bash
# The README's commands on a machine that may not have make yet: installs what is missing (make
# included) and then runs make with the same arguments, e.g. `./make run`, `./make test PRESET=asan`.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
# The make on PATH, never this script (PATH may hold ".").
self=$(realpath "$0")
IFS=: read -ra dirs <<<"$PATH"
for dir in "${dirs[@]}"; do
  candidate=$(realpath "${dir:-.}/make" 2>/dev/null) || continue
  [ -x "$candidate" ] && [ "$candidate" != "$self" ] && exec "$candidate" "$@"
done
echo "./make: scripts/install-deps ran, yet there is no make on PATH" >&2
exit 1
