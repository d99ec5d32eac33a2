#!/usr/bin/env python3
"""Checks that the layers only point down.

Every #include "..." of the program's folders, the tests, the benchmarks and the fuzz targets is
resolved to the folder of the header it names, and every arrow between folders must be one of
ALLOWED. Then each layer's CMake targets must link exactly the layers its sources include (no
layer linked that is never included, no layer included that is not linked), and no Qt module
may be linked that no source of the layer includes.

Usage: check_layers.py [--root DIR]. Exit status 0 when the tree is clean, 1 with one line per
fault otherwise.
"""
import argparse
import os
import re
import sys

# The program's layers, top to bottom, with the layers each may include. A folder may always
# include its own headers.
LAYERS = ["app", "browsing", "supervision", "recording", "database", "core", "ui", "tableengine"]
ALLOWED = {
    "tableengine": set(),
    "ui": set(),
    "core": {"tableengine"},
    "database": {"core", "tableengine", "ui"},
    "recording": {"database", "core", "tableengine"},
    "supervision": {"recording", "database", "core", "ui", "tableengine"},
    "browsing": {"supervision", "recording", "database", "core", "ui", "tableengine"},
    "app": {"browsing", "supervision", "recording", "database", "core", "ui", "tableengine"},
}
FOLDERS = {
    "app": "core/app",
    "browsing": "browsing",
    "supervision": "supervision",
    "recording": "recording",
    "database": "database",
    "core": "core",
    "ui": "ui",
    "tableengine": "tableengine",
}
# Tests of a layer see that layer, what it may include, the shared test support and the data
# generators of the benchmarks; the tests of the whole program (gui, app) see everything.
TEST_LAYER = {
    "tests/tableengine": "tableengine",
    "tests/ui": "ui",
    "tests/core": "core",
    "tests/database": "database",
    "tests/recording": "recording",
    "tests/supervision": "supervision",
    "tests/browsing": "browsing",
    "tests/app": "app",
    "tests/gui": "app",
}
QT_MODULES_CHECKED = ["Widgets", "Network", "Multimedia", "PrintSupport"]
SOURCE_EXT = (".h", ".hpp", ".cpp", ".cc")
INCLUDE_RE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def unit_of(rel):
    """The checked unit a file belongs to: a layer, a test folder, bench, fuzz, or None."""
    parts = rel.split("/")
    if parts[0] == "tests" and len(parts) > 2:
        return "tests/" + parts[1]
    if parts[0] in ("bench", "fuzz"):
        return parts[0]
    if rel.startswith("core/app/"):
        return "app"
    if parts[0] in FOLDERS.values() and len(parts) > 1:
        return parts[0]
    return None


def allowed_for(unit):
    """The units `unit` may include (besides itself)."""
    if unit in ALLOWED:
        return set(ALLOWED[unit])
    if unit in ("bench", "fuzz", "tests/support"):
        return set(LAYERS) | {"bench", "tests/support"}
    if unit in TEST_LAYER:
        layer = TEST_LAYER[unit]
        below = ALLOWED[layer] | {layer}
        tests_below = {t for t, l in TEST_LAYER.items() if l in below}
        return below | tests_below | {"tests/support", "bench"}
    return set()


def walk(root):
    for base, dirs, files in os.walk(root):
        rel_base = os.path.relpath(base, root)
        dirs[:] = [d for d in dirs if not d.startswith(("build", ".")) and d != "corpus"]
        for f in files:
            rel = os.path.normpath(os.path.join(rel_base, f)).replace(os.sep, "/")
            yield rel


def qt_module_of(header, qt_dirs):
    for module, folder in qt_dirs.items():
        if os.path.isfile(os.path.join(folder, header)):
            return module
    return None


def find_qt_dirs():
    for base in ("/usr/include/x86_64-linux-gnu/qt6", "/usr/include/aarch64-linux-gnu/qt6",
                 "/usr/include/qt6"):
        if os.path.isdir(base):
            return {m: os.path.join(base, "Qt" + m) for m in QT_MODULES_CHECKED}
    return {}


def parse_cmake(path):
    """Targets defined in a CMakeLists.txt and the names each links."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"#[^\n]*", "", text)
    targets = re.findall(r"add_(?:library|executable)\s*\(\s*([A-Za-z0-9_]+)", text)
    links = {}
    for m in re.finditer(r"target_link_libraries\s*\(([^)]*)\)", text):
        words = m.group(1).split()
        if not words:
            continue
        links.setdefault(words[0], set()).update(
            w for w in words[1:] if w not in ("PUBLIC", "PRIVATE", "INTERFACE"))
    return targets, links


def check(root):
    faults = []
    files = [f for f in walk(root) if f.endswith(SOURCE_EXT) and unit_of(f)]
    headers = {}
    for f in files:
        if f.endswith((".h", ".hpp")):
            headers.setdefault(os.path.basename(f), []).append(f)
    qt_dirs = find_qt_dirs()
    included = {}     # unit -> set of units it includes
    qt_included = {}  # unit -> set of Qt modules it includes
    for f in sorted(files):
        unit = unit_of(f)
        may = allowed_for(unit)
        with open(os.path.join(root, f), encoding="utf-8", errors="replace") as src:
            for number, line in enumerate(src, 1):
                m = INCLUDE_RE.match(line)
                if not m:
                    continue
                kind, name = m.groups()
                if kind == "<":
                    module = qt_module_of(name, qt_dirs) if name.startswith("Q") else None
                    if module:
                        qt_included.setdefault(unit, set()).add(module)
                    continue
                local = os.path.normpath(os.path.join(os.path.dirname(f), name)).replace(os.sep, "/")
                if os.path.isfile(os.path.join(root, local)):
                    target = local
                else:
                    found = headers.get(os.path.basename(name), [])
                    if not found:
                        continue  # generated or outside the project
                    target = found[0]
                to = unit_of(target)
                if to is None or to == unit:
                    continue
                included.setdefault(unit, set()).add(to)
                if to not in may:
                    faults.append(f"{f}:{number}: {unit} -> {to} is not allowed "
                                  f"(#include \"{name}\")")

    # Links against includes, layer by layer.
    target_unit = {}
    cmake_of = {}
    for unit, folder in FOLDERS.items():
        path = os.path.join(root, folder, "CMakeLists.txt")
        if not os.path.isfile(path):
            continue
        targets, links = parse_cmake(path)
        cmake_of[unit] = (folder + "/CMakeLists.txt", targets, links)
        for t in targets:
            target_unit[t] = unit
    for unit, (cmake, targets, links) in cmake_of.items():
        linked = set()
        linked_qt = set()
        for t in targets:
            for name in links.get(t, ()):
                if name in target_unit and target_unit[name] != unit:
                    linked.add(target_unit[name])
                elif name.startswith("Qt6::") and name[5:] in QT_MODULES_CHECKED:
                    linked_qt.add(name[5:])
        inc = included.get(unit, set()) & set(LAYERS)
        for layer in sorted(linked - inc):
            faults.append(f"{cmake}: {unit} links {layer} but includes nothing of it")
        for layer in sorted(inc - linked):
            faults.append(f"{cmake}: {unit} includes {layer} but does not link it")
        for module in sorted(linked_qt - qt_included.get(unit, set())):
            faults.append(f"{cmake}: {unit} links Qt6::{module} but includes nothing of it")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    args = parser.parse_args()
    faults = check(os.path.abspath(args.root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} layering fault(s)")
        return 1
    print("layers: every include and link points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
