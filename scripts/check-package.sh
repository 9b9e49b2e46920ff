#!/usr/bin/env bash
# Builds the Debian package from an existing build folder (default: build) and checks it: the
# desktop entry and AppStream file validate, the package holds every installed file, its
# dependencies were computed, and lintian reports no errors (its warnings are printed).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

desktop-file-validate data/velmora.desktop
appstreamcli validate --no-net data/velmora.metainfo.xml

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
for library in libqt6widgets6 libxlsxwriter libexpat1 zlib1g; do
    if ! grep -q "$library" <<<"$depends"; then
        echo "Depends lacks $library" >&2
        exit 1
    fi
done
[ "$(dpkg-deb -f "$deb" Section)" = "utils" ]

# Errors fail the check; warnings are allowed and shown.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package checks passed"
