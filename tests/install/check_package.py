#!/usr/bin/env python3
"""The Debian package: `cpack -G DEB` from the build folder's install rules, then
`dpkg-deb --info` and `--contents`.

- the control fields: the package name, the version the program's metainfo announces, the
  architecture of this machine;
- Depends names the package of every shared library the two binaries load (found with
  objdump, ldd and dpkg -S here), and xdg-utils, which the program runs;
- the contents are the installed tree under /usr: the binaries, the lower-case link, the menu
  entry, metainfo, icons, help pages and manual pages, and nothing from the build folder.

usage: check_package.py BUILD_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no cache folder in the source tree
from install_checks import APP_ID, FAILURES, check  # noqa: E402


def run(args, **kw):
    r = subprocess.run(args, capture_output=True, text=True, **kw)
    if r.returncode != 0:
        sys.exit(f"{' '.join(args)} failed:\n{r.stdout}{r.stderr}")
    return r.stdout


def packages_of_linked_libraries(binary):
    """The Debian packages that hold the shared libraries `binary` needs."""
    needed = re.findall(r"^\s*NEEDED\s+(\S+)", run(["objdump", "-p", binary]), re.M)
    found = {}
    for line in run(["ldd", binary]).splitlines():  # "soname => path (addr)" or "path (addr)"
        m = re.match(r"\s*(?:(\S+) => )?(/\S+) \(", line)
        if m:
            found[m[1] or os.path.basename(m[2])] = m[2]
    packages = {}
    for soname in needed:
        path = found.get(soname)
        if not check(path, f"ldd finds {soname} of {binary}"):
            continue
        candidates = {path, os.path.realpath(path)}
        for p in list(candidates):  # merged /usr: dpkg may know either spelling
            candidates.add(p[4:] if p.startswith("/usr/lib/") else "/usr" + p)
        owner = None
        for p in candidates:
            r = subprocess.run(["dpkg", "-S", p], capture_output=True, text=True)
            if r.returncode == 0:
                owner = r.stdout.split(":")[0]
                break
        if check(owner, f"dpkg -S knows {path}"):
            packages[soname] = owner
    return packages


def main():
    build = os.path.realpath(sys.argv[1])
    out = tempfile.mkdtemp(prefix="pelm-package-")
    try:
        run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out],
            cwd=build)
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        if len(debs) != 1:
            sys.exit(f"cpack made {debs}")
        deb = os.path.join(out, debs[0])
        info = run(["dpkg-deb", "--info", deb])
        contents = run(["dpkg-deb", "--contents", deb])
    finally:
        shutil.rmtree(out, ignore_errors=True)
    print(info)

    field = lambda name: (re.search(rf"^ {name}: (.*)$", info, re.M) or [None, ""])[1]
    check(field("Package") == "pelmorant", "the package is called pelmorant")
    metainfo = open(os.path.join(os.path.dirname(__file__), "../../packaging",
                                 APP_ID + ".metainfo.xml"), encoding="utf-8").read()
    newest = re.search(r'<release version="([^"]+)"', metainfo)
    check(newest and field("Version") == newest[1],
          f"the version {field('Version')} is the metainfo's newest release")
    arch = run(["dpkg", "--print-architecture"]).strip()
    check(field("Architecture") == arch, f"the architecture is {arch}")
    check(field("Maintainer") and field("Description"), "the package has a maintainer and description")

    depends = {d.strip().split(" ")[0] for d in field("Depends").split(",") if d.strip()}
    required = {"xdg-utils"}
    for binary in ("core/app/Pelmorant", "tableengine/tabletool"):
        required |= set(packages_of_linked_libraries(os.path.join(build, binary)).values())
    for package in sorted(required):
        check(package in depends, f"Depends names {package}: {field('Depends')}")
    for package in ("libqt6widgets6", "libqt6multimedia6", "libgsm1", "libmp3lame0"):
        check(package in required, f"the program links {package}'s library")

    paths = {}
    for line in contents.splitlines():
        parts = line.split(None, 5)
        if len(parts) == 6:
            name = parts[5].split(" -> ")
            paths[name[0]] = name[1] if len(name) > 1 else None
    expected = ["./usr/bin/Pelmorant", "./usr/bin/tabletool",
                f"./usr/share/applications/{APP_ID}.desktop",
                f"./usr/share/metainfo/{APP_ID}.metainfo.xml",
                f"./usr/share/icons/hicolor/scalable/apps/{APP_ID}.svg",
                f"./usr/share/icons/hicolor/48x48/apps/{APP_ID}.png",
                f"./usr/share/icons/hicolor/256x256/apps/{APP_ID}.png",
                "./usr/share/pelmorant/help/index.html",
                "./usr/share/man/man1/Pelmorant.1.gz", "./usr/share/man/man1/pelmorant.1.gz",
                "./usr/share/man/man1/tabletool.1.gz"]
    for path in expected:
        check(path in paths, f"the package holds {path}")
    check(paths.get("./usr/bin/pelmorant") == "Pelmorant", "./usr/bin/pelmorant links to Pelmorant")
    stray = [p for p in paths if not p.startswith("./usr/") and p not in ("./", "./usr/")]
    check(not stray, f"everything lies under /usr: {stray}")
    check(not any("CMakeFiles" in p or "/local/" in p for p in paths), "no build files or /usr/local")

    if FAILURES:
        print(contents, file=sys.stderr)
        sys.exit(f"{len(FAILURES)} check(s) failed")
    print("package checked")


if __name__ == "__main__":
    main()
