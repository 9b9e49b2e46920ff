#!/usr/bin/env bash
# Save benchmark on small packages: `velmora-cli set` of Title and Company on 1000 generated
# packages, side by side with the durable floor (velmora_floor_writer: raw copy of the other
# members, two parts re-deflated, temporary file beside the package, fsync, rename, fsync of the
# folder), one thread and both cores (the floor and the one-thread save, `--jobs 1`, pinned alike
# to core 0 with taskset; the "1core_dflt" column is the default pool, three workers, on that one
# core); then 100 packages saved alone in their folder and in a folder of 10,000 entries. Every contender gets fresh, flushed copies (not
# timed). velmora-cli saves journaled (the default, into a journal under WORK_DIR) and, in the
# "nojournal" columns, with --no-journal on both cores. The last column compares the processor time
# (user + system) of the one-core runs, which fsync latency does not blur.
# Usage: bench/save_bench.sh BUILD_DIR [WORK_DIR] [ROUNDS]   (BUILD_DIR with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=$(realpath "${1:?build folder}")
rounds=${3:-3}
source "$(dirname "$0")/corpus.sh"
use_work_folder "${2:-}"
corpus="$work/small"
make_corpus_once "$corpus" --profile small --count 1000
mapfile -t names < <(cd "$corpus" && ls ./*.pptx | sed 's|^\./||')
cli=$build/bin/velmora-cli
export XDG_STATE_HOME="$work/state" # the bench's own journal, bounded like every journal
floor=$build/bin/velmora_floor_writer

seconds() { # command...: wall seconds of one run
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}

cpuSeconds() { # command...: "wall cpu" seconds of one run (cpu = user + system, from time(1))
    /usr/bin/time -f "%e %U %S" -o "$work/time.txt" "$@" >/dev/null
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time.txt"
}

fresh() { # folder: a flushed copy of the corpus
    rm -rf "$1" && mkdir -p "$1" && cp "$corpus"/*.pptx "$1/" && sync
}

setTwo=(set --set "Title=Benchmark title" --set "Company=Benchmark company")
chunk=100 # the contenders take turns every 100 packages, so a disturbance hits them alike
printf '%-6s %10s %12s %12s %12s %12s %12s %12s %14s %16s\n' round floor_s cli_1core_s cli_2cores_s \
    "1core/floor" "2cores/floor" "1core_dflt/floor" nojournal_s "nojournal/floor" "cpu 1core/floor"
for round in $(seq "$rounds"); do
    fresh "$work/f" && fresh "$work/a" && fresh "$work/b" && fresh "$work/c" && fresh "$work/d"
    tf=0 t1=0 t2=0 t3=0 t4=0 cf=0 c1=0
    for ((start = 0; start < ${#names[@]}; start += chunk)); do
        part=("${names[@]:start:chunk}")
        read -r f fc < <(cd "$work/f" && cpuSeconds taskset -c 0 "$floor" "Benchmark title" "Benchmark company" "${part[@]}")
        read -r a ac < <(cd "$work/a" && cpuSeconds taskset -c 0 "$cli" "${setTwo[@]}" --jobs 1 "${part[@]}")
        b=$(cd "$work/b" && seconds "$cli" "${setTwo[@]}" "${part[@]}")
        c=$(cd "$work/c" && seconds "$cli" "${setTwo[@]}" --no-journal "${part[@]}")
        d=$(cd "$work/d" && seconds taskset -c 0 "$cli" "${setTwo[@]}" "${part[@]}")
        read -r tf t1 t2 t3 t4 cf c1 < <(awk -v x="$tf $t1 $t2 $t3 $t4 $cf $c1" -v f="$f" -v a="$a" -v b="$b" \
            -v c="$c" -v d="$d" -v fc="$fc" -v ac="$ac" \
            'BEGIN { split(x, s, " "); print s[1] + f, s[2] + a, s[3] + b, s[4] + c, s[5] + d, s[6] + fc, s[7] + ac }')
    done
    awk -v r="$round" -v f="$tf" -v a="$t1" -v b="$t2" -v c="$t3" -v d="$t4" -v cf="$cf" -v ca="$c1" \
        'BEGIN { printf "%-6s %10.2f %12.2f %12.2f %12.2f %12.2f %12.2f %12.2f %14.2f %16.2f\n", r, f, a, b, a / f, b / f, d / f, c, c / f, ca / cf }'
done
rm -rf "$work/f" "$work/a" "$work/b" "$work/c" "$work/d"

# Linearity: 100 packages saved in a folder holding only them, and in one holding 10,000 entries;
# four saves of each per round (a new Title each time), in the order alone, crowd, crowd, alone.
few=("${names[@]:0:100}")
rm -rf "$work/alone" "$work/crowd" && mkdir -p "$work/alone" "$work/crowd"
for n in "${few[@]}"; do cp "$corpus/$n" "$work/alone/" && cp "$corpus/$n" "$work/crowd/"; done
(cd "$work/crowd" && seq -f "filler-%05g.pptx" 1 9900 | xargs touch)
sync
run=0
saveIn() { # folder: seconds of one save of the 100 packages with a new Title
    run=$((run + 1))
    (cd "$1" && seconds "$cli" set --set "Title=Run $run" "${few[@]}")
}
printf '\n%-6s %12s %14s %8s\n' round alone_ms/pkg in10000_ms/pkg ratio
for round in $(seq "$rounds"); do
    a1=$(saveIn "$work/alone")
    c1=$(saveIn "$work/crowd")
    c2=$(saveIn "$work/crowd")
    a2=$(saveIn "$work/alone")
    awk -v r="$round" -v a="$a1 $a2" -v c="$c1 $c2" 'BEGIN { split(a, x, " "); split(c, y, " ");
        printf "%-6s %12.2f %14.2f %8.2f\n", r, (x[1] + x[2]) * 5, (y[1] + y[2]) * 5, (y[1] + y[2]) / (x[1] + x[2]) }'
done
rm -rf "$work/alone" "$work/crowd"
echo "machine: $(nproc) cores, $(uname -r), $(df -T "$work" | awk 'NR==2 { print $2 }') under $work"
