#!/usr/bin/env python3
"""The installed tree: `cmake --install` into a temporary prefix, which is then moved elsewhere.

- every installed file is there, the icon's PNGs have their sizes, the menu entry names the
  installed command and icon, and the metainfo the menu entry;
- desktop-file-validate accepts the menu entry, appstreamcli the metainfo;
- the installed program, started through its lower-case name with the source and build folders
  hidden (a mount namespace with empty folders over them, where the system allows one), runs
  offscreen with a fresh home, logs the help folder it would open, which lies in the moved
  prefix and holds the pages, writes its autostart entry for the moved program, and ends in
  order on SIGTERM;
- man renders both manual pages without warnings, the alias page included, and the tool's
  page describes every command the tool itself lists.

usage: check_install.py BUILD_DIR SOURCE_DIR
"""
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no cache folder in the source tree
from install_checks import APP_ID, FAILURES, check  # noqa: E402

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def desktop_values(path):
    values = {}
    for line in open(path, encoding="utf-8"):
        if "=" in line and not line.startswith("#"):
            key, value = line.rstrip("\n").split("=", 1)
            values.setdefault(key, value)
    return values


def check_files(prefix):
    expected = ["bin/Pelmorant", "bin/tabletool",
                f"share/applications/{APP_ID}.desktop",
                f"share/metainfo/{APP_ID}.metainfo.xml",
                f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
                "share/pelmorant/help/index.html", "share/pelmorant/help/faq.html",
                "share/pelmorant/help/troubleshooting.html",
                "share/man/man1/Pelmorant.1.gz", "share/man/man1/pelmorant.1.gz",
                "share/man/man1/tabletool.1.gz"]
    for rel in expected:
        check(os.path.isfile(os.path.join(prefix, rel)), f"{rel} is installed")
    for rel in ("bin/Pelmorant", "bin/tabletool"):
        check(os.access(os.path.join(prefix, rel), os.X_OK), f"{rel} is executable")
    link = os.path.join(prefix, "bin/pelmorant")
    check(os.path.islink(link) and os.readlink(link) == "Pelmorant",
          "bin/pelmorant is a relative link to Pelmorant")
    for size in ICON_SIZES:
        png = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
        if check(os.path.isfile(png), f"the {size}x{size} icon is installed"):
            check(png_size(png) == (size, size), f"{png} is {size}x{size}, not {png_size(png)}")

    entry = os.path.join(prefix, f"share/applications/{APP_ID}.desktop")
    metainfo = os.path.join(prefix, f"share/metainfo/{APP_ID}.metainfo.xml")
    r = run(["desktop-file-validate", entry])
    check(r.returncode == 0 and not r.stdout.strip(), "desktop-file-validate: " + r.stdout + r.stderr)
    r = run(["appstreamcli", "validate", "--no-net", metainfo])
    check(r.returncode == 0, "appstreamcli validate: " + r.stdout + r.stderr)

    values = desktop_values(entry)
    command = values.get("Exec", "").split()[0] if values.get("Exec") else ""
    check(os.path.isfile(os.path.join(prefix, "bin", command)),
          f"the menu entry's command {command!r} is installed in bin/")
    check(values.get("Icon") == APP_ID, "the menu entry names the installed icon")
    text = open(metainfo, encoding="utf-8").read()
    check(f'<launchable type="desktop-id">{APP_ID}.desktop</launchable>' in text,
          "the metainfo launches the installed menu entry")
    check(f"<id>{APP_ID}</id>" in text, "the metainfo's id is the application's")


def namespace_wrapper(hidden):
    """A command prefix that runs its command with empty folders over `hidden`, or None."""
    script = " && ".join(f'mount -t tmpfs pelm-hidden "${i + 1}"' for i in range(len(hidden)))
    for flags in (["--mount"], ["--map-root-user", "--mount"]):
        wrapper = ["unshare", *flags, "sh", "-c", script + ' && shift %d && exec "$@"' % len(hidden),
                   "sh", *hidden]
        probe = run(wrapper + ["sh", "-c", 'for d; do [ -z "$(ls -A "$d")" ] || exit 1; done',
                               "sh", *hidden])
        if probe.returncode == 0:
            return wrapper
    return None


