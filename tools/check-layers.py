#!/usr/bin/env python3
"""Keeps the layers' rules, for every tracked C++ file:

- includes run one way: bundle -> UpdateProxy -> libdruxclient -> winport,
  and every layer may include sdk/;
- nothing of the product (the four layers and sdk/) includes standins/,
  tests/, bench/ or fuzz/;
- a layer's private headers (those of libdruxclient/ and winport/ outside
  their include/ folders) are included only from inside the layer; the
  client layer's test-support headers also from tests/, bench/ and fuzz/;
- `_WIN32` is tested only in winport/ and in tests/support/.

Prints one line per violation and exits 1 when there is any.
usage: tools/check-layers.py [ROOT]
"""
import os
import re
import subprocess
import sys

# Arrows run from a higher rank to a lower one.
RANK = {"winport": 0, "libdruxclient": 1, "UpdateProxy": 2, "bundle": 3}
PRODUCT = set(RANK) | {"sdk"}
NOT_PRODUCT = {"standins", "tests", "bench", "fuzz"}
# A layer's face: the folder its target exports; what else it has is its own.
FACE = {"libdruxclient": "libdruxclient/include/", "winport": "winport/include/"}
# Reached past the face by the layer's own tests and benchmarks
# (the druxclient_internals target).
TEST_SUPPORT = {
    "libdruxclient/KaNotifyProxy.h",
    "libdruxclient/ModuleRegistry.h",
    "libdruxclient/QORClient.h",
}
TESTING = {"tests", "bench", "fuzz"}
WIN32_ALLOWED = ("winport/", "tests/support/")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
WIN32_TEST = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b_WIN32\b")


def layer(path):
    return path.split("/", 1)[0]


def is_private(path):
    face = FACE.get(layer(path))
    return face is not None and not path.startswith(face)


def candidates(includer, quote, name, by_suffix):
    """The tracked files an include may name: beside the includer first (for
    quoted includes and for relative paths), otherwise every file whose path
    ends with the included name."""
    if quote == '"' or name.startswith("."):
        beside = os.path.normpath(os.path.join(os.path.dirname(includer), name))
        if beside in by_suffix.get(os.path.basename(name), ()):
            return [beside]
    return [p for p in by_suffix.get(os.path.basename(name), ()) if p == name or p.endswith("/" + name)]


def violation(includer, target):
    source, dest = layer(includer), layer(target)
    if source == dest:
        return None
    if source in PRODUCT and dest in NOT_PRODUCT:
        return "the product includes " + dest + "/"
    if source in RANK and dest in RANK and RANK[dest] > RANK[source]:
        return "against the arrows (" + source + " -> " + dest + ")"
    if source == "sdk" and dest in RANK and dest != "winport":
        return "the contracts include a layer"
    if is_private(target) and not (source in TESTING and target in TEST_SUPPORT):
        return "a private header of " + dest + "/"
    return None


def check(root):
    files = subprocess.run(["git", "-C", root, "ls-files", "*.h", "*.cpp"], check=True,
                           capture_output=True, text=True).stdout.split()
    by_suffix = {}
    for path in files:
        by_suffix.setdefault(os.path.basename(path), []).append(path)
    found = []
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                where = "%s:%d" % (path, number)
                if WIN32_TEST.match(line) and not path.startswith(WIN32_ALLOWED):
                    found.append(where + ": _WIN32 tested outside winport/ and tests/support/")
                match = INCLUDE.match(line)
                if not match:
                    continue
                targets = candidates(path, match.group(1), match.group(2), by_suffix)
                reasons = [violation(path, target) for target in targets]
                # A name that may mean several files passes when one of them may be included.
                if reasons and all(reasons):
                    found.append("%s: %s: %s" % (where, match.group(2), reasons[0]))
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = check(root)
    for line in found:
        print(line)
    if found:
        print("layer check: %d violation(s)" % len(found), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
