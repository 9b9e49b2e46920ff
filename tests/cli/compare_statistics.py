#!/usr/bin/env python3
"""Compares the "Statistics" objects of `velmora-cli show --json --stats` with the extended
properties part of each package (FullPath, relative to the folder given second) as zipfile and
ElementTree read it: the part that _rels/.rels relates (transitional or ISO Strict type), else
docProps/app.xml; for each of the ten statistics the text of the last direct child of the root in
either app namespace, whatever its prefix, that is not empty; "" when there is none. Packages
Python cannot open are passed over. With --thumbnails FOLDER, FOLDER/NAME.bin (the output of
`velmora-cli thumbnail`, absent when it failed) must be the member the thumbnail relationship
names, byte for byte, and exist exactly when there is one.
Exit 0 when everything matches; the differences are printed otherwise."""
import argparse
import json
import os
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

NAMES = ["Application", "AppVersion", "PresentationFormat", "Slides", "Notes", "HiddenSlides",
         "Words", "Paragraphs", "MMClips", "HyperlinkBase"]
APP_NAMESPACES = {"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties",
                  "http://purl.oclc.org/ooxml/officeDocument/extendedProperties"}
REL = "{http://schemas.openxmlformats.org/package/2006/relationships}Relationship"
APP_TYPES = ["http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
             "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties"]
THUMBNAIL_TYPES = ["http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail",
                   "http://purl.oclc.org/ooxml/officeDocument/relationships/metadata/thumbnail"]


def member(package, name):
    """The member of that name as packages compare names, or None."""
    key = name.lstrip("/").replace("\\", "/").lower()
    found = [n for n in package.namelist() if n.lstrip("/").replace("\\", "/").lower() == key]
    return found[-1] if found else None


def related(package, types):
    """Targets of the relationships of the given types, preferred type first."""
    rels = member(package, "_rels/.rels")
    if rels is None:
        return []
    try:
        root = ET.fromstring(package.read(rels))
    except ET.ParseError:
        return []
    targets = []
    for kind in types:
        targets += [r.get("Target", "") for r in root.iter(REL)
                    if r.get("Type") == kind and r.get("TargetMode") != "External"]
    return targets


def statistics(package):
    name = None
    for target in related(package, APP_TYPES):
        name = member(package, posixpath.normpath("/" + target.replace("\\", "/")))
        if name:
            break
    name = name or member(package, "docProps/app.xml")
    values = dict.fromkeys(NAMES, "")
    if name is None:
        return values
    for child in ET.fromstring(package.read(name)):
        uri, _, local = child.tag[1:].partition("}")
        if uri in APP_NAMESPACES and local in values and (child.text or len(child)):
            values[local] = child.text or ""
    return values


def thumbnail(package):
    targets = related(package, THUMBNAIL_TYPES)
    if not targets:
        return None
    name = member(package, posixpath.normpath("/" + targets[0]))
    return package.read(name) if name else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("rows")
    parser.add_argument("base")
    parser.add_argument("--thumbnails")
    args = parser.parse_args()
    with open(args.rows, encoding="utf-8") as f:
        rows = json.load(f)
    problems = []
    counted = {"stats": 0, "thumbnails": 0}
    for row in rows:
        try:
            package = zipfile.ZipFile(os.path.join(args.base, row["FullPath"]))
            want = statistics(package)
            picture = thumbnail(package)
        except Exception:
            continue
        if row.get("Statistics") != want:
            problems.append(f"{row['FileName']}: {row.get('Statistics')!r}\n  expected {want!r}")
        counted["stats"] += any(want.values())
        if args.thumbnails:
            path = os.path.join(args.thumbnails, row["FileName"] + ".bin")
            got = open(path, "rb").read() if os.path.exists(path) else None
            if got != picture:
                problems.append(f"{row['FileName']}: thumbnail written {got is not None}, "
                                f"expected {picture is not None}, equal {got == picture}")
            counted["thumbnails"] += picture is not None
    for what, count in counted.items():
        if count == 0 and (what == "stats" or args.thumbnails):
            problems.append(f"no package with {what}")
    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
