#!/usr/bin/python3
"""End-to-end run of the real Nexolan program, driven over AT-SPI.

    nexolan_e2e.py PATH/TO/nexolan

The program runs unchanged (its own start-up and the Linux platform layer:
real message boxes, the registry file and the INI file in
$XDG_CONFIG_HOME/Nexolan) on a virtual X display (xvfb-run) with its own D-Bus
session and accessibility bus (dbus-run-session). This script is the user: it
finds the windows, reads the list cells, the status text, the details text and
the message box texts, and presses buttons and menu items, all through the
AT-SPI interfaces a screen reader uses. The one key press (Down, to move to the
next row) goes through the AT-SPI device event controller as well.

The servers are on loopback only: a fake Messenger server on 127.0.0.1 (an
ephemeral port) that records what it receives and answers the version
handshake, and a loopback port nobody listens on.

Exit status: 0 passed, 1 failed, 77 skipped (no virtual display, D-Bus or
AT-SPI stack on this machine). Every wait is bounded; the program and the
display and bus helpers are stopped at the end, also on failure.
"""

import configparser
import importlib
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
TOTAL_TIMEOUT = 100.0   # seconds for everything, display and bus included
STEP_TIMEOUT = 15.0     # seconds for one window, box or state to appear
EXIT_TIMEOUT = 10.0     # seconds for the program to end after File > Exit
DISPLAY_ATTEMPTS = 3    # xvfb-run -a may race another display for a number

TITLE = "Nexolan - By Torvik"
API_BOX = ("Can not load the Messenger API Type Library. "
           "If you are on Windows XP, this could be the reason.")
NOTICE_LINES = [
    "Important information:",
    "",
    "Sorry for the grimhal links... I need them, really!",
    None,  # the credit line: any words
    "I didn't add the 'Test List' option, because there is a limit of connections (check netstat).",
    "It uses RegRead and RegWrite functions of the Shell object, so don't be afraid when Norton gives you a warning.",
    "",
    "I screwed my NAV 2k3 so I hope you like it! :P ",
    "",
    "Note: this will only be shown once.",
]
PROBE = b"VER 2 MSNP10 MSNP9 CVR0\r\n"
REPLY = b"VER 2 MSNP10\r\n"
MARKER = "(Currently Using)"
NUMBER = r"-?[0-9]+(?:[.,][0-9]+)?(?:[eE][-+]?[0-9]+)?"
REPORT = re.compile(
    r"Server test finished!\n"
    r"={20}\n"
    r"Connection time: (%s) seconds\n"
    r"Response time: (%s) seconds\.\n"
    r"Rating: (Very good|Good|Normal|Poor|Bad)" % (NUMBER, NUMBER))


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def log(text):
    print(text, flush=True)


def check(condition, what):
    if not condition:
        raise Failure(what)


def lines(text):
    """A box, a label or the details box shows each CR LF as one line break."""
    return text.replace("\r\n", "\n")


# --------------------------------------------------------------------------
# Outside: the display and the buses.
# --------------------------------------------------------------------------

def importable(name):
    try:
        importlib.import_module(name)
        return True
    except ImportError:
        return False


