#!/usr/bin/env python3
"""Copies the property parts of packages into a folder, for tests that read them without the archive layer.

usage: extract_property_parts.py OUTDIR PACKAGE...
For each package, prints one line per part: package, kind, status, file
  kind:   core, app, types ([Content_Types].xml) or rels (_rels/.rels)
  status: ok (file written), missing, or error (the package or member cannot be read)
The core and app parts are located through the package relationships, as a reader of the package
must: the relationship types in preference order, Target resolved against the root, member names
compared ASCII case-insensitively with '\\' as '/', falling back to docProps/core.xml and app.xml.
"""
import os
import sys
import zipfile
from xml.dom import expatbuilder

RELS_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
TYPES = {
    "core": ["http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
             "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties"],
    "app": ["http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
            "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties"],
}
FALLBACK = {"core": "docProps/core.xml", "app": "docProps/app.xml"}


def key(name):
    return name.replace("\\", "/").translate(str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                                           "abcdefghijklmnopqrstuvwxyz"))


def find(members, name):
    hits = [i for i in members if not i.filename.endswith("/") and key(i.filename) == key(name)]
    exact = [i for i in hits if i.filename == name]
    return (exact or hits or [None])[-1]


def resolve(target):
    segments = []
    for seg in target.split("/"):
        if seg in ("", "."):
            continue
        if seg == "..":
            if segments:
                segments.pop()
            continue
        segments.append(seg)
    return "/".join(segments)


def relationships(zf, members):
    info = find(members, "_rels/.rels")
    if info is None:
        return []
    try:
        root = expatbuilder.parseString(zf.read(info), namespaces=False).documentElement
    except Exception:
        return []
    scope = {n[6:]: v for n, v in root.attributes.items() if n == "xmlns" or n.startswith("xmlns:")}
    rels = []
    for el in root.childNodes:
        if el.nodeType != el.ELEMENT_NODE:
            continue
        local_scope = dict(scope)
        local_scope.update({n[6:]: v for n, v in el.attributes.items() if n == "xmlns" or n.startswith("xmlns:")})
        prefix, _, local = el.tagName.rpartition(":")
        if local != "Relationship" or local_scope.get(prefix) != RELS_NS:
            continue
        rels.append({a: el.getAttribute(a) for a in ("Type", "Target", "TargetMode")})
    return rels


def locate(kind, members, rels):
    for rel_type in TYPES[kind]:
        for rel in rels:
            if rel["Type"] == rel_type and rel["TargetMode"] != "External":
                info = find(members, resolve(rel["Target"]))
                if info is not None:
                    return info
    return find(members, FALLBACK[kind])


def main(out_dir, packages):
    for path in packages:
        base = os.path.basename(path)
        try:
            zf = zipfile.ZipFile(path)
        except Exception:
            for kind in ("core", "app", "types", "rels"):
                print(f"{base}\t{kind}\terror\t")
            continue
        with zf:
            members = sorted(zf.infolist(), key=lambda i: i.header_offset)
            rels = relationships(zf, members)
            found = {kind: locate(kind, members, rels) for kind in ("core", "app")}
            found["types"] = find(members, "[Content_Types].xml")
            found["rels"] = find(members, "_rels/.rels")
            for kind, info in found.items():
                if info is None:
                    print(f"{base}\t{kind}\tmissing\t")
                    continue
                target = os.path.join(out_dir, f"{base}.{kind}.xml")
                try:
                    data = zf.read(info)
                except Exception:
                    print(f"{base}\t{kind}\terror\t")
                    continue
                with open(target, "wb") as fh:
                    fh.write(data)
                print(f"{base}\t{kind}\tok\t{target}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
