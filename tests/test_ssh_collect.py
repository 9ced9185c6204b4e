"""examples/collect.py run as a user runs it, through real SSH sessions:
emulated IOS, EOS and Junos switches behind a test OpenSSH server on
loopback, logged in to with a key made for the run."""
import csv
import io
import json
import os
import subprocess
import sys
import time
import unittest

import orvane_vantrel as ov
from ssh_device import server
from ssh_device.device import SWITCHES
from ssh_device.switches import EmulatedSwitches

try:
    import netmiko
except ImportError:
    netmiko = None

COLLECT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                       "examples", "collect.py")
RUN_SECONDS = 60  # for every collector run together
# No test sshd listens on this loopback address: its SSH port is closed.
CLOSED_HOST = "127.0.0.2"
# What each switch answers when told to configure an interface it lacks.
MISSING_INTERFACE = {
    "cisco_ios": ("GigabitEthernet1/0/99", ["% Invalid input detected at '^' marker."]),
    "cisco_nxos": ("Ethernet1/99", ["% Invalid interface format at '^' marker."]),
    "arista_eos": ("Ethernet99", ["% Invalid input"]),
    "juniper_junos": ("ge-0/0/99", ["error: device ge-0/0/99 not found",
                                     "error: configuration check-out failed"]),
}
WRITE = "PORT_SHUTDOWN"
# Writes every switch accepts: a configuration session, and a save (an exec
# command on IOS, NX-OS and EOS, a commit on Junos).
WRITES = [WRITE, "SAVE_CONFIG"]
# A read whose first command the switch does not know (its entry has several
# commands, and a sample output answers one), and the collector's error.
UNKNOWN_READ = {
    "cisco_ios": "'show inventory' refused: % Invalid input detected at '^' marker.",
    "cisco_nxos": "'show inventory' refused: % Invalid command at '^' marker.",
    "juniper_junos": "'show chassis hardware | no-more' refused: "
                     "syntax error, expecting <command>.",
}


def skip_reason():
    if netmiko is None:
        return ("netmiko is not importable by %s (Debian's python3-netmiko serves "
                "/usr/bin/python3)" % sys.executable)
    return server.missing()


def inventory(rows):
    text = io.StringIO()
    first = ["host", "vendor", "firmware"]
    writer = csv.DictWriter(text, first + sorted(set(rows[0][1]) - set(first)))
    writer.writeheader()
    for host, switch in rows:
        writer.writerow(dict(switch, host=host))
    return text.getvalue()


