# Sourced by the benchmark scripts: the work folder, and corpora generated in it once with the
# shared generator (seed 1) of the shared folder beside the repository (../shared), or of
# $VELMORA_SHARED_DIR.

# use_work_folder [FOLDER]: sets work to FOLDER (created if missing; its corpora are kept for the
# next run), or to a fresh temporary folder that is removed when the script ends.
use_work_folder() {
    if [ -n "${1:-}" ]; then
        work=$(realpath -m "$1")
        mkdir -p "$work"
    else
        work=$(mktemp -d -t velmora-bench.XXXXXX)
        trap 'rm -rf "$work"' EXIT
    fi
}

# make_corpus_once FOLDER make_corpus.py-options...
make_corpus_once() {
    local folder=$1
    shift
    local shared=${VELMORA_SHARED_DIR:-$(dirname "${BASH_SOURCE[0]}")/../../shared}
    if [ ! -f "$shared/bench/make_corpus.py" ]; then
        echo "no corpus generator at $shared/bench/make_corpus.py (set VELMORA_SHARED_DIR)" >&2
        return 1
    fi
    if [ ! -d "$folder" ]; then
        python3 "$shared/bench/make_corpus.py" --seed 1 --out "$folder" --jobs 2 "$@" >/dev/null
    fi
}

# link_first_once SOURCE DEST COUNT: DEST holds hard links to the first COUNT packages of SOURCE
# (by name), made once.
link_first_once() {
    local source=$1 dest=$2 count=$3
    if [ ! -d "$dest" ]; then
        rm -rf "$dest.new" && mkdir -p "$dest.new"
        local packages
        mapfile -t packages < <(find "$source" -maxdepth 1 -name '*.pptx' | sort)
        ln -t "$dest.new" "${packages[@]:0:$count}"
        mv "$dest.new" "$dest"
    fi
}
