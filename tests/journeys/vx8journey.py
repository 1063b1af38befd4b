"""What the journeys need: the simulated device and the program as separate
processes on a virtual display, real key and mouse events (xdotool), and what
the window shows read through the accessibility interface (AT-SPI)."""

import json
import os
import shutil
import subprocess
import tempfile
import time

import pyatspi

BUILD = os.environ.get("VX8_BUILD_DIR", os.path.join(os.path.dirname(__file__), "../../build"))
PROGRAM = os.path.join(BUILD, "app", "VX8config")
SIM = os.path.join(BUILD, "sim", "vx8sim")
REG = os.path.join(BUILD, "tools", "vx8reg")


def texts(language):
    """The program's texts of one language, by key, from the language sources."""
    result = {}
    source = os.path.join(os.path.dirname(__file__), "../../lang", language + ".lang")
    with open(source, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith(("#", "@")) and "=" in line:
                key, text = line.split("=", 1)
                result.setdefault(key, text.replace("\\n", "\n"))
    return result


def wait_for(what, predicate, timeout=10.0, interval=0.05):
    """Polls predicate until it gives a true value, which it returns."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout


class Device:
    """vx8sim on a pseudo-terminal; its state file is the truth of what was written."""

    def __init__(self, folder, generation=2, faults=(), extra=(), settings=None):
        self.link = os.path.join(folder, "ttyVX8")
        self.state_file = os.path.join(folder, "device.json")
        if settings:
            # A device configured before: its factory state, changed.
            Device(folder, generation).stop()
            state = self.state()
            state["settings"].update(settings)
            with open(self.state_file, "w", encoding="latin-1") as f:
                json.dump(state, f)
        args = [SIM, "--link", self.link, "--generation", str(generation), "--state",
                self.state_file, "--quiet", *extra]
        for fault in faults:
            args += ["--fault", fault]
        self.process = subprocess.Popen(args)
        wait_for("the simulated device", lambda: os.path.islink(self.link))

    def state(self):
        with open(self.state_file, encoding="latin-1") as f:
            return json.load(f)

    def settings(self):
        return self.state()["settings"]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(5)


class Program:
    """VX8config with a private profile, driven as a user drives it."""

    def __init__(self, profile, port=None, values=(), language="English"):
        self.profile = profile
        self.tr = texts(language)
        registry = os.path.join(profile, "VX8config", "registry.reg")
        if port:
            self.set_string("Software\\VX8config\\MainComport", "Port", port)
        for key, name, value in values:
            if isinstance(value, int):
                subprocess.run([REG, "--file", registry, "set-number", key, name, str(value)],
                               check=True)
            else:
                self.set_string(key, name, value)
        self.start()

    def set_string(self, key, name, value):
        registry = os.path.join(self.profile, "VX8config", "registry.reg")
        subprocess.run([REG, "--file", registry, "set", key, name, value], check=True)

    def start(self):
        env = dict(os.environ, XDG_CONFIG_HOME=self.profile, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        self.process = subprocess.Popen([PROGRAM], env=env, stderr=subprocess.DEVNULL)
        self.app = wait_for("the program's accessibility", self._find_app, timeout=20)
        self.main = wait_for("the main window", lambda: self.window(self.tr["MainForm"]),
                            timeout=20)
        self.wid = wait_for("the main window on the display",
                            lambda: xdotool("search", "--onlyvisible", "--pid",
                                            self.process.pid).split(), timeout=10)[0]

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                pass
        return None

    # ---- windows and what they show

    def windows(self):
        result = []
        for i in range(self.app.childCount):
            w = self.app.getChildAtIndex(i)
            if w and w.getState().contains(pyatspi.STATE_SHOWING):
                result.append(w)
        return result

    def window(self, name):
        for w in self.windows():
            if w.name == name:
                return w
        return None

    def dialog(self):
        """The modal window above the main window (a message box, the access
        code dialog, a question, a file dialog), or None."""
        for w in self.windows():
            if w.getRoleName() in ("dialog", "alert", "file chooser"):
                return w
        return None

    def wait_dialog(self, timeout=10):
        return wait_for("a dialog", self.dialog, timeout)

    def wait_no_dialog(self, timeout=10):
        wait_for("the dialog to close", lambda: self.dialog() is None, timeout)

    def wait_dialog_text(self, timeout=10):
        """Waits for a dialog and gives the texts of its labels, joined."""
        return " ".join(self.labels(self.wait_dialog(timeout)))

    @staticmethod
    def find_all(root, predicate, showing=True, limit=None):
        found = []

        def walk(acc):
            if limit and len(found) >= limit:
                return
            try:
                if showing and not acc.getState().contains(pyatspi.STATE_SHOWING):
                    return
                if predicate(acc):
                    found.append(acc)
                for i in range(acc.childCount):
                    walk(acc.getChildAtIndex(i))
            except Exception:
                pass

        walk(root)
        return found

    def find(self, root, role, name=None):
        hits = self.find_all(root, lambda a: a.getRoleName() == role and (
            name is None or a.name == name), limit=1)
        return hits[0] if hits else None

    def labels(self, root=None):
        return [a.name for a in self.find_all(root or self.main,
                                              lambda a: a.getRoleName() == "label")]

    def text_of(self, acc):
        try:
            return acc.queryText().getText(0, -1)
        except Exception:
            return acc.name

    def field(self, name, role="text"):
        """A field by its name, or by the caption labelling it."""
        def lookup():
            hit = self.find(self.main, role, name)
            if hit:
                return hit
            label = self.find(self.main, "label", name)
            if label:
                for relation in label.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
                        return relation.getTarget(0)
            return None
        return wait_for("the field " + name, lookup)

    def checked(self, acc):
        return acc.getState().contains(pyatspi.STATE_CHECKED)

    # ---- input

    def focus(self):
        xdotool("windowfocus", "--sync", self.wid)

    def key(self, *keys):
        """Keys to the main window, typed as the user types them."""
        self.focus()
        xdotool("key", "--delay", 30, *keys)

    def type_keys(self, text):
        xdotool("type", "--delay", 20, text)

    def press(self, *keys):
        """Keys to whatever window has the focus (a dialog)."""
        xdotool("key", "--delay", 30, *keys)

    def click(self, acc, double=False):
        x, y, w, h = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdotool("mousemove", x + w // 2, y + h // 2, "click", "--repeat",
                2 if double else 1, 1)

    def click_button(self, root, name):
        self.click(wait_for("the button " + name, lambda: self.find(root, "push button", name)))

    def tree_item(self, name):
        tree = self.find(self.main, "tree")
        self.click(wait_for("the tree item " + name,
                            lambda: self.find(tree, "table cell", name)))

    def menu(self, *path):
        """Opens a menu of the menu bar and picks an item, with the mouse."""
        bar = self.find(self.main, "menu bar")
        item = wait_for("the menu " + path[0], lambda: self.find(bar, "menu item", path[0]))
        self.click(item)
        for name in path[1:]:
            entry = wait_for("the menu item " + name,
                             lambda: self.find_all(self.app, lambda a: a.name == name and
                                                   a.getRoleName() == "menu item",
                                                   limit=1))
            self.click(entry[0])

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)


def temp_folder(test):
    folder = tempfile.mkdtemp(prefix="vx8-journey-")
    test.addCleanup(shutil.rmtree, folder, True)
    return folder
