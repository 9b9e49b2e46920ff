#!/usr/bin/env bash
# Save benchmark on large packages: `velmora-cli set` of Title on packages of about 100 MiB, side
# by side with the durable floor for such a package, `cp` of the file followed by an fsync of the
# copy (`sync FILE`); a save must at least copy the package and force it to disk. The floor is
# measured twice: into a new file, and over an existing copy, which like every replacement also
# frees the old file's blocks. Each package is timed by the contenders in turn, on fresh copies
# flushed beforehand (not timed); max RSS shows that memory does not grow with the package. The
# save runs journaled (the default; the journal hashes the new package while it is written) and
# with --no-journal.
# Usage: bench/set_bench.sh BUILD_DIR [WORK_DIR] [ROUNDS]
set -euo pipefail
build=$(realpath "${1:?build folder}")
rounds=${3:-2}
source "$(dirname "$0")/corpus.sh"
use_work_folder "${2:-}"
corpus="$work/large"
make_corpus_once "$corpus" --profile large --count 4 --media-mb 100
mapfile -t files < <(ls "$corpus"/*.pptx)
export XDG_STATE_HOME="$work/state" # the bench's own journal

timed() { # command...: "wall-seconds max-RSS-KiB" of one run
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
    cat "$work/time.txt"
}

printf '%-6s %-18s %5s %10s %12s %7s %11s %9s %11s %8s %10s\n' round package MiB cp_new_s cp_replace_s set_s \
    set_RSS_KiB set/new set/replace nojrnl_s nojrnl/new
for round in $(seq "$rounds"); do
    for f in "${files[@]}"; do
        rm -rf "$work/cp" "$work/out" "$work/nj" && mkdir -p "$work/cp" "$work/out" "$work/nj"
        cp "$f" "$work/out/" && cp "$f" "$work/nj/" && cp "$f" "$work/cp/old.pptx" && sync && cat "$f" >/dev/null
        read -r tc _ < <(timed sh -c 'cp "$1" "$2" && sync "$2"' _ "$f" "$work/cp/new.pptx")
        read -r ts rss < <(timed "$build/bin/velmora-cli" set --set "Title=Benchmark run" "$work/out/$(basename "$f")")
        read -r tr _ < <(timed sh -c 'cp "$1" "$2" && sync "$2"' _ "$f" "$work/cp/old.pptx")
        read -r tn _ < <(timed "$build/bin/velmora-cli" set --no-journal --set "Title=Benchmark run" \
            "$work/nj/$(basename "$f")")
        awk -v r="$round" -v n="$(basename "$f")" -v b="$(stat -c %s "$f")" -v c="$tc" -v t="$tr" -v s="$ts" \
            -v m="$rss" -v j="$tn" 'BEGIN { printf "%-6s %-18s %5.0f %10.2f %12.2f %7.2f %11d %9.2f %11.2f %8.2f %10.2f\n",
                r, n, b / 1048576, c, t, s, m, s / c, s / t, j, j / c }'
    done
done
rm -rf "$work/cp" "$work/out" "$work/nj" "$work/time.txt"
echo "machine: $(nproc) cores, $(uname -r), $(df -T "$work" | awk 'NR==2 { print $2 }') under $work"
