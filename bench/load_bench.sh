#!/usr/bin/env bash
# Load benchmark: `velmora-cli show --json` over 1000 small generated packages, side by side with
# the floor reader (finds and inflates the two property parts, nothing else) and with unpacking
# every package whole; then one package per process, 200 processes of each contender taking turns.
# Prints the best of three wall times, max RSS and the ratios.
# Usage: bench/load_bench.sh BUILD_DIR [WORK_DIR]   (BUILD_DIR configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=$(realpath "${1:?build folder}")
work=${2:-${TMPDIR:-/tmp}/velmora-load-bench}
source "$(dirname "$0")/corpus.sh"
corpus="$work/small"
make_corpus_once "$corpus" --profile small --count 1000
mapfile -t files < <(ls "$corpus"/*.pptx)
cat "${files[@]}" >/dev/null # warm the page cache for every contender alike

unzip_all() {
    local scratch
    for f in "$@"; do
        scratch=$(mktemp -d)
        unzip -q -o "$f" -d "$scratch"
        rm -rf "$scratch"
    done
}
export -f unzip_all

# best-of-three seconds and the max RSS (KiB) of the last run
measure() {
    local best="" rss=0 t
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
        read -r t rss <"$work/time.txt"
        if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best $rss"
}

read -r floor floorRss < <(measure "$build/bin/velmora_floor_reader" "${files[@]}")
read -r cli cliRss < <(measure "$build/bin/velmora-cli" show --json "${files[@]}")
read -r folder folderRss < <(measure "$build/bin/velmora-cli" show --json "$corpus")
read -r oneCore oneCoreRss < <(measure taskset -c 0 "$build/bin/velmora-cli" show --json "${files[@]}")
# unzip is slow enough that one run of it says enough
/usr/bin/time -f "%e" -o "$work/time.txt" bash -c 'unzip_all "$@"' _ "${files[@]}"
unzipped=$(cat "$work/time.txt")

printf '%-34s %8s %10s\n' "contender (${#files[@]} packages)" seconds "maxRSS KiB"
printf '%-34s %8s %10s\n' "floor reader (zlib, 1 thread)" "$floor" "$floorRss"
printf '%-34s %8s %10s\n' "velmora-cli show --json FILES" "$cli" "$cliRss"
printf '%-34s %8s %10s\n' "velmora-cli show --json FOLDER" "$folder" "$folderRss"
printf '%-34s %8s %10s\n' "velmora-cli, pinned to one core" "$oneCore" "$oneCoreRss"
printf '%-34s %8s\n' "unzip -q -o each into a temp dir" "$unzipped"
awk -v c="$cli" -v f="$floor" -v o="$oneCore" -v u="$unzipped" 'BEGIN {
    printf "cli / floor = %.2f (one core: %.2f); unzip / cli = %.1f\n", c / f, o / f, u / c }'

# One package per process: start-up dominates. 200 runs of each, taking turns, total wall seconds.
one=${files[0]}
read -r tTrue tFloor tCli < <(
    python3 - "$build/bin/velmora_floor_reader" "$build/bin/velmora-cli" "$one" <<'PY'
import subprocess, sys, time
floor, cli, package = sys.argv[1:4]
runs = {"true": ["/bin/true"], "floor": [floor, package], "cli": [cli, "show", "--json", package]}
total = dict.fromkeys(runs, 0.0)
for _ in range(200):
    for name, argv in runs.items():
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        total[name] += time.perf_counter() - start
print(" ".join("%.4f" % (total[n] / 200) for n in ("true", "floor", "cli")))
PY
)
awk -v t="$tTrue" -v f="$tFloor" -v c="$tCli" 'BEGIN {
    printf "one package per process (ms): /bin/true %.2f, floor reader %.2f, velmora-cli show --json %.2f; cli / floor = %.2f\n",
        t * 1000, f * 1000, c * 1000, c / f }'
