#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the static library $1 needs a symbol that one of the shared
# libraries after it defines, and names those symbols.
set -eu
core=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
nm --undefined-only "$core" | awk 'NF == 2 { print $2 }' | sort -u > "$scratch/needed"
nm -D --defined-only "$@" | awk 'NF == 3 { sub(/@.*/, "", $3); print $3 }' | sort -u > "$scratch/offered"
comm -12 "$scratch/needed" "$scratch/offered" > "$scratch/found"
[ ! -s "$scratch/found" ] || { c++filt < "$scratch/found"; exit 1; }
