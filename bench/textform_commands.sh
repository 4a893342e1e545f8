#!/usr/bin/env bash
# Time of `dravik-cli export`, `import` and `diff` on a full project (240 pages x 200
# elements), wall clock and CPU (user + system: on a busy machine the CPU time is the
# steadier figure), best of three runs each. Also checks the round trip on the way.
set -euo pipefail
build="${1:-$(cd "$(dirname "$0")/.." && pwd)/build}"
cli="$build/bin/dravik-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/a" "$work/b"
"$build/bin/dravik_make_full_project" "$work/a/full.QX3"

BEST_OF=3
source "$(dirname "$0")/best_of.sh"

best export "$cli" export "$work/a/full.QX3" -o "$work/full.json"
best import "$cli" import --force "$work/full.json" -o "$work/b/full.QX3"
"$cli" export "$work/b/full.QX3" -o "$work/again.json"
cmp -s "$work/full.json" "$work/again.json" || { echo "round trip changed the text form" >&2; exit 1; }
best diff bash -c '"$0" diff "$1" "$2"; [[ $? -le 1 ]]' "$cli" "$work/a/full.QX3" "$work/b/full.QX3"

# The worst case for diff: every element of every page moved, so every element is reported.
mkdir "$work/c"
sed -E 's/"left": ([0-9]+)/"left": 1\1/' "$work/full.json" >"$work/moved.json"
"$cli" import "$work/moved.json" -o "$work/c/moved.QX3" >/dev/null
best diff-all bash -c '"$0" diff "$1" "$2"; [[ $? -le 1 ]]' "$cli" "$work/a/full.QX3" "$work/c/moved.QX3"
best diff-all-json bash -c '"$0" diff --json "$1" "$2"; [[ $? -le 1 ]]' "$cli" "$work/a/full.QX3" "$work/c/moved.QX3"
echo "text form: $(stat -c %s "$work/full.json") bytes, $(wc -l <"$work/full.json") lines"
