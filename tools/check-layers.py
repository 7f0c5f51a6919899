#!/usr/bin/env python3
"""Checks that every folder of the code includes only from itself and the
folders below it, in this order (lowest first), so that the include graph
of the folders has no cycle and no upward arrow. Prints each arrow that
breaks the order and exits 1; exits 0 when there is none.

Usage: check-layers.py [repository root]
"""
import os
import re
import sys

ORDER = ["convlib", "platform/text", "platform/system", "platform/files", "platform/notify",
         "platform/shell", "platform/ui", "platform/windows", "folderbrowse", "dictool"]
# What each layer may use besides itself: convlib stands alone.
ALONE = {"convlib"}


def folder_of(path):
    parts = path.split("/")
    return "/".join(parts[:2]) if parts[0] == "platform" else parts[0]


root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
include = re.compile(r'\s*#\s*include\s+"([^"]+)"')
broken = []
for layer in ORDER:
    for dirpath, _, names in os.walk(os.path.join(root, layer)):
        for name in sorted(names):
            if not name.endswith((".cpp", ".h")):
                continue
            source = os.path.relpath(os.path.join(dirpath, name), root)
            with open(os.path.join(dirpath, name), encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = include.match(line)
                    if not m:
                        continue
                    target = folder_of(m.group(1))
                    if target == layer or target not in ORDER:
                        continue
                    if layer in ALONE or ORDER.index(target) > ORDER.index(layer):
                        broken.append("%s:%d: %s includes %s" % (source, number, layer, m.group(1)))
for b in broken:
    print(b)
if broken:
    print("%d include(s) break the order %s" % (len(broken), " < ".join(ORDER)))
    sys.exit(1)
print("no folder includes from a folder above it (%s)" % " < ".join(ORDER))
