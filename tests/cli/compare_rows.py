#!/usr/bin/env python3
"""Compares `velmora-cli show --json` output with an expectation file: the same rows in the same
order, every key equal except "Warnings" (ignored), "Error" (compared as null or not null) and
"FullPath" (absolute, compared by its end when the expectation names the file relatively).
With --zone, a date shown as an instant "YYYY-MM-DDThh:mm:ssZ" (the hour the clocks show twice)
matches the expected local text of that instant in that zone.
Rows named with --either may instead carry an error (a package that a reader may or may not
recover). Exit 0 when they match; the differences are printed otherwise."""
import argparse
import datetime
import json
import sys
import zoneinfo


def local_text(value, zone):
    """The local text of an instant "YYYY-MM-DDThh:mm:ssZ" whose local time zone shows twice; any
    other value as it is."""
    if not zone or not isinstance(value, str) or len(value) != 20 or value[10] != "T" or value[-1] != "Z":
        return value
    try:
        instant = datetime.datetime.strptime(value, "%Y-%m-%dT%H:%M:%SZ").replace(tzinfo=datetime.timezone.utc)
    except ValueError:
        return value
    local = instant.astimezone(zoneinfo.ZoneInfo(zone)).replace(tzinfo=None)
    offsets = {local.replace(tzinfo=zoneinfo.ZoneInfo(zone), fold=fold).utcoffset() for fold in (0, 1)}
    return local.strftime("%Y-%m-%d %H:%M:%S") if len(offsets) == 2 else value


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("actual")
    parser.add_argument("expected")
    parser.add_argument("--either", action="append", default=[])
    parser.add_argument("--zone")
    args = parser.parse_args()
    with open(args.actual, encoding="utf-8") as f:
        actual = json.load(f)
    with open(args.expected, encoding="utf-8") as f:
        expected = json.load(f)
    problems = []
    if [r["FileName"] for r in actual] != [r["FileName"] for r in expected]:
        problems.append("rows differ: %s" % sorted({r["FileName"] for r in actual} ^ {r["FileName"] for r in expected}))
    for got, want in zip(actual, expected):
        name = want["FileName"]
        if name in args.either and got["Error"] is not None:
            continue
        for key, value in want.items():
            if key == "Warnings":
                continue
            if key == "Error":
                if (got.get(key) is None) != (value is None):
                    problems.append(f"{name}: Error {got.get(key)!r}, expected {value!r}")
            elif key == "FullPath" and not value.startswith("/"):
                if not str(got.get(key)).endswith("/" + value):
                    problems.append(f"{name}: {key} {got.get(key)!r}, expected .../{value}")
            elif local_text(got.get(key), args.zone) != value:
                problems.append(f"{name}: {key} {got.get(key)!r}, expected {value!r}")
        extra = set(got) - set(want)
        if extra:
            problems.append(f"{name}: unexpected keys {sorted(extra)}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
