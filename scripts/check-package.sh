#!/usr/bin/env bash
# Builds the Debian package from an existing build folder (default: build) and checks it: the
# desktop entry, the AppStream file and the manual pages validate, the package holds every
# installed file, its dependencies were computed (the shared libraries it links among them) and it
# recommends bash-completion, its programs are linked with -z now and carry no .comment section,
# and lintian, pedantic tags included, reports nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

desktop-file-validate data/velmora.desktop
appstreamcli validate --no-net data/velmora.metainfo.xml
scripts/check-manual-pages.sh data/velmora.1 data/velmora-cli.1

rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmora_*.deb)
echo "package: $deb"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
    ./usr/bin/velmora
    ./usr/bin/velmora-cli
    ./usr/share/applications/velmora.desktop
    ./usr/share/icons/hicolor/scalable/apps/velmora.svg
    ./usr/share/metainfo/org.example.velmora.metainfo.xml
    ./usr/share/man/man1/velmora.1.gz
    ./usr/share/man/man1/velmora-cli.1.gz
    ./usr/share/bash-completion/completions/velmora-cli
    ./usr/share/doc/velmora/copyright
    ./usr/share/doc/velmora/changelog.gz
)
missing=0
for file in "${expected[@]}"; do
    if ! grep -qxF "$file" <<<"$listing"; then
        echo "missing from the package: $file" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ]

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
libraries=(libqt6widgets6 libxlsxwriter libexpat1 zlib1g)
# Linked shared unless the build folder links them statically.
if grep -q '^VELMORA_STATIC_DEPS:BOOL=OFF' "$build/CMakeCache.txt"; then
    libraries+=(libpugixml1v5 libnettle8 libstdc++6)
fi
for library in "${libraries[@]}"; do
    if ! grep -q "$library" <<<"$depends"; then
        echo "Depends lacks $library" >&2
        exit 1
    fi
done
[ "$(dpkg-deb -f "$deb" Section)" = "utils" ]

[ "$(dpkg-deb -f "$deb" Recommends)" = "bash-completion" ] || {
    echo "the package does not recommend bash-completion" >&2
    exit 1
}

# The programs as installed: every relocation resolved at start, no compiler version strings.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in velmora velmora-cli; do
    binary=$unpacked/usr/bin/$program
    if ! readelf -d "$binary" | grep -Eq 'FLAGS.*\bNOW\b'; then
        echo "$program is not linked with -z now" >&2
        exit 1
    fi
    if readelf -S "$binary" | grep -Eq '\.comment\b|\] \.note +'; then
        echo "$program has a .comment or .note section" >&2
        exit 1
    fi
done

# Any tag, pedantic and informational ones included, fails the check, with one kind of exception: a
# "misspelled" word in a binary that is no word of the sources is a piece of a message the compiler
# cut up to copy it (": no pac" + "H", "file nam" + "e"), not text anyone reads.
tags=$(lintian --pedantic --display-info --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root' || true)
real=()
while IFS= read -r line; do
    [ -n "$line" ] || continue
    if [[ $line =~ spelling-error-in-binary\ ([^ ]+)\  ]] &&
        ! grep -rqwF -- "${BASH_REMATCH[1]}" src; then
        echo "compiler fragment, not a misspelling: $line"
        continue
    fi
    real+=("$line")
done <<<"$tags"
if [ "${#real[@]}" -gt 0 ]; then
    printf '%s\n' "${real[@]}" >&2
    echo "lintian reports tags" >&2
    exit 1
fi
echo "package checks passed"
