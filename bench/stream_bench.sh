#!/usr/bin/env bash
# Memory of the listings: max RSS of `velmora-cli show --json`, `show --jsonl`, `show --csv` and the
# table, and of `set --dry-run` and `export --format csv` (which still hold their rows), on 1,000 and
# 10,000 small packages (and 100,000 hard links to them with FULL=1), by the build given and by an
# earlier build (BEFORE_BUILD_DIR, e.g. one of the commit before show streamed its rows), taking
# turns in one run. The figure that matters is how the peak grows from one count to the next.
# Usage: bench/stream_bench.sh BUILD_DIR BEFORE_BUILD_DIR [WORK_DIR] [ROUNDS]
set -euo pipefail
build=$(realpath "${1:?build folder}")
before=$(realpath "${2:?build folder to compare with}")
rounds=${4:-1}
source "$(dirname "$0")/corpus.sh"
use_work_folder "${3:-}"
corpus="$work/small10k"
make_corpus_once "$corpus" --profile small --count 10000
mapfile -t all < <(find "$corpus" -maxdepth 1 -name '*.pptx' | sort)
link_first_once "$corpus" "$work/small1k" 1000
counts=(1k 10k)
if [ "${FULL:-0}" = 1 ]; then
    if [ ! -d "$work/small100k" ]; then # ten hard links to each package
        rm -rf "$work/small100k.new"
        for copy in $(seq 0 9); do
            mkdir -p "$work/small100k.new/$copy"
            ln -t "$work/small100k.new/$copy" "${all[@]}"
        done
        mv "$work/small100k.new" "$work/small100k"
    fi
    counts+=(100k)
fi
export XDG_STATE_HOME="$work/state"

rss() { # BUILD FOLDER ARGUMENTS...: max RSS in KiB of one run, its output discarded
    local binary=$1/bin/velmora-cli folder=$2
    shift 2
    /usr/bin/time -f "%M" -o "$work/time.txt" "$binary" "$@" "$folder" >/dev/null 2>&1 || true
    tail -n 1 "$work/time.txt"
}

printf '%-5s %-20s %9s %11s %10s %8s\n' round command packages before_KiB after_KiB ratio
for round in $(seq "$rounds"); do
    for n in "${counts[@]}"; do
        folder="$work/small$n"
        for command in "show --json" "show --jsonl" "show --csv" "show" "set --dry-run --set Title=x" \
            "export --format csv --output $work/out.csv"; do
            read -r -a arguments <<<"$command"
            if [ "${arguments[1]:-}" = --jsonl ]; then
                b=-
            else
                b=$(rss "$before" "$folder" "${arguments[@]}")
            fi
            a=$(rss "$build" "$folder" "${arguments[@]}")
            ratio=$([ "$b" = - ] && echo - || awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }')
            printf '%-5s %-20s %9s %11s %10s %8s\n' "$round" "${arguments[0]} ${arguments[1]:-}" "$n" "$b" "$a" "$ratio"
        done
    done
done
