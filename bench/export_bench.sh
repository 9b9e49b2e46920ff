#!/usr/bin/env bash
# Memory of the workbook export: max RSS of `velmora-cli export --format xlsx` on 1,000 and 10,000
# small packages, by the build given and by an earlier build (BEFORE_BUILD_DIR, e.g. one of the
# commit before the workbook was written in constant-memory mode), taking turns in one run.
# `--format csv` of the same packages by the build given takes the same snapshot of the rows and
# builds its whole file in memory before writing it, for comparison.
# Scratch files go to the work folder (TMPDIR): the rows a constant-memory workbook has written
# wait in a scratch file there, as large as the sheet part (the "sheet B/row" column).
# Usage: bench/export_bench.sh BUILD_DIR BEFORE_BUILD_DIR [WORK_DIR] [ROUNDS]
set -euo pipefail
build=$(realpath "${1:?build folder}")
before=$(realpath "${2:?build folder to compare with}")
rounds=${4:-2}
source "$(dirname "$0")/corpus.sh"
use_work_folder "${3:-}"
corpus="$work/small10k"
make_corpus_once "$corpus" --profile small --count 10000
link_first_once "$corpus" "$work/small1k" 1000
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"

rss() { # BUILD FORMAT FOLDER: max RSS in KiB of one export
    /usr/bin/time -f "%M" -o "$work/time.txt" "$1/bin/velmora-cli" export --format "$2" \
        --output "$work/out.$2" "$3" >/dev/null 2>&1 || true
    tail -n 1 "$work/time.txt"
}

printf '%-6s %8s %14s %13s %12s %12s %12s\n' round packages before_KiB after_KiB after/before \
    csv_KiB "sheet B/row"
for round in $(seq "$rounds"); do
    for n in 1k 10k; do
        folder="$work/small$n"
        count=$(find "$folder" -maxdepth 1 -name '*.pptx' | wc -l)
        b=$(rss "$before" xlsx "$folder")
        a=$(rss "$build" xlsx "$folder")
        sheet=$(unzip -l "$work/out.xlsx" xl/worksheets/sheet1.xml | awk 'NR==4 { print $1 }')
        c=$(rss "$build" csv "$folder")
        echo "$round $count $b $a $c $sheet" >>"$work/rss.txt"
        awk -v r="$round" -v n="$count" -v b="$b" -v a="$a" -v c="$c" -v s="$sheet" \
            'BEGIN { printf "%-6s %8d %14d %13d %12.2f %12d %12.0f\n", r, n, b, a, a / b, c, s / n }'
    done
done
# What a row costs: the growth from 1,000 to 10,000 packages, per package, best of the rounds.
awk '{ k = $2; for (i = 3; i <= 5; i++) if (!((k, i) in m) || $i < m[k, i]) m[k, i] = $i }
     END { split("before after csv", name, " ")
           for (i = 3; i <= 5; i++)
               printf "per package, %-6s %6.0f bytes\n", name[i - 2], (m[10000, i] - m[1000, i]) * 1024 / 9000 }' \
    "$work/rss.txt"
rm -f "$work/rss.txt" "$work/time.txt" "$work/out.xlsx" "$work/out.csv"
echo "machine: $(nproc) cores, $(uname -r), scratch on $(df -T "$TMPDIR" | awk 'NR==2 { print $2 }')"
