"""Whole journeys of an installer through the real program, on a virtual
display, against the simulated device; each ends with the device's state."""

import os
import subprocess
import time
import unittest

import pyatspi

from vx8journey import REG, SIM, Device, Program, temp_folder, wait_for

REMEMBERED = (("Software\\VX8config", "Remember", 1),
              ("Software\\VX8config", "AccessCode", "375100"),
              ("Software\\VX8config", "ReadAfterConnect", 1))


class Journey(unittest.TestCase):
    def start(self, generation=2, faults=(), extra=(), values=(), settings=None,
              language="English"):
        self.folder = temp_folder(self)
        self.device = Device(self.folder, generation, faults, extra, settings)
        self.addCleanup(self.device.stop)
        self.ui = Program(os.path.join(self.folder, "profile"), self.device.link, values,
                          language)
        self.addCleanup(self.ui.close)
        self.tr = self.ui.tr

    def wait_label(self, text, timeout=10):
        wait_for("the label " + text, lambda: text in self.ui.labels(), timeout)

    def connect(self, version="Ver: 2.05"):
        self.ui.key("F2")
        self.wait_label(version)
        self.wait_label(self.tr["Connected"])

    def confirm_code(self):
        """The access code dialog, with the code it offers: OK."""
        dialog = self.ui.wait_dialog()
        self.assertEqual(dialog.name, self.tr["AccessCode"])
        self.ui.click_button(dialog, self.tr["OK"])
        self.ui.wait_no_dialog()

    def acknowledge(self, key):
        """A message box saying the text of key: OK."""
        dialog = self.ui.wait_dialog()
        self.assertIn(self.tr[key], " ".join(self.ui.labels(dialog)))
        self.ui.click_button(dialog, "OK")
        self.ui.wait_no_dialog()

    def idle(self):
        # The wait window has gone once the toolbar is usable again.
        button = self.ui.find(self.ui.main, "push button", self.tr["Open"])
        wait_for("the window to be idle",
                 lambda: button.getState().contains(pyatspi.STATE_ENABLED))

    def matrix(self):
        for t in self.ui.find_all(self.ui.main, lambda a: a.getRoleName() == "table"):
            table = t.queryTable()
            if table.nRows == 14 and table.nColumns == 8:
                return table
        raise AssertionError("no matrix on the page")

    def choose_file(self, title, path):
        """A file dialog: the file's path typed, then Enter."""
        dialog = self.ui.wait_dialog()
        self.assertEqual(dialog.name, title)
        time.sleep(0.3)  # the dialog takes the focus
        self.ui.type_keys(path)
        self.ui.press("Return")
        self.ui.wait_no_dialog()

    def read_change_write_and_read_back(self):
        """A first run on a second-generation device, in the program's language."""
        ui, tr = self.ui, self.tr
        self.connect()
        wait_for("the second generation's tree",
                 lambda: ui.find(ui.find(ui.main, "tree"), "table cell", tr["MainTvi"]))
        ui.key("F7")
        self.confirm_code()
        self.idle()
        ui.tree_item(tr["MainTvi"])
        account = ui.field(tr["Account"])
        wait_for("the device's account name", lambda: ui.text_of(account) == "VX8 object")
        ui.click(account)
        ui.press("ctrl+a")
        ui.type_keys("Bakery Main St")
        ui.tree_item(tr["TextSMSReportingTv1"])
        ui.click(self.matrix().getAccessibleAt(0, 1))  # input 1's alarm: call phone 1
        ui.key("F6")
        self.confirm_code()
        self.idle()
        settings = self.device.settings()
        self.assertEqual(settings["100"], "Bakery Main St")
        self.assertEqual(settings["350"], "01000000")

        ui.key("F2")
        self.wait_label(tr["Disconnected"])
        self.connect()
        ui.key("F7")
        self.confirm_code()
        self.idle()
        ui.tree_item(tr["MainTvi"])
        self.assertEqual(ui.text_of(ui.field(tr["Account"])), "Bakery Main St")
        ui.tree_item(tr["TextSMSReportingTv1"])
        self.assertTrue(ui.checked(self.matrix().getAccessibleAt(0, 1)))


class FirstRunV2(Journey):
    def test_read_change_write_and_read_back(self):
        self.start()
        self.read_change_write_and_read_back()


class SettingsFileAndRestore(Journey):
    def test_save_restore_open_write(self):
        configured = {"100": "Shop 7", "010": "4711", "090": "37060012345", "300": "Door",
                      "351": "10100000", "027": "05"}
        self.start(values=REMEMBERED, settings=configured)
        ui, tr = self.ui, self.tr
        self.connect()  # reads at once with the remembered code
        self.idle()
        before = self.device.settings()
        saved = os.path.join(self.folder, "shop.qst")
        ui.key("F5")
        self.choose_file("Save settings", saved)
        with open(saved, "rb") as f:
            self.assertIn(b"\r\n100Shop 7\r\n", f.read())

        ui.key("F11")
        question = ui.wait_dialog()
        self.assertIn(tr["ConfirmReset"], " ".join(ui.labels(question)))
        ui.click_button(question, "Yes")
        ui.wait_no_dialog()
        wait_for("the factory settings", lambda: self.device.settings()["100"] == "VX8 object")
        self.idle()

        ui.key("F3")
        self.choose_file("Load settings", saved)
        ui.key("F6")
        self.idle()
        wait_for("the saved settings in the device",
                 lambda: self.device.settings()["100"] == "Shop 7")
        self.assertEqual(self.device.settings(), before)