def wait_for(predicate, process, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        if process.poll() is not None:
            return False
        time.sleep(0.1)
    return predicate()


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def check_program(prefix, root, hidden):
    home = os.path.join(root, "home")
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "PELMORANT_AUDIO_INPUT", "SESSION_MANAGER")}
    env.update(HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=os.path.join(root, "run"),
               QT_QPA_PLATFORM="offscreen", PULSE_SERVER="unix:" + os.path.join(root, "no-sound"),
               PATH=os.path.join(prefix, "bin") + ":/usr/bin:/bin")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    os.makedirs(home)
    wrapper = namespace_wrapper(hidden)
    if wrapper is None:
        print("note: no mount namespace here; the source and build folders stay visible",
              file=sys.stderr)
    command = (wrapper or []) + [os.path.join(prefix, "bin/pelmorant"), "--audio-input=tone"]
    data = os.path.join(home, ".local/share/Pelmorant")
    log_path, ini_path = data + "/Pelmorant.log", data + "/Pelmorant.ini"
    program = subprocess.Popen(command, cwd=root, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    try:
        # Shown, with its event loop running: the first activation has written this key.
        running = wait_for(lambda: "demoInstructions" in read(ini_path), program, 30)
        if not check(running, "the installed program starts and shows its window"):
            return
        time.sleep(1)
        check(program.poll() is None, "the installed program keeps running")

        help_lines = re.findall(r"\(Help pages: (.*)\)\r?$", read(log_path), re.M)
        if check(len(help_lines) == 1, "the log names the help folder once"):
            found = help_lines[0]
            check(os.path.realpath(found) == os.path.realpath(prefix + "/share/pelmorant/help"),
                  f"the help folder {found} is the installed one in {prefix}")
            check(os.path.isfile(os.path.join(found, "index.html")), "the help folder holds index.html")

        autostart = read(home + "/.config/autostart/Pelmorant.desktop")
        check(f'Exec="{prefix}/bin/Pelmorant" STARTUP' in autostart,
              "the autostart entry starts the installed program: " + autostart)

        program.send_signal(signal.SIGTERM)
        try:
            status = program.wait(30)
        except subprocess.TimeoutExpired:
            status = None
        check(status == 0, f"the program ends in order on SIGTERM (status {status})")
        check("(Closing program...)" in read(log_path), "the log says the program closed")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        output = program.stdout.read()
        if FAILURES and output:
            print("program output:\n" + output, file=sys.stderr)


def render(args, env):
    r = run(["man", "--warnings", *args], env=env)
    check(r.returncode == 0 and not r.stderr.strip(),
          f"man {' '.join(args)} renders without warnings: {r.stderr}")
    return r.stdout


def check_manuals(prefix):
    env = dict(os.environ, MANPAGER="cat", PAGER="cat", MANWIDTH="100", LC_ALL="C.UTF-8")
    man1 = os.path.join(prefix, "share/man/man1")
    program = render(["-l", man1 + "/Pelmorant.1.gz"], env)
    tool = render(["-l", man1 + "/tabletool.1.gz"], env)
    for page, text in (("Pelmorant", program), ("tabletool", tool)):
        for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS"):
            check(re.search(rf"^{section}$", text, re.M), f"{page}(1) has its {section} section")
        check("@" not in text.splitlines()[0], f"{page}(1)'s version is filled in")
    for word in ("STARTUP", "KUDOX", "--audio-input=INPUT", "PELMORANT_AUDIO_INPUT"):
        check(word in program, f"Pelmorant(1) describes {word}")
    # The alias page through the manual path.
    alias = render([f"--manpath={prefix}/share/man", "1", "pelmorant"], env)
    check("Pelmorant - record telephone calls" in alias, "man pelmorant shows the program's page")

    # Every command and option of the tool's own usage text is described.
    usage = run([os.path.join(prefix, "bin/tabletool")])
    check(usage.returncode == 2, "tabletool without a command is a usage error")
    commands = re.findall(r"^  ([a-z]+) [A-Z]", usage.stderr, re.M)
    options = re.findall(r"^  (--[a-z-]+)", usage.stderr, re.M)
    check(len(commands) >= 6 and options, "the usage text lists the commands and options")
    described = re.findall(r"^       ([a-z]+) [A-Z]", tool, re.M)
    for name in commands:
        check(name in described, f"tabletool(1) describes the command {name}")
    for option in options:
        check(option in tool, f"tabletool(1) describes the option {option}")


def main():
    build, source = (os.path.realpath(p) for p in sys.argv[1:3])
    root = tempfile.mkdtemp(prefix="pelm-install-")
    try:
        for folder in (source, build):
            if os.path.commonpath([root, folder]) == folder:
                sys.exit(f"the temporary folder {root} lies in {folder}")
        staged = os.path.join(root, "staged")
        r = run(["cmake", "--install", build, "--prefix", staged])
        if r.returncode != 0:
            sys.exit("cmake --install failed:\n" + r.stdout + r.stderr)
        # Installed to one prefix, used from another: nothing may depend on where it was put.
        prefix = os.path.join(root, "moved", "usr")
        os.makedirs(os.path.dirname(prefix))
        shutil.move(staged, prefix)
        hidden = [source] + ([build] if os.path.commonpath([build, source]) != source else [])
        check_files(prefix)
        check_program(prefix, root, hidden)
        check_manuals(prefix)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    if FAILURES:
        sys.exit(f"{len(FAILURES)} check(s) failed")
    print("installed tree checked")


if __name__ == "__main__":
    main()
