"""Compares a folder extracted from a package with what python's zipfile reads from it.

Usage: compare_extraction.py PACKAGE FOLDER
Prints "unreadable" when zipfile refuses the package. Otherwise every file member whose path holds a
'.' must be in FOLDER with the same bytes, and FOLDER must hold nothing else; each difference is
printed on its own line, and "ok" when there is none.
"""
import os
import sys
import zipfile


def raw_name(info):
    # zipfile decodes names without the UTF-8 flag as cp437; undo that to get the stored bytes.
    if info.flag_bits & 0x800:
        return info.filename.encode("utf-8")
    return info.filename.encode("cp437")


def main():
    package, folder = sys.argv[1], sys.argv[2]
    try:
        archive = zipfile.ZipFile(package)
        infos = archive.infolist()
    except Exception:
        print("unreadable")
        return
    problems = []
    expected = set()
    for info in infos:
        name = raw_name(info).replace(b"\\", b"/")
        if name.endswith(b"/") or b"." not in name:
            continue
        rel = os.path.normpath(name.decode("utf-8", "surrogateescape"))
        expected.add(rel)
        path = os.path.join(folder, rel)
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as e:
            problems.append("missing %s (%s)" % (rel, e.strerror))
            continue
        if data != archive.read(info):
            problems.append("content differs: %s" % rel)
    for root, _dirs, files in os.walk(folder):
        for f in files:
            rel = os.path.relpath(os.path.join(root, f), folder)
            if rel not in expected:
                problems.append("unexpected file %s" % rel)
    print("\n".join(problems) if problems else "ok")


main()
