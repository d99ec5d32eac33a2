#!/usr/bin/env python3
"""Checks that the layers only point down.

Every #include "..." of the program's folders, the tests, the benchmarks and the fuzz targets is
resolved to the folder of the header it names, and every arrow between folders must be one of
ALLOWED. Then every CMake target of the layers and of the test folders is checked against the
includes of its own sources (the files it lists, with the headers of its folder they reach): a
layer's target links exactly the layers it includes, and the libraries of its own folder whose
headers it includes; a test program links no layer it does not include, and reaches every layer
it includes through its links; no target links a Qt module that its sources do not include.

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


CMAKE_KEYWORDS = {"STATIC", "SHARED", "MODULE", "OBJECT", "INTERFACE", "EXCLUDE_FROM_ALL",
                  "WIN32", "MACOSX_BUNDLE", "IMPORTED", "GLOBAL", "ALIAS"}


def parse_cmake(path):
    """Targets defined in a CMakeLists.txt with their listed sources, and the names each links."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"#[^\n]*", "", text)
    targets = {}
    for m in re.finditer(r"add_(?:library|executable)\s*\(([^)]*)\)", text):
        words = m.group(1).split()
        if words:
            targets[words[0]] = [w for w in words[1:] if w not in CMAKE_KEYWORDS]
    links = {}
    for m in re.finditer(r"target_link_libraries\s*\(([^)]*)\)", text):
        words = m.group(1).split()
        if not words:
            continue
        links.setdefault(words[0], set()).update(
            w for w in words[1:] if w not in ("PUBLIC", "PRIVATE", "INTERFACE"))
    return targets, links


class Tree:
    """The source files of the tree and where each quoted include leads."""

    def __init__(self, root):
        self.root = root
        self.files = sorted(f for f in walk(root) if f.endswith(SOURCE_EXT) and unit_of(f))
        self.headers = {}
        for f in self.files:
            if f.endswith((".h", ".hpp")):
                self.headers.setdefault(os.path.basename(f), []).append(f)
        self.qt_dirs = find_qt_dirs()
        self.includes = {}  # file -> [(line, name, resolved file)]
        self.qt = {}        # file -> Qt modules it includes
        for f in self.files:
            self._scan(f)

    def _scan(self, f):
        quoted, qt = [], set()
        with open(os.path.join(self.root, f), encoding="utf-8", errors="replace") as src:
            for number, line in enumerate(src, 1):
                m = INCLUDE_RE.match(line)
                if not m:
                    continue
                kind, name = m.groups()
                if kind == "<":
                    module = qt_module_of(name, self.qt_dirs) if name.startswith("Q") else None
                    if module:
                        qt.add(module)
                    continue
                local = os.path.normpath(os.path.join(os.path.dirname(f), name)).replace(os.sep, "/")
                if os.path.isfile(os.path.join(self.root, local)):
                    quoted.append((number, name, local))
                else:
                    found = self.headers.get(os.path.basename(name), [])
                    if found:  # otherwise generated or outside the project
                        quoted.append((number, name, found[0]))
        self.includes[f] = quoted
        self.qt[f] = qt

    def closure_in_unit(self, sources, owner_of=lambda f: None):
        """The sources with the headers of their own unit that they reach, up to the headers that
        `owner_of` gives to another target."""
        seen = set()
        own = {owner_of(s) for s in sources} - {None}
        todo = [s for s in sources if s in self.includes]
        while todo:
            f = todo.pop()
            if f in seen:
                continue
            seen.add(f)
            for _, _, to in self.includes[f]:
                if unit_of(to) == unit_of(f) and to not in seen and owner_of(to) in own | {None}:
                    todo.append(to)
        return seen


