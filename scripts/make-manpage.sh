#!/usr/bin/env bash
# Writes the manual page of velmora-cli, gzipped, from the program's own --help texts:
#   make-manpage.sh PATH-TO-velmora-cli VERSION OUTPUT.1.gz
set -euo pipefail
cli=$1
version=$2
output=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

{
    echo '[COMMANDS]'
    for command in show set export; do
        echo ".SS $command"
        echo '.nf'
        "$cli" "$command" --help | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./'
        echo '.fi'
    done
    echo '[EXIT STATUS]'
    echo '0 when every package was read and saved, 1 when some could not be (each is named on'
    echo 'standard error), 2 for a usage error.'
    echo '[SEE ALSO]'
    echo '.BR velmora (1)'
} >"$work/commands.h2m"

help2man --no-info --no-discard-stderr --version-string="$version" \
    --name="show, change and export the document properties of PowerPoint packages" \
    --include="$work/commands.h2m" --output="$work/velmora-cli.1" "$cli"
gzip -9n -c "$work/velmora-cli.1" >"$output"
