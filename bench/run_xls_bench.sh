#!/bin/bash
# Side by side, on the same 40-sheet workbook (1 000 rows by 8 columns per sheet):
#   .xls  (made by the xls writer): our reader and FreeXL reading every cell;
#   .xlsx (made by libxlsxwriter):  our reader reading every cell and `unzip -p` inflating the
#         archive's parts to /dev/null, the floor any .xlsx reader stands on.
# Each is timed in-process (best of the repeats) and as whole processes (best of the repeats,
# started one after the other), with the peak memory.
# Usage: bench/run_xls_bench.sh BUILD_DIR [repeats]
set -e
build=${1:?build dir}
repeats=${2:-10}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
xls=$dir/bench.xls
xlsx=$dir/bench.xlsx
"$build/bench/xls_read_bench" make "$xls"
"$build/bench/xls_read_bench" make "$xlsx"

# Best wall time in ms and peak memory in KiB of `repeats` runs of a command.
whole() {
  local best=999999 peak=0
  for _ in $(seq "$repeats"); do
    /usr/bin/time -f '%e %M' -o "$dir/t" "$@" >/dev/null 2>&1
    read -r secs kib <"$dir/t"
    ms=$(awk -v s="$secs" 'BEGIN { printf "%d", s * 1000 }')
    [ "$ms" -lt "$best" ] && best=$ms
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  printf '%-8s whole process best %4d ms  peak %6d KiB\n' "$1" "$best" "$peak"
}

echo "== .xls: $(stat -c %s "$xls") bytes"
"$build/bench/freexl_read" "$xls" "$repeats"
"$build/bench/xls_read_bench" read "$xls" "$repeats"
whole "$build/bench/freexl_read" "$xls" 1
whole "$build/bench/xls_read_bench" read "$xls" 1

echo "== .xlsx: $(stat -c %s "$xlsx") bytes, $(unzip -Zt "$xlsx" | awk '{print $3}') bytes inflated"
"$build/bench/xls_read_bench" read "$xlsx" "$repeats"
whole unzip -p "$xlsx"
whole "$build/bench/xls_read_bench" read "$xlsx" 1