def outside(binary):
    if not os.access(binary, os.X_OK):
        log("FAIL: no program at %s" % binary)
        return 1
    missing = [tool for tool in ("xvfb-run", "Xvfb", "xauth", "dbus-run-session") if not shutil.which(tool)]
    if missing:
        log("SKIP: not installed: %s (make test installs them)" % " ".join(missing))
        return SKIP
    if not all(importable(name) for name in ("pyatspi", "gi")):
        log("SKIP: python3-pyatspi is not installed for %s (make test installs it)" % sys.executable)
        return SKIP
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher") and not shutil.which("at-spi-bus-launcher"):
        log("SKIP: at-spi2-core is not installed (make test installs it)")
        return SKIP

    deadline = time.monotonic() + TOTAL_TIMEOUT
    with tempfile.TemporaryDirectory(prefix="nexolan-e2e-") as work:
        started = os.path.join(work, "started")
        for attempt in range(1, DISPLAY_ATTEMPTS + 1):
            # The display first, the session bus inside it: the accessibility
            # bus and its registry, started by the session bus, then know the
            # display and can send key presses to it.
            command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -nolisten tcp",
                       "dbus-run-session", "--",
                       sys.executable, os.path.abspath(__file__), "--inside", binary, work]
            process = subprocess.Popen(command, start_new_session=True)
            try:
                status = process.wait(timeout=max(1.0, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                log("FAIL: the run took more than %.0f s; stopped" % TOTAL_TIMEOUT)
                status = 1
            finally:
                stop_group(process)
            if os.path.exists(started) or status in (0, SKIP):
                return status
            log("the virtual display did not start (attempt %d, status %s)" % (attempt, status))
            if time.monotonic() > deadline - 20:
                break
            time.sleep(1)
        log("SKIP: no virtual X display could be started")
        return SKIP


def stop_group(process):
    """Ends whatever the run left in its process group: X server, buses, program."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            return
        try:
            process.wait(timeout=3)
        except subprocess.TimeoutExpired:
            pass
        time.sleep(0.2)


# --------------------------------------------------------------------------
# The fake Messenger server.
# --------------------------------------------------------------------------

class FakeServer:
    """Accepts connections on 127.0.0.1, records every byte each one sends
    until it closes, and answers the first full line with the version reply."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(8)
        self.sock.settimeout(0.2)
        self.port = self.sock.getsockname()[1]
        self.connections = []  # bytes received, one entry per closed connection
        self.lock = threading.Lock()
        self.stopping = False
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while not self.stopping:
            try:
                conn, _ = self.sock.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            threading.Thread(target=self.talk, args=(conn,), daemon=True).start()

    def talk(self, conn):
        received = b""
        answered = False
        conn.settimeout(STEP_TIMEOUT)
        try:
            while True:
                data = conn.recv(4096)
                if not data:
                    break
                received += data
                if not answered and b"\r\n" in received:
                    conn.sendall(REPLY)
                    answered = True
        except OSError:
            pass
        finally:
            conn.close()
            with self.lock:
                self.connections.append(received)

    def received(self):
        with self.lock:
            return list(self.connections)

    def stop(self):
        self.stopping = True
        self.sock.close()


def closed_port():
    """A loopback port with nobody listening."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


# --------------------------------------------------------------------------
# Inside: the scenario.
# --------------------------------------------------------------------------

def inside(binary, work):
    open(os.path.join(work, "started"), "w").close()
    try:
        import pyatspi  # noqa: F401
    except Exception as error:  # a broken GI stack is as good as none
        log("SKIP: pyatspi does not load: %s" % error)
        return SKIP
    scenario = Scenario(binary, work)
    try:
        scenario.run()
    except Skip as reason:
        log("SKIP: %s" % reason)
        return SKIP
    except Failure as error:
        log("FAIL: %s" % error)
        return 1
    finally:
        scenario.cleanup()
    log("PASS")
    return 0


class Scenario:
    def __init__(self, binary, work):
        import pyatspi
        self.at = pyatspi
        self.work = work
        self.deadline = time.monotonic() + TOTAL_TIMEOUT - 10
        self.process = None
        self.server = FakeServer()
        self.closed = closed_port()
        self.timings = []

        # The program and its data file, side by side in a folder of their own.
        self.appdir = os.path.join(work, "app")
        os.mkdir(self.appdir)
        self.binary = os.path.join(self.appdir, "nexolan")
        shutil.copy2(binary, self.binary)
        self.rows = [
            ["fake.example", "127.0.0.1", str(self.server.port)],
            ["closed.example", "127.0.0.1", str(self.closed)],
            ["(Unknown host)", "127.0.0.1", "1"],
        ]
        with open(os.path.join(self.appdir, "nexolan.dat"), "wb") as data:
            data.write(b"fake.example;127.0.0.1;%d\r\n" % self.server.port)
            data.write(b"closed.example;127.0.0.1;%d\r\n" % self.closed)
            data.write(b";127.0.0.1;1\r\n")

        self.config = os.path.join(work, "config")
        self.runtime = os.path.join(work, "runtime")
        os.mkdir(self.config)
        os.mkdir(self.runtime, 0o700)
        self.env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "NO_AT_BRIDGE", "QT_ACCESSIBILITY"):
            self.env.pop(name, None)
        self.env.update({
            "XDG_CONFIG_HOME": self.config,
            "XDG_CACHE_HOME": os.path.join(work, "cache"),
            "XDG_RUNTIME_DIR": self.runtime,
            "QT_QPA_PLATFORM": "xcb",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        })

    # -- time and waiting ---------------------------------------------------

    def wait_for(self, what, probe, timeout=STEP_TIMEOUT):
        """Polls probe() until it gives something true; a probe that raises
        (a window closing under it) counts as not yet."""
        end = min(time.monotonic() + timeout, self.deadline)
        last_error = None
        while True:
            try:
                value = probe()
                if value:
                    return value
            except Failure:
                raise
            except Exception as error:
                last_error = error
            if self.process is not None and self.process.poll() is not None:
                raise Failure("the program ended (status %s) while waiting for %s"
                              % (self.process.returncode, what))
            if time.monotonic() > end:
                detail = " (last error: %s)" % last_error if last_error else ""
                raise Failure("no %s within %.0f s%s" % (what, timeout, detail))
            time.sleep(0.05)

    def timed(self, name, step):
        start = time.monotonic()
        result = step()
        self.timings.append((name, time.monotonic() - start))
        return result

    # -- the program ----------------------------------------------------------

    def start(self):
        self.process = subprocess.Popen([self.binary], env=self.env, cwd=self.work)
        self.app = self.wait_for("program on the accessibility bus", self.find_app)

    def find_app(self):
        desktop = self.at.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def wait_exit(self):
        try:
            return self.process.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %.0f s" % EXIT_TIMEOUT)

    def cleanup(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=5)
        self.server.stop()

    # -- reading the accessible tree ---------------------------------------------

    def windows(self, role=None, name=None):
        found = []
        for index in range(self.app.childCount):
            window = self.app.getChildAtIndex(index)
            if window is None:
                continue
            if role is not None and window.getRole() != role:
                continue
            if name is not None and window.name != name:
                continue
            found.append(window)
        return found

    def window(self, role, name):
        return self.wait_for("%s %r" % (role_name(role), name), lambda: (self.windows(role, name) or [None])[0])

    def descendants(self, root):
        for index in range(root.childCount):
            child = root.getChildAtIndex(index)
            if child is None:
                continue
            yield child
            yield from self.descendants(child)

    def find(self, root, role, name=None):
        for node in self.descendants(root):
            if node.getRole() == role and (name is None or node.name == name):
                return node
        return None

    def need(self, root, role, name=None):
        node = self.find(root, role, name)
        check(node is not None, "%r has no %s named %r" % (root.name, role_name(role), name))
        return node

    def text(self, node):
        return node.queryText().getText(0, -1)

    def act(self, node, action):
        """Runs an accessible action (Press, ShowMenu...) by its name."""
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        check(action in names, "%r offers no %s action (it offers %s)" % (node.name, action, names))
        actions.doAction(names.index(action))

    def press(self, node):
        self.act(node, "Press")

    def alert(self):
        """The message box on screen: (box, its text)."""
        def shown():
            for box in self.windows(self.at.ROLE_ALERT):
                labels = [node.name for node in self.descendants(box)
                          if node.getRole() == self.at.ROLE_LABEL and node.name]
                if labels:
                    return box, lines("\n".join(labels))
            return None
        return self.wait_for("message box", shown)

    def answer(self, box):
        check(box.name == TITLE, "message box title %r, expected %r" % (box.name, TITLE))
        buttons = [node.name for node in self.descendants(box) if node.getRole() == self.at.ROLE_PUSH_BUTTON]
        check(buttons == ["OK"], "message box buttons %r, expected OK alone" % buttons)
        self.close_with(box, self.need(box, self.at.ROLE_PUSH_BUTTON, "OK"), "message box")

    def is_open(self, window):
        return any(window == other for other in self.windows())

    def close_with(self, window, button, what):
        check(self.is_open(window), "%r is not among the program's windows" % window.name)
        self.press(button)
        self.wait_for("%s to close" % what, lambda: not self.is_open(window))

    def unnamed(self, root, skip_roles=()):
        """Controls without an accessible name. Containers, the scroll bars
        of a text box and list cells (whose name is their text, empty or not)
        need none."""
        at = self.at
        exempt = {at.ROLE_FILLER, at.ROLE_PANEL, at.ROLE_SCROLL_BAR, at.ROLE_MENU_BAR, at.ROLE_POPUP_MENU,
                  at.ROLE_TABLE_CELL, at.ROLE_SEPARATOR} | set(skip_roles)
        return ["%s in %r" % (role_name(node.getRole()), root.name)
                for node in self.descendants(root)
                if node.getRole() not in exempt and not node.name]

    # -- the main window ------------------------------------------------------------

    def main_window(self):
        return self.window(self.at.ROLE_FRAME, TITLE)

    def list_cells(self, frame):
        table = self.need(frame, self.at.ROLE_TREE, "Servers").queryTable()
        return [[table.getAccessibleAt(row, column).name for column in range(table.nColumns)]
                for row in range(table.nRows)]

    def selected_rows(self, frame):
        return list(self.need(frame, self.at.ROLE_TREE, "Servers").queryTable().getSelectedRows())

    def details(self, frame):
        return lines(self.text(self.need(frame, self.at.ROLE_TEXT, "Server details")))

    def expected_details(self, row):
        host, ip, port = self.rows[row]
        return "Host name: %s\nIP Address: %s\nPort: %s" % (host, ip, port)

    def status_text(self, frame):
        bar = self.need(frame, self.at.ROLE_STATUS_BAR)
        texts = [node.name for node in self.descendants(bar) if node.getRole() == self.at.ROLE_LABEL]
        return " ".join(texts)

    def wait_details(self, frame, row):
        expected = self.expected_details(row)
        self.wait_for("details of row %d in the details box" % row, lambda: self.details(frame) == expected)

    def expect_marks(self, frame, marked):
        expected = [MARKER if row == marked else "" for row in range(len(self.rows))]
        self.wait_for("status column %r" % expected,
                      lambda: [cells[3] for cells in self.list_cells(frame)] == expected)

    def menu(self, frame, menu_name, item_name):
        self.act(self.need(frame, self.at.ROLE_MENU_ITEM, menu_name), "ShowMenu")
        item = self.wait_for("menu item %r" % item_name,
                             lambda: self.find(frame, self.at.ROLE_MENU_ITEM, item_name))
        self.press(item)

    # -- the steps ---------------------------------------------------------------

    def run(self):
        try:
            self.at.Registry.getDesktop(0).childCount
        except Exception as error:
            raise Skip("the AT-SPI registry does not answer: %s" % error)

        log("data file: fake server on 127.0.0.1:%d, closed port 127.0.0.1:%d" % (self.server.port, self.closed))
        self.timed("first start to the main window", self.first_start)
        self.timed("Test Server on the fake server", self.test_fake_server)
        self.timed("Down to the second row", self.next_row)
        self.timed("Test Server on the closed port", self.test_closed_port)
        self.timed("Use this server", self.use_server)
        self.timed("About box", self.about_box)
        self.timed("File > Exit", self.exit_program)
        self.timed("second start, marked row, Exit", self.second_start)
        for name, seconds in self.timings:
            log("  %-34s %6.2f s" % (name, seconds))

    def first_start(self):
        self.start()
        box, text = self.alert()
        check(text == API_BOX, "first box says %r, expected the Messenger API box" % text)
        self.answer(box)

        box, text = self.alert()
        got = text.split("\n")
        check(len(got) == len(NOTICE_LINES), "the notice has %d lines, expected 10: %r" % (len(got), text))
        for number, (line, expected) in enumerate(zip(got, NOTICE_LINES), 1):
            if expected is None:
                check(line.strip(), "line %d of the notice (the credit line) is empty" % number)
            else:
                check(line == expected, "line %d of the notice is %r, expected %r" % (number, line, expected))
        self.answer(box)
        log("start-up boxes: Messenger API box, then the notice; both answered")

        frame = self.main_window()
        self.frame = frame
        cells = self.wait_for("three rows in the list", lambda: len(self.list_cells(frame)) == 3 and self.list_cells(frame))
        check(cells == [row + [""] for row in self.rows], "list cells %r" % cells)
        table = self.need(frame, self.at.ROLE_TREE, "Servers").queryTable()
        headers = [table.getColumnHeader(column).name for column in range(table.nColumns)]
        check(headers[:3] == ["Host Name", "Host IP", "Port"], "column headers %r" % headers)
        check(self.status_text(frame) == "3 items in database.",
              "status text %r, expected '3 items in database.'" % self.status_text(frame))
        self.wait_details(frame, 0)
        check(self.selected_rows(frame) == [0], "selected rows %r, expected the first" % self.selected_rows(frame))
        for name in ("Test Server", "Use this server"):
            self.need(frame, self.at.ROLE_PUSH_BUTTON, name)
        for name in ("File", "Exit", "Help", "About..."):
            self.need(frame, self.at.ROLE_MENU_ITEM, name)
        unnamed = self.unnamed(frame)
        check(not unnamed, "controls without an accessible name: %s" % unnamed)
        check(self.launch_counter() == "1", "launch counter %r after the first start" % self.launch_counter())
        log("main window: %d rows, %r, details of the first row; every control named" % (len(cells), self.status_text(frame)))

    def launch_counter(self):
        parser = configparser.ConfigParser()
        parser.read(os.path.join(self.config, "Nexolan", "Nexolan.ini"))
        return parser.get("Main", "Opened", fallback=None)

    def test_dialog(self):
        dialog = self.window(self.at.ROLE_DIALOG, "Server Test")
        unnamed = self.unnamed(dialog)
        check(not unnamed, "controls without an accessible name: %s" % unnamed)
        return dialog

    def dialog_boxes(self, dialog):
        return [self.text(self.need(dialog, self.at.ROLE_TEXT, name)) for name in ("Host name", "IP address", "Port")]

    def dialog_labels(self, dialog):
        return [node.name for node in self.descendants(dialog) if node.getRole() == self.at.ROLE_LABEL]

    def close_dialog(self, dialog):
        self.close_with(dialog, self.need(dialog, self.at.ROLE_PUSH_BUTTON, "Close"), "test dialog")

    def test_fake_server(self):
        frame = self.frame
        self.press(self.need(frame, self.at.ROLE_PUSH_BUTTON, "Test Server"))
        dialog = self.test_dialog()
        check(self.dialog_boxes(dialog) == self.rows[0], "test dialog boxes %r" % self.dialog_boxes(dialog))

        box, text = self.alert()
        match = REPORT.fullmatch(text)
        check(match, "report box says %r" % text)
        log("report: %s" % text.replace("\n", " | "))
        received = self.wait_for("connection to close at the fake server", self.server.received)
        check(received == [PROBE], "the fake server received %r, expected exactly %r" % (received, PROBE))
        labels = self.dialog_labels(dialog)
        check(labels.count("Finished!") == 2, "dialog labels %r, expected 'Finished!' twice" % labels)
        progress = self.need(dialog, self.at.ROLE_PROGRESS_BAR).queryValue()
        check(progress.currentValue == progress.maximumValue == 3,
              "progress %s of %s, expected full (3)" % (progress.currentValue, progress.maximumValue))
        self.answer(box)

        check(self.is_open(dialog), "the test dialog closed with the report box")
        self.close_dialog(dialog)
        self.wait_details(frame, 0)
        log("Test Server: the server got %r, the report box, Close" % PROBE)

    def next_row(self):
        frame = self.frame
        # The list has the keyboard focus after start-up and after a dialog;
        # Down selects the next row, as it does for a user at the keyboard.
        # Without a window manager the keys go to the window under the
        # pointer: put it there.
        tree = self.need(frame, self.at.ROLE_TREE, "Servers")
        box = tree.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        check(box.width > 0 and box.height > 0, "the list has no place on the screen: %s" % (box,))
        self.at.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height - 5, "abs")
        self.at.Registry.generateKeyboardEvent(0xff54, None, self.at.KEY_SYM)  # XK_Down
        self.wait_details(frame, 1)
        check(self.selected_rows(frame) == [1], "selected rows %r, expected the second" % self.selected_rows(frame))
        log("Down: the second row is selected, the details box shows it")

    def test_closed_port(self):
        frame = self.frame
        self.press(self.need(frame, self.at.ROLE_PUSH_BUTTON, "Test Server"))
        dialog = self.test_dialog()
        check(self.dialog_boxes(dialog) == self.rows[1], "test dialog boxes %r" % self.dialog_boxes(dialog))
        labels = self.wait_for("an error in the test dialog",
                               lambda: any(name.startswith("Error (") for name in self.dialog_labels(dialog))
                               and self.dialog_labels(dialog))
        error = [name for name in labels if name.startswith("Error (")][0]
        check(error.endswith(")") and len(error) > len("Error ()"), "error label %r" % error)
        check("Connecting..." in labels, "dialog labels %r, expected 'Connecting...' beside the error" % labels)
        check(not self.windows(self.at.ROLE_ALERT), "a box was shown for a refused connection")
        self.close_dialog(dialog)
        self.wait_details(frame, 1)
        check(len(self.server.received()) == 1, "the fake server was contacted again")
        log("Test Server on a closed port: %r" % error)

    def use_server(self):
        frame = self.frame
        self.press(self.need(frame, self.at.ROLE_PUSH_BUTTON, "Use this server"))
        self.expect_marks(frame, 1)
        expected = "closed.example;127.0.0.1:%d" % self.closed
        path = os.path.join(self.config, "Nexolan", "registry.reg")
        self.wait_for("Server value in %s" % path, lambda: registry_value(
            path, r"HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger", "Server") == expected)
        check(self.details(frame) == self.expected_details(1), "the switch changed the details box")
        check(self.selected_rows(frame) == [1], "the switch changed the selection")
        check(not self.windows(self.at.ROLE_ALERT), "the switch showed a box")
        log("Use this server: registry.reg holds \"Server\"=\"%s\", the row shows %s" % (expected, MARKER))

    def about_box(self):
        frame = self.frame
        self.menu(frame, "Help", "About...")
        about = self.window(self.at.ROLE_DIALOG, "About Nexolan...")
        unnamed = self.unnamed(about)
        check(not unnamed, "controls without an accessible name: %s" % unnamed)
        self.need(about, self.at.ROLE_LABEL, "Nexolan")
        self.close_with(about, self.need(about, self.at.ROLE_PUSH_BUTTON, "Close"), "About box")
        self.wait_details(frame, 1)
        log("About box: every control named, Close pressed")

    def exit_program(self):
        self.menu(self.frame, "File", "Exit")
        status = self.wait_exit()
        check(status == 0, "the program ended with status %s after File > Exit" % status)
        log("File > Exit: status 0")

    def second_start(self):
        self.start()
        box, text = self.alert()
        check(text == API_BOX, "first box of the second start says %r" % text)
        self.answer(box)
        # The next window is the main window: no notice this time.
        def next_window():
            if self.windows(self.at.ROLE_ALERT):
                raise Failure("a second box at the second start: %r" % self.alert()[1])
            return self.windows(self.at.ROLE_FRAME, TITLE)
        frame = self.wait_for("main window", next_window)[0]
        self.frame = frame
        self.expect_marks(frame, 1)
        self.wait_details(frame, 0)
        check(self.launch_counter() == "2", "launch counter %r after the second start" % self.launch_counter())
        log("second start: no notice, the switched row is marked, counter 2")
        self.exit_program()


def role_name(role):
    from gi.repository import Atspi
    return Atspi.role_get_name(role)


def registry_value(path, key, name):
    """One string value of a registry export file, or None."""
    try:
        with open(path, encoding="utf-8-sig") as reg:
            text = reg.read()
    except OSError:
        return None
    section = None
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif section == key:
            match = re.fullmatch(r'"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"', line)
            if match and match.group(1) == name:
                return re.sub(r"\\(.)", r"\1", match.group(2))
    return None


def main(argv):
    if len(argv) == 4 and argv[1] == "--inside":
        return inside(argv[2], argv[3])
    if len(argv) != 2:
        print(__doc__)
        return 2
    return outside(os.path.abspath(argv[1]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
