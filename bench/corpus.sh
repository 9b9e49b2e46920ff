# Sourced by the benchmark scripts: generates a corpus once with the shared generator (seed 1).
# make_corpus_once FOLDER make_corpus.py-options...
make_corpus_once() {
    local folder=$1 shared=/work/shared
    shift
    local beside
    beside=$(dirname "${BASH_SOURCE[0]}")/../../shared
    [ -f "$beside/bench/make_corpus.py" ] && shared=$(realpath "$beside")
    if [ ! -d "$folder" ]; then
        python3 "$shared/bench/make_corpus.py" --seed 1 --out "$folder" --jobs 2 "$@" >/dev/null
    fi
}
