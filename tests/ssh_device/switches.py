"""Emulated switches behind one test sshd: a device file per switch, written
from the catalog, and a port per switch whose logins run the emulator on it."""
import json
import os
import shutil
import signal
import sys
import tempfile

from ssh_device.device import SWITCHES, device_document
from ssh_device.server import SshServer

EMULATOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "emulator.py")


class EmulatedSwitches:
    """`with EmulatedSwitches(catalog) as lab:` gives `lab.ports[vendor]`,
    `lab.devices[vendor]` (each device file's content), `lab.key_file` and
    `lab.user`; leaving stops sshd and ends any session still running."""

    def __init__(self, catalog, switches=SWITCHES):
        self.catalog = catalog
        self.switches = switches
        self.server = None

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="vantrel-switches-")
        self.sessions = os.path.join(self.folder, "sessions")
        os.mkdir(self.sessions)
        self.devices, commands = {}, {}
        for switch in self.switches:
            document = device_document(self.catalog, switch)
            path = os.path.join(self.folder, switch.vendor + ".json")
            with open(path, "w") as f:
                json.dump(document, f)
            self.devices[switch.vendor] = document
            commands[switch.vendor] = [sys.executable, EMULATOR, path, self.sessions]
        try:
            self.server = SshServer(commands).__enter__()
        except BaseException:
            shutil.rmtree(self.folder, ignore_errors=True)
            raise
        self.ports, self.key_file, self.user = (self.server.ports, self.server.key_file,
                                                self.server.user)
        return self

    def __exit__(self, *exc):
        self.server.__exit__(*exc)
        # sshd's session children outlive it; the emulators they run say who
        # they are, and a process is ended only while it still runs one of ours.
        for name in os.listdir(self.sessions):
            if self.runs_our_emulator(name):
                try:
                    os.kill(int(name), signal.SIGTERM)
                except ProcessLookupError:
                    pass
        shutil.rmtree(self.folder, ignore_errors=True)

    def runs_our_emulator(self, pid):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                arguments = f.read().split(b"\0")
        except OSError:
            return False
        return EMULATOR.encode() in arguments and self.sessions.encode() in arguments
