#!/usr/bin/env python3
"""Compares the "Custom" objects of `velmora-cli show --json --custom` (run in UTC) with the custom
properties part of each package (FullPath, relative to the folder given second) as zipfile and
ElementTree read it: the same names (the first of a
name), the value element's type as "vt:" + its name, and its text (booleans as true/false, dates as
"YYYY-MM-DD hh:mm:ss", compound values empty). Packages Python cannot open are passed over.
Exit 0 when everything matches; the differences are printed otherwise."""
import json
import os
import sys
import xml.etree.ElementTree as ET
import zipfile

VT = "{http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes}"
CUSTOM = "{http://schemas.openxmlformats.org/officeDocument/2006/custom-properties}"
EDITED = {"vt:lpwstr", "vt:lpstr", "vt:i4", "vt:i8", "vt:r8", "vt:bool", "vt:filetime"}


def expected(root):
    props = {}
    for prop in root.findall(CUSTOM + "property"):
        if prop.get("name") is None:
            continue
        values = list(prop)
        kind = ""
        text = ""
        if values:
            value = values[0]
            kind = "vt:" + value.tag[len(VT):] if value.tag.startswith(VT) else value.tag
            text = "".join(value.itertext())
            if kind == "vt:bool":
                text = {"1": "true", "0": "false"}.get(text, text)
            elif kind == "vt:filetime" and len(text) >= 19 and text[10] == "T":
                text = text[:10] + " " + text[11:19]
            elif kind not in EDITED and len(list(value)) > 0:
                text = ""
        if prop.get("name").lower() not in {n.lower() for n in props}:
            props[prop.get("name")] = {"type": kind, "value": text}
    return props


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        rows = json.load(f)
    base = sys.argv[2] if len(sys.argv) > 2 else "."
    problems = []
    compared = 0
    for row in rows:
        try:
            package = zipfile.ZipFile(os.path.join(base, row["FullPath"]))
            names = [n for n in package.namelist() if n.lower() == "docprops/custom.xml"]
            root = ET.fromstring(package.read(names[0])) if names else None
        except Exception:
            continue
        want = expected(root) if root is not None else {}
        if row.get("Custom") != want:
            problems.append(f"{row['FileName']}: {row.get('Custom')!r}\n  expected {want!r}")
        compared += root is not None
    if compared == 0:
        problems.append("no package with a custom properties part")
    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
