#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program over AT-SPI, as a screen reader drives it: what no QtTest
# suite reaches, the program's own start in the user's language (LANG of a
# Brazilian user) and its accessible tree, and a switch into the Wine prefix
# that WINEPREFIX names, checked on disk. Run it inside a virtual X display
# and a D-Bus session of its own (CTest does: xvfb-run -a dbus-run-session --
# nexolan_e2e.py PATH/TO/nexolan). Exit status 0 passed, 1 failed, 77 skipped.

import os, pathlib, shutil, subprocess, sys, tempfile, time


def run(binary, work):
    try:
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.childCount
    except Exception as error:
        print("SKIP: no AT-SPI: %s" % error)
        return 77
    # The program reads the list beside itself, named after it. A Wine prefix of the test's own, that no wineserver runs for:
    # the switch edits its user.reg, and the program looks for Messenger in no other test's prefix.
    for folder in ("app", "prefix"):
        os.mkdir(os.path.join(work, folder))
    program = shutil.copy2(binary, os.path.join(work, "app", "nexolan-e2e"))
    shutil.copytree(os.path.join(os.path.dirname(binary), "translations"), os.path.join(work, "app", "translations"))
    pathlib.Path(work, "app", "nexolan-e2e.dat").write_bytes(b"loop.example;127.0.0.1;1863\r\n")
    registry = pathlib.Path(work, "prefix", "user.reg")
    registry.write_bytes(b"WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), QT_QPA_PLATFORM="xcb",
               QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", WINEPREFIX=os.path.join(work, "prefix"),
               LANG="pt_BR.UTF-8", LC_ALL="", LC_MESSAGES="", LANGUAGE="")
    process = subprocess.Popen([program], env=env, cwd=work)

    # Generous: the machine may be busy with other tests.
    def wait_for(what, probe):
        end = time.monotonic() + 60
        while time.monotonic() < end and process.poll() is None:
            found = probe()
            if found:
                return found
            time.sleep(0.05)
        raise AssertionError("no " + what)

    def find(root, role, name):  # objects that come and go while the program starts are passed over
        return pyatspi.findDescendant(root, lambda node: node.getRole() == role and node.name.startswith(name))

    try:
        app = wait_for("program on the bus", lambda: pyatspi.findDescendant(
            desktop, lambda node: node.get_process_id() == process.pid))
        # The box for the missing Messenger, then the first-run notice; then the main window.
        for box in ("Não é possível carregar a biblioteca de tipos da API", "Informações importantes:"):
            alert = wait_for("box saying " + box, lambda: pyatspi.findDescendant(
                app, lambda node: node.getRole() == pyatspi.ROLE_ALERT and find(node, pyatspi.ROLE_LABEL, box)))
            find(alert, pyatspi.ROLE_PUSH_BUTTON, "OK").queryAction().doAction(0)
        frame = wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, "Nexolan - Por Torvik"))
        find(frame, pyatspi.ROLE_PUSH_BUTTON, "Usar servidor").queryAction().doAction(0)
        wait_for("the switch on disk", lambda: b'"Server"="loop.example;127.0.0.1:1863"\n' in registry.read_bytes())
        settings = pathlib.Path(work, "config", "Nexolan", "Nexolan.ini")  # where the launch is counted
        wait_for("the launch counted", lambda: settings.exists() and b"Opened=1" in settings.read_bytes())
    except AssertionError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        process.kill()  # nothing happens where it has ended
    print("PASS: start-up boxes, switch and launch counter on disk")
    return 0


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="nexolan-e2e-") as work:
        sys.exit(run(os.path.abspath(sys.argv[1]), work))