@unittest.skipIf(skip_reason(), skip_reason())
class CollectOverSsh(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.catalog = ov.Catalog.load_bundled()
        cls.lab = EmulatedSwitches(cls.catalog)
        cls.addClassCleanup(cls.lab.__exit__, None, None, None)
        cls.lab.__enter__()
        runs = {}
        for switch in SWITCHES:
            columns = dict(switch.values, vendor=switch.vendor, firmware=switch.firmware)
            missing = dict(columns, interface=MISSING_INTERFACE[switch.vendor][0])
            reads = sorted(cls.lab.devices[switch.vendor]["reads"])
            runs[switch.vendor] = cls.start(
                switch.vendor, switch.vendor, [(CLOSED_HOST, columns), ("127.0.0.1", columns)],
                reads + WRITES)
            runs[switch.vendor + " refused"] = cls.start(
                switch.vendor + "-refused", switch.vendor, [("127.0.0.1", missing)],
                [WRITE] + ["HARDWARE_IDENTITY"] * (switch.vendor in UNKNOWN_READ))
        # A user the server lets in is not given, nor a key: a dry run logs in nowhere.
        runs["dry"] = cls.start("dry", "cisco_ios", [("127.0.0.1", dict(
            SWITCHES[0].values, vendor="cisco_ios", firmware=SWITCHES[0].firmware))],
            ["VERSION", WRITE], "--dry-run", "--username", "nobody")
        deadline = time.monotonic() + RUN_SECONDS
        cls.results = {name: cls.finish(run, deadline) for name, run in runs.items()}

    @classmethod
    def start(cls, name, vendor, rows, commands, *options):
        path = os.path.join(cls.lab.folder, name + ".csv")
        with open(path, "w") as f:
            f.write(inventory(rows))
        args = [sys.executable, COLLECT, path, "--port", "ssh=%d" % cls.lab.ports[vendor],
                "--timeout", "5", *options]
        args += [part for command in commands for part in ("--command", command)]
        if "--dry-run" not in options:
            args += ["--username", cls.lab.user, "--key-file", cls.lab.key_file]
        environment = {k: v for k, v in os.environ.items() if not k.startswith("VANTREL_")}
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=environment)

    @staticmethod
    def finish(run, deadline):
        try:
            out, err = run.communicate(timeout=max(0.1, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            run.kill()
            out, err = run.communicate()
        return run.returncode, [json.loads(line) for line in out.splitlines()], err

    def test_reads_give_the_records_of_the_answers(self):
        for switch in SWITCHES:
            device = self.lab.devices[switch.vendor]
            status, lines, err = self.results[switch.vendor]
            reached = [line for line in lines if line["host"] == "127.0.0.1"]
            self.assertEqual([line["command"] for line in reached],
                             sorted(device["reads"]) + WRITES, err)
            for line in reached[:-len(WRITES)]:
                with self.subTest(vendor=switch.vendor, command=line["command"]):
                    answers = [device["answers"][text] for text in device["reads"][line["command"]]]
                    expected = ov.parse(self.catalog, switch.vendor, switch.firmware,
                                        line["command"], *answers)
                    self.assertEqual((line["records"], line["unread"], line["error"]),
                                     (expected["records"], expected["unread"], None))
                    # An answer with lines gives records: equal empties would prove nothing.
                    if any(answer.strip() for answer in answers):
                        self.assertNotEqual(line["records"], [])

    def test_a_write_is_accepted_or_refused_with_the_device_message(self):
        for switch in SWITCHES:
            with self.subTest(vendor=switch.vendor):
                accepted = self.results[switch.vendor][1][-len(WRITES):]
                status, refused, err = self.results[switch.vendor + " refused"]
                messages = MISSING_INTERFACE[switch.vendor][1]
                self.assertEqual([(line["command"], line["records"], line["unread"], line["error"])
                                  for line in accepted],
                                 [(write, [{"ok": True, "messages": []}], [], None)
                                  for write in WRITES])
                self.assertEqual((status, [(line["records"], line["unread"], line["error"])
                                           for line in refused[:1]]),
                                 (1, [([{"ok": False, "messages": messages}], [],
                                       "refused: " + "; ".join(messages))]), err)

    def test_an_unknown_read_fails_with_the_device_words(self):
        for vendor, error in UNKNOWN_READ.items():
            with self.subTest(vendor=vendor):
                refused = self.results[vendor + " refused"][1][1]
                self.assertEqual((refused["command"], refused["records"], refused["error"]),
                                 ("HARDWARE_IDENTITY", [], error))

    def test_a_closed_port_fails_its_host_alone(self):
        for switch in SWITCHES:
            with self.subTest(vendor=switch.vendor):
                status, lines, err = self.results[switch.vendor]
                closed = [line for line in lines if line["host"] == CLOSED_HOST]
                self.assertEqual(status, 1)
                self.assertEqual([line["host"] for line in lines[:len(closed)]],
                                 [CLOSED_HOST] * len(closed))
                self.assertEqual([(line["records"], line["error"]) for line in closed],
                                 [([], "no CLI way: ssh:%d Connection refused (os error 111)"
                                   % self.lab.ports[switch.vendor])]
                                 * (len(self.lab.devices[switch.vendor]["reads"]) + len(WRITES)))

    def test_dry_run_prints_the_session_without_logging_in(self):
        status, lines, err = self.results["dry"]
        interface = SWITCHES[0].values["interface"]
        self.assertEqual((status, err), (0, ""))
        self.assertEqual([(line["command"], line["mode"], line["lines"]) for line in lines], [
            ("VERSION", "exec", ["show version"]),
            (WRITE, "config", ["configure terminal", "interface " + interface, "shutdown",
                               "end"]),
        ])


if __name__ == "__main__":
    unittest.main()
