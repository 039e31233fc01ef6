#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program over AT-SPI, as a screen reader drives it: what no QtTest
# suite reaches, the program's own start with the desktop's boxes, and a switch
# into the Wine prefix that WINEPREFIX names, checked on disk. Run it inside a
# virtual X display and a D-Bus session of its own (CTest does: xvfb-run -a
# dbus-run-session -- nexolan_e2e.py PATH/TO/nexolan). Exit status 0 passed,
# 1 failed, 77 skipped.

import os, shutil, subprocess, sys, tempfile, time

TITLE = "Nexolan - By Torvik"


def run(binary, work):
    try:
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.childCount
    except Exception as error:
        print("SKIP: no AT-SPI: %s" % error)
        return 77
    # The program reads its list beside itself.
    os.mkdir(os.path.join(work, "app"))
    program = shutil.copy2(binary, os.path.join(work, "app", "nexolan"))
    with open(os.path.join(work, "app", "nexolan.dat"), "wb") as data:
        data.write(b"loop.example;127.0.0.1;1863\r\n")
    # A Wine prefix of the test's own, that no wineserver runs for: the switch edits its user.reg. Named, it
    # keeps the program from looking for Messenger in the prefixes of other tests running Wine at the same time.
    prefix = os.path.join(work, "prefix")
    os.mkdir(prefix)
    registry = os.path.join(prefix, "user.reg")
    with open(registry, "w", newline="") as file:
        file.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), QT_QPA_PLATFORM="xcb",
               QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", WINEPREFIX=prefix)
    process = subprocess.Popen([program], env=env, cwd=work)

    def wait_for(what, probe):
        end = time.monotonic() + 15
        while time.monotonic() < end and process.poll() is None:
            try:
                found = probe()
                if found:
                    return found
            except Exception:  # objects come and go while the program starts
                pass
            time.sleep(0.05)
        raise AssertionError("no " + what)

    def nodes(root):
        for child in (root.getChildAtIndex(index) for index in range(root.childCount)):
            if child is not None:
                yield child
                yield from nodes(child)

    def find(root, role, name):
        return next(node for node in nodes(root) if node.getRole() == role and node.name.startswith(name))

    def press(button):
        button.queryAction().doAction(0)

    # A box of the program's, titled as its window, found by the start of its text, closed with OK.
    def answer_box(text):
        label = wait_for("box saying " + text, lambda: find(app, pyatspi.ROLE_LABEL, text))
        box = label.parent
        while box.getRole() != pyatspi.ROLE_ALERT:
            box = box.parent
        assert box.name == TITLE, "box titled %r" % box.name
        press(find(box, pyatspi.ROLE_PUSH_BUTTON, "OK"))

    try:
        app = wait_for("program on the bus", lambda: next(
            node for node in nodes(desktop) if node.get_process_id() == process.pid))
        answer_box("Can not load the Messenger API Type Library.")
        answer_box("Important information:")
        frame = wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, TITLE))
        press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Use this server"))
        wait_for("the switch on disk", lambda: '"Server"="loop.example;127.0.0.1:1863"\n'
                 in open(registry, encoding="utf-8", newline="").read())
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
