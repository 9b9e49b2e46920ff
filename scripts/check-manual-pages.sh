#!/usr/bin/env bash
# Formats each manual page given with every groff warning on; any warning fails the check.
set -euo pipefail
status=0
for page in "$@"; do
    warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$page" 2>&1)
    if [ -n "$warnings" ]; then
        printf '%s\n' "$warnings" >&2
        status=1
    fi
done
exit "$status"