def cmake_targets(tree, folder):
    """(CMakeLists path, {target: its files}, {target: linked names}, {header: its target}) of a
    folder, or None. Headers belong to targets in the layers' folders only: a test folder's
    headers are shared by its programs."""
    cmake = folder + "/CMakeLists.txt"
    if not os.path.isfile(os.path.join(tree.root, cmake)):
        return None
    targets, links = parse_cmake(os.path.join(tree.root, cmake))
    files, listed_of = {}, {}
    for target, sources in targets.items():
        listed = []
        for s in sources:
            if "${" in s or "$<" in s:
                # A globbed or generated list: every source file directly in the folder.
                listed += [f for f in tree.files
                           if os.path.dirname(f) == folder and f.endswith((".cpp", ".cc"))]
            else:
                listed.append(os.path.normpath(os.path.join(folder, s)).replace(os.sep, "/"))
        listed_of[target] = listed
    # A header belongs to the target that lists it or the source beside it.
    header_target = {}
    for target, fs in listed_of.items() if folder in FOLDERS.values() else ():
        for f in fs:
            stem = os.path.splitext(f)[0]
            for h in (stem + ".h", stem + ".hpp", f):
                if h.endswith((".h", ".hpp")):
                    header_target.setdefault(h, target)
    for target, fs in listed_of.items():
        mine = set(fs)
        files[target] = tree.closure_in_unit(
            listed_of[target], lambda h, t=target, mine=mine: t if h in mine else header_target.get(h))
    return cmake, files, links, header_target


def check(root):
    tree = Tree(root)
    faults = []
    for f in tree.files:
        unit = unit_of(f)
        may = allowed_for(unit)
        for number, name, target in tree.includes[f]:
            to = unit_of(target)
            if to is None or to == unit or to in may:
                continue
            faults.append(f"{f}:{number}: {unit} -> {to} is not allowed (#include \"{name}\")")

    # Every project target of the layers and of the tests, and the folder it belongs to.
    folders = dict(FOLDERS)
    folders.update({t: t for t in TEST_LAYER})
    parsed = {}
    owner = {}  # project target -> unit
    for unit, folder in folders.items():
        result = cmake_targets(tree, folder)
        if result:
            parsed[unit] = result
            for t in result[1]:
                owner[t] = unit
    header_target = {}
    for unit, result in parsed.items():
        if unit in FOLDERS:
            header_target.update(result[3])

    def link_closure(name, seen):
        for unit_result in parsed.values():
            links = unit_result[2].get(name)
            if links is None:
                continue
            for n in links:
                if n in owner and n not in seen:
                    seen.add(n)
                    link_closure(n, seen)
        return seen

    for unit, (cmake, files, links, _) in parsed.items():
        is_layer = unit in FOLDERS
        for t, fs in sorted(files.items()):
            included, included_same, qt = set(), set(), set()
            for f in fs:
                qt |= tree.qt.get(f, set())
                for _, _, to in tree.includes.get(f, ()):
                    to_unit = unit_of(to)
                    if to_unit in FOLDERS and to_unit != unit:
                        included.add(to_unit)
                    elif to_unit == unit and header_target.get(to, t) != t:
                        included_same.add(header_target[to])
            linked = {n for n in links.get(t, ()) if n in owner}
            linked_layers = {owner[n] for n in linked if owner[n] in FOLDERS and owner[n] != unit}
            linked_same = {n for n in linked if owner[n] == unit}
            for layer in sorted(linked_layers - included):
                faults.append(f"{cmake}: {t}: {unit} links {layer} but includes nothing of it")
            for n in sorted(linked_same - included_same):
                faults.append(f"{cmake}: {t}: {unit} links {n} but includes nothing of it")
            if is_layer:
                # Linking a target of its own layer brings what that target links.
                through = {owner[n] for s in linked_same for n in link_closure(s, set())}
                for layer in sorted(included - linked_layers - through):
                    faults.append(f"{cmake}: {t}: {unit} includes {layer} but does not link it")
                through_same = {n for s in linked_same for n in link_closure(s, set())}
                for n in sorted(included_same - linked_same - through_same):
                    faults.append(f"{cmake}: {t}: {unit} includes {n} but does not link it")
            else:
                # A test program may reach a layer through the layers it links.
                reach = {owner[n] for n in link_closure(t, set())}
                for layer in sorted(included - reach):
                    faults.append(f"{cmake}: {t}: {unit} includes {layer} but does not link it")
            linked_qt = {n[5:] for n in links.get(t, ())
                         if n.startswith("Qt6::") and n[5:] in QT_MODULES_CHECKED}
            for module in sorted(linked_qt - qt):
                faults.append(f"{cmake}: {t}: {unit} links Qt6::{module} but includes nothing of it")
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
