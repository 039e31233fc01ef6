#!/usr/bin/python3
"""Smoke run of the real Nexolan program, driven over AT-SPI as a screen
reader would: start-up boxes, the list, a test against a loopback server,
a switch checked on disk, File > Exit.

    nexolan_e2e.py PATH/TO/nexolan

The program runs unchanged on a virtual X display (xvfb-run) with its own
D-Bus session (dbus-run-session), in a temporary XDG_CONFIG_HOME. Exit
status: 0 passed, 1 failed, 77 skipped (no display, bus or AT-SPI stack).
Every wait is bounded.
"""

import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
TOTAL_TIMEOUT = 90.0
STEP_TIMEOUT = 15.0
TITLE = "Nexolan - By Torvik"
PROBE = b"VER 2 MSNP10 MSNP9 CVR0\r\n"
KEY = r"HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def outside(binary):
    tools = ("xvfb-run", "Xvfb", "dbus-run-session")
    if any(not shutil.which(tool) for tool in tools):
        print("SKIP: needs %s (make test installs them)" % " ".join(tools))
        return SKIP
    with tempfile.TemporaryDirectory(prefix="nexolan-e2e-") as work:
        command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -nolisten tcp", "dbus-run-session", "--",
                   sys.executable, os.path.abspath(__file__), "--inside", binary, work]
        process = subprocess.Popen(command, start_new_session=True)
        try:
            return process.wait(timeout=TOTAL_TIMEOUT)
        except subprocess.TimeoutExpired:
            print("FAIL: the run took more than %.0f s" % TOTAL_TIMEOUT)
            return 1
        finally:
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    break
                time.sleep(0.2)


class LoopbackServer(threading.Thread):
    """Records what one connection sends and answers its first line."""

    def __init__(self):
        super().__init__(daemon=True)
        self.sock = socket.create_server(("127.0.0.1", 0))
        self.sock.settimeout(STEP_TIMEOUT)
        self.port = self.sock.getsockname()[1]
        self.received = b""
        self.start()

    def run(self):
        try:
            conn, _ = self.sock.accept()
            with conn:
                conn.settimeout(STEP_TIMEOUT)
                while b"\r\n" not in self.received:
                    data = conn.recv(4096)
                    if not data:
                        return
                    self.received += data
                conn.sendall(b"VER 2 MSNP10\r\n")
                while conn.recv(4096):
                    pass
        except OSError:
            pass


class Scenario:
    def __init__(self, binary, work):
        import pyatspi
        self.at = pyatspi
        self.server = LoopbackServer()
        appdir = os.path.join(work, "app")
        os.mkdir(appdir)
        self.binary = os.path.join(appdir, "nexolan")
        shutil.copy2(binary, self.binary)
        with open(os.path.join(appdir, "nexolan.dat"), "wb") as data:
            data.write(b"loop.example;127.0.0.1;%d\r\n;127.0.0.1;1\r\n" % self.server.port)
        self.config = os.path.join(work, "config")
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.config, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", WINEPREFIX=os.path.join(work, "no-prefix"))
        self.env.pop("NO_AT_BRIDGE", None)
        self.process = subprocess.Popen([self.binary], env=self.env, cwd=work)
        self.app = self.wait_for("the program on the accessibility bus", self.find_app)

    def wait_for(self, what, probe):
        end = time.monotonic() + STEP_TIMEOUT
        while time.monotonic() < end:
            try:
                value = probe()
                if value:
                    return value
            except Failure:
                raise
            except Exception:
                pass
            check(self.process is None or self.process.poll() is None, "the program ended while waiting for " + what)
            time.sleep(0.05)
        raise Failure("no %s within %.0f s" % (what, STEP_TIMEOUT))

    def find_app(self):
        desktop = self.at.Registry.getDesktop(0)
        apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
        return next((app for app in apps if app and app.get_process_id() == self.process.pid), None)

    def nodes(self, root):
        for index in range(root.childCount):
            child = root.getChildAtIndex(index)
            if child is not None:
                yield child
                yield from self.nodes(child)

    def find(self, root, role, name=None):
        return next((n for n in self.nodes(root) if n.getRole() == role and name in (None, n.name)), None)

    def press(self, node):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        actions.doAction(names.index("ShowMenu" if "ShowMenu" in names else "Press"))

    def answer_box(self, text_start):
        """Waits for a message box, checks its title and text, presses OK."""
        def shown():
            box = self.find(self.app, self.at.ROLE_ALERT)
            labels = [n.name for n in self.nodes(box) if n.getRole() == self.at.ROLE_LABEL and n.name] if box else []
            return labels and (box, "\n".join(labels))
        box, text = self.wait_for("a message box", shown)
        check(box.name == TITLE and text.startswith(text_start), "box %r says %r" % (box.name, text))
        self.press(self.find(box, self.at.ROLE_PUSH_BUTTON, "OK"))
        self.wait_for("the box to close", lambda: all(
            self.app.getChildAtIndex(i) != box for i in range(self.app.childCount)))
        return text

    def run(self):
        self.answer_box("Can not load the Messenger API Type Library.")
        check(self.answer_box("Important information:").endswith("Note: this will only be shown once."), "notice")
        frame = self.wait_for("the main window", lambda: self.find(self.app, self.at.ROLE_FRAME, TITLE))
        table = self.find(frame, self.at.ROLE_TREE, "Servers").queryTable()
        cells = [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)] for r in range(table.nRows)]
        check(cells == [["loop.example", "127.0.0.1", str(self.server.port), ""],
                        ["(Unknown host)", "127.0.0.1", "1", ""]], "list %r" % cells)

        self.press(self.find(frame, self.at.ROLE_PUSH_BUTTON, "Test Server"))
        check("Rating: " in self.answer_box("Server test finished!"), "report")
        check(self.server.received == PROBE, "the server received %r" % self.server.received)
        dialog = self.find(self.app, self.at.ROLE_DIALOG, "Server Test")
        self.press(self.find(dialog, self.at.ROLE_PUSH_BUTTON, "Close"))

        self.press(self.find(frame, self.at.ROLE_PUSH_BUTTON, "Use this server"))
        path = os.path.join(self.config, "Nexolan", "registry.reg")
        expected = '"Server"="loop.example;127.0.0.1:%d"' % self.server.port
        self.wait_for("the switch in registry.reg", lambda: expected in open(path, encoding="utf-8").read())
        check("[%s]" % KEY in open(path, encoding="utf-8").read(), "registry.reg lacks the Messenger key")

        self.press(self.find(frame, self.at.ROLE_MENU_ITEM, "File"))
        self.press(self.wait_for("File > Exit", lambda: self.find(frame, self.at.ROLE_MENU_ITEM, "Exit")))
        check(self.process.wait(timeout=STEP_TIMEOUT) == 0, "exit status %s" % self.process.returncode)


def inside(binary, work):
    try:
        import pyatspi
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:
        print("SKIP: no AT-SPI: %s" % error)
        return SKIP
    scenario = None
    try:
        scenario = Scenario(binary, work)
        scenario.run()
    except Failure as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        if scenario and scenario.process.poll() is None:
            scenario.process.kill()
    print("PASS: start-up boxes, list, server test, switch on disk, exit")
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--inside":
        sys.exit(inside(sys.argv[2], sys.argv[3]))
    sys.exit(outside(os.path.abspath(sys.argv[1])))