class FirstGeneration(Journey):
    def test_phones_and_texts(self):
        self.start(generation=1, values=REMEMBERED)
        ui, tr = self.ui, self.tr
        self.connect("Ver: 1.07")
        self.idle()
        tables = ui.find_all(ui.main, lambda a: a.getRoleName() == "table")
        phones = next(t for t in tables if t.queryTable().nRows == 4).queryTable()
        texts = next(t for t in tables if t.queryTable().nRows == 6).queryTable()
        ui.click(phones.getAccessibleAt(1, 1), double=True)  # phone 2's number
        ui.type_keys("+37060054321")
        ui.press("Return")
        ui.click(phones.getAccessibleAt(1, 5))  # its report to T4 off
        ui.click(texts.getAccessibleAt(2, 1), double=True)  # the third alarm text
        ui.press("ctrl+a")
        ui.type_keys("Fire, kitchen")
        ui.press("Return")
        ui.key("F6")
        self.idle()
        wait_for("the written phone", lambda: self.device.settings()["091"] == "37060054321")
        settings = self.device.settings()
        self.assertEqual(settings["095"], "0111")
        self.assertEqual(settings["302"], "Fire, kitchen")
        self.assertEqual(settings["300"], "Alarm 1")


class Firmware(Journey):
    def test_upload(self):
        self.start(values=REMEMBERED, extra=("--delay", "60"))
        ui, tr = self.ui, self.tr
        image = os.path.join(self.folder, "VX8-2.06.prg")
        subprocess.run([SIM, "--make-firmware", image + ":16", "--version-line", "02.06"],
                       check=True, capture_output=True)
        self.connect()
        self.idle()
        ui.tree_item(tr["FirmwareTvi"])
        ui.click_button(ui.main, tr["BrowseFirmFile"])
        self.choose_file("Open", image)
        gauge = ui.find(ui.main, "progress bar")
        ui.key("F9")
        seen = set()
        while ui.dialog() is None:
            seen.add(int(gauge.queryValue().currentValue))
            time.sleep(0.05)
        self.assertTrue(any(0 < v < 16 for v in seen), seen)  # the gauge moved
        self.acknowledge("FirmwareWritten")
        self.assertEqual(int(gauge.queryValue().currentValue), 16)
        self.assertEqual(self.device.state()["version"], "2.06")
        ui.key("F2")
        self.wait_label(tr["Disconnected"])
        self.connect("Ver: 2.06")


class Faults(Journey):
    def test_the_device_aborts_a_read(self):
        # Request 1 is the status, 2 the read after connecting.
        self.start(values=REMEMBERED, faults=("abort:2",))
        ui, tr = self.ui, self.tr
        ui.key("F2")
        self.acknowledge("AbortReceived")
        self.wait_label(tr["Disconnected"])
        self.connect()  # the program is responsive, and the next connect works
        self.idle()
        ui.tree_item(tr["MainTvi"])
        self.assertEqual(ui.text_of(ui.field(tr["Account"])), "VX8 object")

    def test_the_port_vanishes_while_connected(self):
        # Connecting takes requests 1 to 8 (status, then a read of six packets);
        # the next read finds the port gone.
        self.start(values=REMEMBERED, faults=("vanish:9",))
        ui, tr = self.ui, self.tr
        self.connect()
        self.idle()
        ui.key("F7")
        self.acknowledge("NoConnectionToObject")
        self.wait_label(tr["Disconnected"])
        wait_for("the port to come back", lambda: os.path.islink(self.device.link))
        self.connect()
        self.idle()
        self.assertEqual(self.device.settings()["100"], "VX8 object")


class German(Journey):
    def test_the_language_chosen_stays_and_the_first_run_works(self):
        self.start()
        ui = self.ui
        ui.tree_item(self.tr["SettingsTvi"])
        ui.click(ui.field(self.tr["Language"], "combo box"))
        item = wait_for("the language list",
                        lambda: ui.find_all(ui.app, lambda a: a.name == "Deutsch" and
                                            a.getRoleName() == "list item", limit=1))
        ui.click(item[0])
        wait_for("the German window", lambda: "Verbinden" in [
            a.name for a in ui.find_all(ui.main, lambda a: a.getRoleName() == "push button")])
        ui.menu("Datei", "Beenden")
        ui.process.wait(10)
        registry = os.path.join(self.folder, "profile", "VX8config", "registry.reg")
        language = subprocess.run([REG, "--file", registry, "get", "Software\\Selvane",
                                   "Language"], capture_output=True, text=True).stdout.strip()
        self.assertEqual(language, "Deutsch")

        # After a restart the program speaks German, and a first run works in it.
        self.ui = Program(os.path.join(self.folder, "profile"), language="Deutsch")
        self.addCleanup(self.ui.close)
        self.tr = self.ui.tr
        self.assertIn(self.tr["ConnectDisconnect"],
                      [b.name for b in self.ui.find_all(self.ui.main,
                                                        lambda a: a.getRoleName() ==
                                                        "push button")])
        self.read_change_write_and_read_back()


if __name__ == "__main__":
    unittest.main()
