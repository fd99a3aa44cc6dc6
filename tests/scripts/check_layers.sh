#!/usr/bin/env bash
# scripts/check-layers passes the tree as it is, and on a small tree of its
# own names an include back up and a folder in no layer, and nothing else.
set -uo pipefail
check="$1/scripts/check-layers"
failed=0

if ! "$check" "$1"; then
  echo "the source tree breaks its layer order"
  failed=1
fi

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/platform" "$tree/engine/match" "$tree/engine/worker" "$tree/engine/extra"
echo '#pragma once' >"$tree/platform/Low.h"
echo '#pragma once' >"$tree/engine/worker/High.h"
printf '#include "engine/match/Down.h"\n#include "platform/Low.h"\n#include "boost/regex.hpp"\n' >"$tree/engine/worker/Down.cpp"
printf '#include "platform/Low.h"\n\n#include "engine/worker/High.h"\n' >"$tree/engine/match/Down.h"
echo '#pragma once' >"$tree/engine/extra/Stray.h"

got=$("$check" "$tree" 2>&1)
status=$?
expected='engine/extra/Stray.h: in no layer; add its folder to scripts/check-layers
engine/match/Down.h:3: includes engine/worker/High.h: engine/match may not use engine/worker
check-layers: 2 include(s) against the layer order'
if [ $status -ne 1 ] || [ "$got" != "$expected" ]; then
  printf 'on the bad tree: status %s, output:\n%s\n' "$status" "$got"
  failed=1
fi
exit $failed
