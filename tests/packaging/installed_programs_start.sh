#!/usr/bin/env bash
# The installed programs carry no library search path (Debian allows none
# into another package's folder) and still start, through their start scripts,
# with the UNO libraries found. Arguments: cmake, the build folder.
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for program in "$prefix"/libexec/*; do
  if readelf -d "$program" | grep -E '\((RPATH|RUNPATH)\)'; then
    echo "$program: has a library search path"
    exit 1
  fi
done
"$prefix/bin/tarnwick-cli" --version
echo Nadel >"$prefix/heu.txt"
"$prefix/bin/tarnwick-cli" search nadel "$prefix" | grep -q "heu.txt; P: 0"
if [ -x "$prefix/bin/tarnwick" ]; then
  "$prefix/bin/tarnwick" --version
fi
