#!/usr/bin/env bash
# Save benchmark: `velmora-cli set` on 20 packages of about 100 MB, side by side with `cp` of the
# same files (and `cp` followed by `sync`, since a save flushes its new package to disk before it
# replaces the old one). Every contender starts from the same warm page cache; times are wall
# seconds, best of two; max RSS in KiB.
# Usage: bench/set_bench.sh BUILD_DIR [WORK_DIR]
set -euo pipefail
build=$(realpath "${1:?build folder}")
work=${2:-${TMPDIR:-/tmp}/velmora-set-bench}
shared=/work/shared
[ -f "$(dirname "$0")/../../shared/bench/make_corpus.py" ] && shared=$(realpath "$(dirname "$0")/../../shared")
corpus=$work/large
if [ ! -d "$corpus" ]; then
    python3 "$shared/bench/make_corpus.py" --profile large --out "$corpus" --jobs 2 >/dev/null
fi
mapfile -t files < <(ls "$corpus"/*.pptx)
bytes=$(du -cb "${files[@]}" | tail -1 | cut -f1)

last=""
run() { # label, command: best-of-two wall seconds and the max RSS; the time is left in $last
    local label=$1 command=$2 best="" t rss
    for _ in 1 2; do
        rm -rf "$work/out" "$work/cp" && mkdir -p "$work/out" "$work/cp"
        cp "${files[@]}" "$work/out/" && sync # fresh writable copies, flushed, not timed
        cat "${files[@]}" >/dev/null
        /usr/bin/time -f "%e %M" -o "$work/time.txt" bash -c "$command" >/dev/null
        read -r t rss <"$work/time.txt"
        if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    printf '%-44s %8s %10s\n' "$label" "$best" "$rss"
    last=$best
}

printf '%-44s %8s %10s\n' "${#files[@]} packages, $((bytes / 1048576)) MiB" seconds "maxRSS KiB"
run "cp" "cp ${files[*]} '$work/cp/'"
cp=$last
run "cp + sync" "cp ${files[*]} '$work/cp/' && sync"
cpSync=$last
run "velmora-cli set --set Title=..." "'$build/bin/velmora-cli' set --set 'Title=Benchmark run' '$work'/out/*.pptx"
set=$last
rm -rf "$work/cp" "$work/out"
awk -v c="$cp" -v y="$cpSync" -v s="$set" 'BEGIN { printf "set / cp = %.2f; set / (cp + sync) = %.2f\n", s / c, s / y }'
