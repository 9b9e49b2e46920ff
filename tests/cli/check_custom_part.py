#!/usr/bin/env python3
"""Reads the custom properties part of a package with zipfile and ElementTree, independently of
velmora, and compares it with an expectation: a JSON list of [name, pid, fmtid, type, value] in
part order, where type is the value element's local name and value its text ("" when empty).
Also checks that the part is found through _rels/.rels, is listed in [Content_Types].xml with its
content type, that pids are unique and at least 2, and that the package's zip is sound.
Exit 0 when everything matches; the differences are printed otherwise."""
import json
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

REL_NS = "{http://schemas.openxmlformats.org/package/2006/relationships}"
CT_NS = "{http://schemas.openxmlformats.org/package/2006/content-types}"
CUSTOM_NS = "{http://schemas.openxmlformats.org/officeDocument/2006/custom-properties}"
VT_NS = "{http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes}"
CUSTOM_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties"
CUSTOM_CT = "application/vnd.openxmlformats-officedocument.custom-properties+xml"


def main():
    package, expected_file = sys.argv[1], sys.argv[2]
    with open(expected_file, encoding="utf-8") as f:
        expected = json.load(f)
    problems = []
    with zipfile.ZipFile(package) as z:
        bad = z.testzip()
        if bad is not None:
            problems.append(f"bad CRC in {bad}")
        rels = ET.fromstring(z.read("_rels/.rels"))
        targets = [r.get("Target") for r in rels.iter(REL_NS + "Relationship") if r.get("Type") == CUSTOM_REL]
        if len(targets) != 1:
            problems.append(f"{len(targets)} custom-properties relationships")
            print("\n".join(problems))
            return 1
        part = posixpath.normpath(targets[0].lstrip("/"))
        types = ET.fromstring(z.read("[Content_Types].xml"))
        overrides = [o.get("ContentType") for o in types.iter(CT_NS + "Override")
                     if o.get("PartName").lstrip("/").lower() == part.lower()]
        if overrides != [CUSTOM_CT]:
            problems.append(f"content types of /{part}: {overrides}")
        root = ET.fromstring(z.read(part))
    if root.tag != CUSTOM_NS + "Properties":
        problems.append(f"root {root.tag}")
    actual = []
    for prop in root.findall(CUSTOM_NS + "property"):
        value = list(prop)
        if len(value) != 1 or not value[0].tag.startswith(VT_NS):
            problems.append(f"{prop.get('name')}: value elements {[v.tag for v in value]}")
            continue
        actual.append([prop.get("name"), int(prop.get("pid")), prop.get("fmtid"),
                       value[0].tag[len(VT_NS):], value[0].text or ""])
    pids = [row[1] for row in actual]
    if len(set(pids)) != len(pids) or any(p < 2 for p in pids):
        problems.append(f"pids {pids}")
    if actual != expected:
        problems.append(f"properties {actual!r}\n  expected {expected!r}")
    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
