#!/bin/bash
# Side by side: our workbook reader and FreeXL reading every cell of the same 40-sheet
# workbook (1 000 rows by 8 columns per sheet, made by the xls writer).
# Usage: bench/run_xls_bench.sh BUILD_DIR [repeats]
set -e
build=${1:?build dir}
repeats=${2:-10}
file=$(mktemp --suffix=.xls)
trap 'rm -f "$file"' EXIT
"$build/bench/xls_read_bench" make "$file"
echo "workbook: $(stat -c %s "$file") bytes"
"$build/bench/freexl_read" "$file" "$repeats"
"$build/bench/xls_read_bench" read "$file" "$repeats"
