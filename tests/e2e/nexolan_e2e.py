#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Smoke run of the real program over AT-SPI, as a screen reader drives it:
what no QtTest suite reaches, the program's own start with the desktop's
boxes and a switch in the Wine prefix that WINEPREFIX names, checked on disk. Run it inside a
virtual X display and a D-Bus session of its own (CTest does: xvfb-run -a
dbus-run-session -- nexolan_e2e.py PATH/TO/nexolan). Exit status 0 passed,
1 failed, 77 skipped."""

import os, shutil, subprocess, sys, tempfile, time

STEP = 15.0
TITLE = "Nexolan - By Torvik"


def run(binary, work):
    try:
        import pyatspi
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:
        print("SKIP: no AT-SPI: %s" % error)
        return 77
    os.mkdir(os.path.join(work, "app"))
    program = shutil.copy2(binary, os.path.join(work, "app", "nexolan"))
    with open(os.path.join(work, "app", "nexolan.dat"), "wb") as data:
        data.write(b"loop.example;127.0.0.1;1863\r\n")
    # A Wine prefix of the test's own, named by WINEPREFIX, that no wineserver runs for: the switch edits its
    # user.reg. Named, it keeps the program from looking for Messenger in the prefixes of other tests running
    # Wine as the same user at the same time.
    prefix = os.path.join(work, "prefix")
    os.mkdir(prefix)
    with open(os.path.join(prefix, "user.reg"), "w", newline="") as registry:
        registry.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), QT_QPA_PLATFORM="xcb",
               QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", WINEPREFIX=prefix)
    process = subprocess.Popen([program], env=env, cwd=work)

    def wait_for(what, probe):
        end = time.monotonic() + STEP
        while time.monotonic() < end and process.poll() is None:
            try:
                found = probe()
                if found:
                    return found
            except Exception:
                pass
            time.sleep(0.05)
        raise AssertionError("no " + what)

    def nodes(root):
        for child in (root.getChildAtIndex(i) for i in range(root.childCount)):
            if child is not None:
                yield child
                yield from nodes(child)

    def find(root, role, name=None):
        return next((n for n in nodes(root) if n.getRole() == role and name in (None, n.name)), None)

    def press(node):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        actions.doAction(names.index("Press"))

    def answer_box(start):
        box = wait_for("message box", lambda: find(app, pyatspi.ROLE_ALERT))
        text = "\n".join(n.name for n in nodes(box) if n.getRole() == pyatspi.ROLE_LABEL and n.name)
        assert box.name == TITLE and text.startswith(start), "box %r says %r" % (box.name, text)
        press(find(box, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        wait_for("the box to close", lambda: all(app.getChildAtIndex(i) != box for i in range(app.childCount)))
        return text

    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("program on the bus", lambda: next(
            (a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
             if a and a.get_process_id() == process.pid), None))
        answer_box("Can not load the Messenger API Type Library.")
        assert answer_box("Important information:").endswith("Note: this will only be shown once.")
        frame = wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, TITLE))
        press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Use this server"))
        path = os.path.join(prefix, "user.reg")
        wait_for("the switch on disk", lambda: '"Server"="loop.example;127.0.0.1:1863"\n'
                 in open(path, encoding="utf-8", newline="").read())
    except AssertionError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        if process.poll() is None:
            process.kill()
    print("PASS: start-up boxes, switch on disk")
    return 0


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="nexolan-e2e-") as work:
        sys.exit(run(os.path.abspath(sys.argv[1]), work))
