#!/usr/bin/env python3
"""Runs the oracle's raw-copy comparison (oracle.py --diff) on many packages in one process:
diff_packages.py ORACLE.py OLD_DIR NEW_DIR NAME...  Exit 0 when every NEW is its OLD with only
the property parts rewritten (and created parts registered)."""
import importlib.util
import json
import os
import sys


def main(argv):
    module_spec = importlib.util.spec_from_file_location("oracle", argv[0])
    oracle = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(oracle)
    failed = 0
    for name in argv[3:]:
        report, ok = oracle.diff_packages(os.path.join(argv[1], name), os.path.join(argv[2], name))
        if not ok:
            failed += 1
            print(name, json.dumps(report, ensure_ascii=False))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
