#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each for SECONDS (default 60) on
# its corpus: generated seeds, the small real packages and their property parts, and whatever
# earlier runs kept in build-fuzz/corpus. At most two fuzzers run at once (VELMORA_FUZZ_JOBS).
# Exits 1 when a fuzzer found a crash, leak or timeout; the inputs are kept in
# build-fuzz/findings/<target>/ and replay with: build-fuzz/bin/<target> <input>.
#
# With --ci each fuzzer instead starts from the seeds alone with a fixed seed and a fixed number of
# runs (about 30 s each), so that a CI run repeats exactly what a developer can run beforehand.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#        scripts/fuzz.sh --ci [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

ci=0
if [ "${1:-}" = "--ci" ]; then
    ci=1
    shift
fi
seconds=60
if [ "$ci" = 0 ] && [ $# -gt 0 ]; then
    seconds="$1"
    shift
fi
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    mapfile -t targets < <(grep -o '^velmora_fuzzer(fuzz_[a-z_]*' fuzz/CMakeLists.txt | cut -d'(' -f2)
fi
build=build-fuzz
jobs="${VELMORA_FUZZ_JOBS:-2}"
real="${VELMORA_SHARED_DIR:-$(pwd)/../shared}/corpus/real"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON -DVELMORA_BUILD_GUI=OFF -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" velmora_fuzz_seeds -j "$(nproc)"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/bin/velmora_fuzz_seeds" "$seeds"
if [ -d "$real" ]; then
    # Small real packages as they are (behind the thumbnail fuzzer's mode byte); their property parts
    # and stored dates for the text fuzzers.
    find "$real" -maxdepth 1 -name '*.pptx' -size -300k -exec cp {} "$seeds/fuzz_archive_reader/" \;
    find "$real" -maxdepth 1 -name '*.pptx' -size -300k -exec cp {} "$seeds/fuzz_load_save/" \;
    python3 - "$real" "$seeds" <<'PY'
import pathlib, re, sys, zipfile
real, seeds = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
dates = set()
for package in sorted(real.glob('*.pptx')):
    if package.stat().st_size < 300 * 1024:
        (seeds / 'fuzz_thumbnail_reader' / package.stem).write_bytes(b'0' + package.read_bytes())
    try:
        with zipfile.ZipFile(package) as z:
            for part, mode in (('docProps/core.xml', b'0'), ('docProps/app.xml', b'1')):
                if part in z.namelist():
                    text = z.read(part)
                    for target in ('fuzz_property_readers', 'fuzz_xml_conformance'):
                        (seeds / target / f'{package.stem}-{part[9:12]}').write_bytes(mode + text)
                    dates.update(re.findall(rb'<(?:\w+:)?(?:created|modified|lastPrinted)[^>]*>([^<]*)<', text))
    except (zipfile.BadZipFile, OSError, RuntimeError, NotImplementedError):
        pass
for i, date in enumerate(sorted(dates)):
    (seeds / 'fuzz_date_parser' / f'real{i}').write_bytes(bytes([i % 5]) + date)
PY
fi

mkdir -p "$build/logs"
# The fuzzers write every input and its extraction to files: in memory that goes several times faster.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    fuzz_tmp="$(mktemp -d /dev/shm/velmora-fuzz.XXXXXX)"
else
    fuzz_tmp="$(pwd)/$build/fuzz-tmp"
    mkdir -p "$fuzz_tmp"
fi
trap 'rm -rf "$fuzz_tmp"' EXIT
# Runs of each fuzzer in --ci mode: about 30 s on one core of the development machine.
ci_runs() {
    case "$1" in
    fuzz_archive_reader) echo 4000 ;;
    fuzz_load_save) echo 6000 ;;
    fuzz_property_readers) echo 200000 ;;
    fuzz_xml_conformance) echo 150000 ;;
    fuzz_import_table) echo 20000 ;;
    fuzz_thumbnail_reader) echo 50000 ;;
    fuzz_date_parser) echo 1600000 ;;
    *) echo 200000 ;;
    esac
}

run_one() {
    local target="$1"
    local corpus="$build/corpus/$target"
    local limits=(-max_total_time="$seconds" -timeout="${VELMORA_FUZZ_TIMEOUT:-10}")
    if [ "$ci" = 1 ]; then
        corpus="$build/ci-corpus/$target"
        rm -rf "$corpus"
        limits=(-seed=1 -runs="$(ci_runs "$target")" -max_total_time=120 -timeout=30)
    fi
    # Findings of earlier runs are gone once fixed; each one lives on as a generated test case.
    rm -rf "$build/findings/$target"
    mkdir -p "$corpus" "$build/findings/$target"
    TMPDIR="$fuzz_tmp" "$build/bin/$target" "$corpus" "$seeds/$target" "${limits[@]}" \
        -rss_limit_mb=2048 -report_slow_units=120 -print_final_stats=1 -artifact_prefix="$build/findings/$target/" \
        >"$build/logs/$target.log" 2>&1 || true
}

for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    if [ "$ci" = 1 ]; then
        echo "fuzzing $target for $(ci_runs "$target") runs"
    else
        echo "fuzzing $target for ${seconds}s"
    fi
    run_one "$target" &
done
wait

found=0
summary="$build/fuzz-summary.txt"
: >"$summary"
for target in "${targets[@]}"; do
    runs=$(grep -ho 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$target.log" | grep -o '[0-9]*$' | tail -1)
    findings=$(find "$build/findings/$target" -type f | wc -l)
    corpus_dir="$build/corpus/$target"
    [ "$ci" = 1 ] && corpus_dir="$build/ci-corpus/$target"
    corpus=$(find "$corpus_dir" -type f | wc -l)
    echo "$target: ${runs:-0} inputs run, $corpus corpus entries, $findings findings" | tee -a "$summary"
    if [ "$findings" -gt 0 ]; then
        found=1
        grep -E 'ERROR|FINDING|SUMMARY' "$build/logs/$target.log" | head -5 || true
    fi
done
exit "$found"
