#!/usr/bin/env bash
# Window benchmark: the real window, offscreen, on a folder of generated packages in 100
# sub-folders (hard links of the 1000-package small corpus, PER_FOLDER of them in each; 1000 gives
# 100,000 rows). Prints each step's duration and the longest UI-thread block, and memory per row.
# Usage: bench/window_bench.sh BUILD_DIR [WORK_DIR] [PER_FOLDER]
set -euo pipefail
build=$(realpath "${1:?build folder}")
perFolder=${3:-1000}
source "$(dirname "$0")/corpus.sh"
use_work_folder "${2:-}"
corpus="$work/small"
make_corpus_once "$corpus" --profile small --count 1000
mapfile -t files < <(ls "$corpus"/*.pptx | head -n "$perFolder")
rm -rf "$work/tree" "$work/out" && mkdir -p "$work/tree" "$work/out"
for d in $(seq -w 0 99); do
    mkdir "$work/tree/sub$d" && ln "${files[@]}" "$work/tree/sub$d/"
done
# Save All is journaled, as the window saves by default, into the bench's own journal.
XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=offscreen "$build/bin/velmora_window_bench" "$work/tree" "$work/out"
rm -rf "$work/tree" "$work/out" "$work/state"
echo "machine: $(nproc) cores, $(uname -r), $(df -T "$work" | awk 'NR==2 { print $2 }') under $work"
