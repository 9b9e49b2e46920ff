#!/usr/bin/env bash
# Load benchmark: `velmora-cli show --json` over 1000 small generated packages, side by side with
# the floor reader (finds and inflates the two property parts, nothing else) and with unpacking
# every package whole; then one package per process, 200 processes of each contender taking turns.
# Prints the best of the rounds (the contenders taking turns) and the median of the per-round
# ratios, max RSS and the ratios; the floor reader is linked as velmora-cli is (static C++
# runtime), and also shown with the shared one.
# With strace installed, also the system calls per package of both. ROUNDS=N sets the rounds (7).
# Usage: bench/load_bench.sh BUILD_DIR [WORK_DIR]   (BUILD_DIR configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=$(realpath "${1:?build folder}")
source "$(dirname "$0")/corpus.sh"
use_work_folder "${2:-}"
corpus="$work/small"
make_corpus_once "$corpus" --profile small --count 1000
mapfile -t files < <(ls "$corpus"/*.pptx)
printf '%s\n' "${files[@]}" >"$work/files.txt"
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

# Wall seconds of the contenders over the given packages: ROUNDS rounds, the contenders taking turns
# within each; the best round of each, and the median and spread of each round's ratio to the floor
# reader of the same round (the clock is perf_counter, not the 10 ms of time(1)).
python3 - "$build" "$work/files.txt" "${ROUNDS:-7}" <<'PY'
import statistics, subprocess, sys, time
build, listing, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
files = open(listing).read().split("\n")[:-1]
bin = build + "/bin/"
contenders = {
    "floor reader (zlib, 1 thread)": [bin + "velmora_floor_reader"] + files,
    "floor reader, shared C++ runtime": [bin + "velmora_floor_reader_shared"] + files,
    "velmora-cli show --json FILES": [bin + "velmora-cli", "show", "--json"] + files,
    "velmora-cli, pinned to one core": ["taskset", "-c", "0", bin + "velmora-cli", "show", "--json"] + files,
}
best, ratios = {}, {name: [] for name in contenders}
for _ in range(rounds):
    seconds = {}
    for name, argv in contenders.items():
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        seconds[name] = time.perf_counter() - start
        best[name] = min(best.get(name, 1e9), seconds[name])
    for name in contenders:
        ratios[name].append(seconds[name] / seconds["floor reader (zlib, 1 thread)"])
floor = best["floor reader (zlib, 1 thread)"]
print("%-36s %9s %8s %8s %13s" % ("contender (%d packages)" % len(files), "seconds", "/ floor", "median", "spread"))
for name, seconds in best.items():
    print("%-36s %9.4f %8.2f %8.2f %6.2f-%-6.2f" % (name, seconds, seconds / floor, statistics.median(ratios[name]),
                                                 min(ratios[name]), max(ratios[name])))
PY
# Max RSS of one run each (KiB)
for argv in "$build/bin/velmora_floor_reader" "$build/bin/velmora-cli show --json"; do
    /usr/bin/time -f "%M" -o "$work/time.txt" $argv "${files[@]}" >/dev/null
    printf 'max RSS of %s: %s KiB\n' "${argv##*/}" "$(cat "$work/time.txt")"
done
# unzip is slow enough that one run of it says enough
/usr/bin/time -f "%e" -o "$work/time.txt" bash -c 'unzip_all "$@"' _ "${files[@]}"
echo "unzip -q -o of each package into a temp folder: $(cat "$work/time.txt") s"

# System calls per package (when strace is installed): those of 100 packages less those of one, / 99.
if command -v strace >/dev/null; then
    calls() { # OUT argv...: system call name and count per line, sorted by name
        local out=$1
        shift
        strace -f -c -o "$work/strace.txt" "$@" >/dev/null
        awk '$NF != "total" && $4 ~ /^[0-9]+$/ { n[$NF] += $4 } END { for (c in n) print c, n[c] }' \
            "$work/strace.txt" | sort >"$out"
    }
    for argv in "$build/bin/velmora_floor_reader" "$build/bin/velmora-cli show --json"; do
        calls "$work/calls100.txt" $argv "${files[@]:0:100}"
        calls "$work/calls1.txt" $argv "${files[0]}"
        join -a 1 -e 0 -o 0,1.2,2.2 "$work/calls100.txt" "$work/calls1.txt" |
            awk -v who="${argv##*/}" '{ d = ($2 - $3) / 99; if (d >= 0.5) line = line sprintf(" %s %.1f", $1, d) }
                END { print "system calls per package, " who ":" line }'
    done
fi

# One package per process: start-up dominates. 200 runs of each, taking turns, total wall seconds.
one=${files[0]}
read -r tTrue tFloor tShared tCli < <(
    python3 - "$build/bin/velmora_floor_reader" "$build/bin/velmora-cli" "$one" <<'PY'
import subprocess, sys, time
floor, cli, package = sys.argv[1:4]
runs = {"true": ["/bin/true"], "floor": [floor, package], "floorShared": [floor + "_shared", package],
        "cli": [cli, "show", "--json", package]}
total = dict.fromkeys(runs, 0.0)
for _ in range(200):
    for name, argv in runs.items():
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        total[name] += time.perf_counter() - start
print(" ".join("%.4f" % (total[n] / 200) for n in ("true", "floor", "floorShared", "cli")))
PY
)
awk -v t="$tTrue" -v f="$tFloor" -v s="$tShared" -v c="$tCli" 'BEGIN {
    printf "one package per process (ms): /bin/true %.2f, floor reader %.2f (shared C++ runtime %.2f), velmora-cli show --json %.2f\n",
        t * 1000, f * 1000, s * 1000, c * 1000
    printf "cli / floor = %.2f; cli / floor with the shared runtime = %.2f\n", c / f, c / s }'
