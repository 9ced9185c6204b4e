"""The vantrel tool, run as a user runs it: arguments in, output and exit status out.

The binary is named by the environment variable VANTREL (tests/CMakeLists.txt
sets it for the vantrel-cli test); without it every test here is skipped.
The probe tests listen on the probe's fixed ports (22, 830, 9339, 443) of a
random loopback address, which needs root; elsewhere they are skipped.
"""
import errno
import json
import os
import pty
import random
import re
import resource
import select
import socket
import subprocess
import threading
import unittest

from vendor_fixtures import BUNDLED_VENDORS, LAB_COMMANDS, Directory, vendor_file

VANTREL = os.environ.get("VANTREL")
needs_vantrel = unittest.skipUnless(VANTREL, "VANTREL names no vantrel binary")

OK, NEGATIVE, USAGE, FAULT = 0, 1, 2, 3

TYPES = ["ARP_TABLE", "MAC_TABLE", "NEIGHBOR_DETAIL", "LLDP_DETAIL", "PORT_CHANNEL_MEMBERS",
         "INTERFACE_CONFIG", "INTERFACE_CONFIG_BULK", "INTERFACE_STATS", "CIVIC_LOCATION",
         "VLAN_LIST", "SVI_CONFIG", "STP_VLAN_LIST", "HARDWARE_IDENTITY", "HOSTNAME", "VERSION",
         "PORT_SHUTDOWN", "PORT_NO_SHUTDOWN", "PORT_VLAN_ASSIGN", "PORT_POE_OFF", "PORT_POE_ON",
         "PORT_POLICY_PUSH", "VLAN_CREATE", "SVI_CREATE", "STP_VLAN_ENABLE", "SAVE_CONFIG"]
REPORT_KEYS = ["host", "vendor", "netconf_available", "gnmi_available", "restconf_available",
               "ssh_banner", "firmware", "diagnostics", "elapsed_ms"]
REFUSED = "Connection refused (os error 111)"


def vantrel(*args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, **kwargs):
    return subprocess.run([VANTREL, *args], stdout=stdout, stderr=stderr, timeout=timeout,
                          text=True, stdin=subprocess.DEVNULL, **kwargs)


def header(vendor):
    return vendor_file(vendor, "")


def complete_file(vendor, leave_out=()):
    """A vendor file with one "*" entry for every command type but `leave_out`."""
    blocks = "".join('  - type: %s\n    versions:\n      - applies_to: "*"\n'
                     '        cli: do %s\n' % (name, name.lower())
                     for name in TYPES if name not in leave_out)
    return header(vendor) + "commands:\n" + blocks


LAB = vendor_file("lab", LAB_COMMANDS + """  - type: INTERFACE_CONFIG
    versions:
      - applies_to: "*"
        cli: |
          configure terminal
          interface {interface}
          end
""")

BROKEN = header("broken") + """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: "*"
        notes: the cli is missing
"""

# For check: one file per kind of problem, each at a known line and column.
CHECKED = {
    "a-first.yaml": header("twin") + """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: "*"
        cli: show arp
""",
    "b-range.yaml": header("ranged") + """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=abc"
        cli: show arp
      - applies_to: "*"
        cli: |
          NOT_SUPPORTED
  - type: ARP_TABLE
    versions: []
""",
    "c-broken.yaml": BROKEN,
    "d-dup.yaml": header("twin") + "commands:\n",
    "e-syntax.yaml": 'vendor: "unclosed\n',
    "f.yml": "not: [read",
    "notes.txt": "not read either",
}


@needs_vantrel
class HelpAndUsage(unittest.TestCase):
    def test_every_subcommand_has_help_with_its_exit_statuses(self):
        for args in [[], ["vendors"], ["lookup"], ["table"], ["check"], ["probe"]]:
            with self.subTest(args=args):
                result = vantrel(*args, "--help")
                self.assertEqual(result.returncode, OK, result.stderr)
                self.assertIn("Usage: vantrel", result.stdout)
                self.assertIn("Exit status:", result.stdout)
                self.assertEqual(result.stderr, "")

    def test_usage_errors_are_one_line_and_status_2(self):
        rows = [
            ([], "vantrel: a subcommand is required (see --help)"),
            (["frob"], "vantrel: the following argument was not expected: frob (see --help)"),
            (["lookup", "cisco_ios"], "vantrel: FIRMWARE is required (see --help)"),
            (["table", "a", "b", "c"],
             "vantrel: the following argument was not expected: c (see --help)"),
            (["check"], "vantrel: DIR is required (see --help)"),
            (["probe"], "vantrel: HOST is required (see --help)"),
            (["probe", "--jobs", "0", "h"], None),
            (["probe", "--jobs", "many", "h"], None),
            (["probe", "--timeout", "-1", "h"],
             "vantrel: --timeout: expected a positive number of seconds"),
            (["probe", "--timeout", "nan", "h"],
             "vantrel: --timeout: expected a positive number of seconds"),
            (["probe", "--timeout", "1e30", "h"], "vantrel: --timeout: too large"),
            (["probe", "--skip", "ssh,eapi", "h"],
             "vantrel: --skip: unknown probe step 'eapi' (steps: ssh, netconf, gnmi, restconf)"),
        ]
        for args, message in rows:
            with self.subTest(args=args):
                result = vantrel(*args)
                self.assertEqual(result.returncode, USAGE)
                self.assertEqual(result.stdout, "")
                self.assertRegex(result.stderr, r"\Avantrel: [^\n]+\n\Z")
                if message is not None:
                    self.assertEqual(result.stderr, message + "\n")

    def test_version(self):
        result = vantrel("--version")
        self.assertEqual((result.returncode, result.stdout), (OK, "vantrel 0.2.0\n"))

    def test_lost_output_is_a_fault(self):
        with open("/dev/full", "w") as full:
            result = vantrel("vendors", stdout=full)
        self.assertEqual(result.returncode, FAULT)
        self.assertEqual(result.stderr,
                         "vantrel: cannot write the output: No space left on device\n")


@needs_vantrel
class Lookup(unittest.TestCase):
    def check_rows(self, rows, dir_files=None):
        with Directory(dir_files or {}) as path:
            for args, status, out, err in rows:
                args = [a.replace("$DIR", path) for a in args]
                with self.subTest(args=args):
                    result = vantrel("lookup", *args)
                    self.assertEqual(result.returncode, status, result.stderr)
                    self.assertEqual(result.stdout, out)
                    if err.endswith("..."):
                        self.assertTrue(result.stderr.startswith(err[:-3]), result.stderr)
                    else:
                        self.assertEqual(result.stderr, err)

    def test_compiled_in_catalog(self):
        self.check_rows([
            (["cisco_ios", "12.2(55)SE12", "MAC_TABLE"], OK, "show mac-address-table\n", ""),
            (["cisco_ios", "16.12.4", "MAC_TABLE"], OK, "show mac address-table\n", ""),
            (["cisco_ios", "12.2(55)SE12", "ARP_TABLE"], OK, "show ip arp\n", ""),
            (["arista_eos", "4.22.1F", "STP_VLAN_LIST"], OK, "show spanning-tree\n", ""),
            (["arista_eos", "4.20.1F", "INTERFACE_CONFIG"], OK,
             "show running-config interfaces {interface}\n", ""),
            (["hpe_procurve", "16.10.0021", "ARP_TABLE"], OK, "show arp\n", ""),
            (["aruba_aoscx", "GL.10.13", "PORT_POLICY_PUSH"], NEGATIVE, "",
             'vantrel: no entry for aruba_aoscx Some("GL.10.13") PortPolicyPush\n'),
            (["cisco_nxos", "5.2(1)", "ARP_TABLE"], NEGATIVE, "",
             'vantrel: no entry for cisco_nxos Some("5.2(1)") ArpTable\n'),
            (["arista_eos", "4.20.1F", "CIVIC_LOCATION"], NEGATIVE, "",
             "vantrel: CivicLocation is not supported on arista_eos: Arista EOS does not expose..."),
            (["hpe_procurve", "WC.16.10.0021", "ARP_TABLE"], USAGE, "",
             "vantrel: invalid firmware version 'WC.16.10.0021'\n"),
            (["cisco_ios_xe", "16.12.4", "ARP_TABLE"], USAGE, "",
             "vantrel: unknown vendor: cisco_ios_xe\n"),
            (["arista_eos", "1", "arp_table"], USAGE, "",
             "vantrel: unknown CommandType: arp_table\n"),
            (["arista_eos", "1", "ArpTable"], USAGE, "",
             "vantrel: unknown CommandType: ArpTable\n"),
        ])

    def test_directory_catalog(self):
        files = {"lab.yaml": LAB, "lab.yml": "ignored: [", "broken.txt": BROKEN}
        self.check_rows([
            (["lab", "3.5", "ARP_TABLE", "--dir", "$DIR"], OK, "show arp v3\n", ""),
            (["--dir", "$DIR", "lab", "2.5", "ARP_TABLE"], OK, "show arp\n", ""),
            # A literal block keeps its line break; no second one is added.
            (["lab", "9", "INTERFACE_CONFIG", "--dir", "$DIR"], OK,
             "configure terminal\ninterface {interface}\nend\n", ""),
            (["lab", "1.0", "ARP_TABLE", "--dir", "$DIR"], NEGATIVE, "",
             'vantrel: no entry for lab Some("1.0") ArpTable\n'),
            (["lab", "1.0", "HOSTNAME", "--dir", "$DIR"], NEGATIVE, "",
             "vantrel: no entry for lab Hostname\n"),
            (["lab", "1.0", "CIVIC_LOCATION", "--dir", "$DIR"], NEGATIVE, "",
             "vantrel: CivicLocation is not supported on lab: \n"),
            (["lab", "1.0", "VERSION", "--dir", "$DIR"], FAULT, "",
             "vantrel: invalid version range '1..2': can't parse '1..2': "
             "invalid firmware version '1..2'\n"),
            (["arista_eos", "4.22", "ARP_TABLE", "--dir", "$DIR"], USAGE, "",
             "vantrel: unknown vendor: arista_eos\n"),
        ], files)

    def test_directory_that_does_not_load(self):
        with Directory({"a.yaml": LAB, "bad.yaml": BROKEN}) as path:
            rows = [
                ([path], FAULT, "vantrel: catalog parse error in bad.yaml: commands[0]."
                                "versions[0]: missing field `cli` at line 8 column 9\n"),
                ([os.path.join(path, "missing")], FAULT,
                 "vantrel: catalog I/O error: No such file or directory (os error 2)\n"),
            ]
            for dir_args, status, err in rows:
                with self.subTest(dir=dir_args):
                    result = vantrel("lookup", "lab", "2.5", "ARP_TABLE", "--dir", *dir_args)
                    self.assertEqual((result.returncode, result.stdout, result.stderr),
                                     (status, "", err))
            # The command type is judged before any file is read.
            result = vantrel("lookup", "lab", "2.5", "ARP", "--dir", path)
            self.assertEqual((result.returncode, result.stderr),
                             (USAGE, "vantrel: unknown CommandType: ARP\n"))


@needs_vantrel
class Vendors(unittest.TestCase):
    def test_vendors(self):
        rows = [
            (None, OK, BUNDLED_VENDORS),
            # Byte order of file names; the later "one" replaces the earlier in place.
            ({"b.yaml": header("two") + "commands:\n", "a.yaml": header("one") + "commands:\n",
              "c.yaml": header("one") + "commands:\n", "d.yml": "x: ["}, OK, ["one", "two"]),
            ({}, OK, []),
        ]
        for files, status, vendors in rows:
            with self.subTest(files=files):
                with Directory(files or {}) as path:
                    result = vantrel("vendors", *(["--dir", path] if files is not None else []))
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stdout.splitlines(), vendors)
                self.assertEqual(result.stderr, "")

    def test_directory_that_does_not_load(self):
        with Directory({"bad.yaml": BROKEN}) as path:
            result = vantrel("vendors", "--dir", path)
        self.assertEqual(result.returncode, FAULT)
        self.assertTrue(result.stderr.startswith("vantrel: catalog parse error in bad.yaml: "))


@needs_vantrel
class Table(unittest.TestCase):
    def table(self, *args):
        result = vantrel("table", *args, "--json")
        return result, json.loads(result.stdout) if result.stdout else None

    def test_compiled_in_table_lists_every_type_in_order(self):
        result, document = self.table("arista_eos", "4.20.1F")
        self.assertEqual(result.returncode, OK, result.stderr)
        self.assertEqual(list(document), ["vendor", "firmware", "commands"])
        self.assertEqual((document["vendor"], document["firmware"]), ("arista_eos", "4.20.1F"))
        self.assertEqual([row["type"] for row in document["commands"]], TYPES)
        for row in document["commands"]:
            self.assertEqual(list(row), ["type", "status", "cli", "reason"])
        rows = {row["type"]: row for row in document["commands"]}
        self.assertEqual(rows["INTERFACE_CONFIG"]["cli"],
                         "show running-config interfaces {interface}")
        civic = rows["CIVIC_LOCATION"]
        self.assertEqual((civic["status"], civic["cli"]), ("not_supported", None))
        self.assertTrue(civic["reason"].startswith(
            "CivicLocation is not supported on arista_eos: Arista EOS does not expose"))

    def test_directory_table_outcomes(self):
        with Directory({"lab.yaml": LAB}) as path:
            result, document = self.table("lab", "3.5", "--dir", path)
            text = vantrel("table", "lab", "3.5", "--dir", path)
        self.assertEqual(result.returncode, FAULT)
        self.assertEqual(result.stderr, "vantrel: applies_to does not parse for 1 command type\n")
        rows = {row["type"]: (row["status"], row["cli"], row["reason"])
                for row in document["commands"]}
        expected = {
            "ARP_TABLE": ("text", "show arp v3", None),
            "VERSION": ("invalid_range", None, "invalid version range '1..2': can't parse "
                                               "'1..2': invalid firmware version '1..2'"),
            "CIVIC_LOCATION": ("not_supported", None, "CivicLocation is not supported on lab: "),
            "INTERFACE_CONFIG": ("text", "configure terminal\ninterface {interface}\nend\n", None),
            "HOSTNAME": ("no_block", None, "no entry for lab Hostname"),
        }
        for name, row in expected.items():
            with self.subTest(type=name):
                self.assertEqual(rows[name], row)
        # The same table for people: a name column, continuation lines under the text.
        lines = text.stdout.splitlines()
        self.assertEqual(lines[0], "ARP_TABLE              show arp v3")
        at = lines.index("INTERFACE_CONFIG       configure terminal")
        self.assertEqual(lines[at + 1:at + 3],
                         [" " * 23 + "interface {interface}", " " * 23 + "end"])
        self.assertIn("HOSTNAME               (none) no entry for lab Hostname", lines)
        self.assertEqual(len(lines), len(TYPES) + 2)

    def test_table_refused_for_vendor_or_firmware(self):
        rows = [
            (["cisco_ios_xe", "16.12.4"], "vantrel: unknown vendor: cisco_ios_xe\n"),
            (["meraki_ms", "switch-15-21"], "vantrel: invalid firmware version 'switch-15-21'\n"),
        ]
        for args, err in rows:
            with self.subTest(args=args):
                result = vantrel("table", *args)
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (USAGE, "", err))


@needs_vantrel
class Check(unittest.TestCase):
    def check(self, files):
        with Directory(files) as path:
            text = vantrel("check", path)
            result = vantrel("check", path, "--json")
        return text, result, json.loads(result.stdout)

    def test_every_file_and_entry_is_judged(self):
        text, result, document = self.check(CHECKED)
        self.assertEqual(result.returncode, NEGATIVE)
        self.assertEqual(document["files"], ["a-first.yaml", "b-range.yaml", "c-broken.yaml",
                                             "d-dup.yaml", "e-syntax.yaml"])
        self.assertEqual((document["errors"], document["warnings"]), (3, 6))
        found = [(f["file"], f["severity"], f["kind"], f["path"], f["line"], f["column"])
                 for f in document["findings"] if f["kind"] != "missing_type"]
        self.assertEqual(found[:5], [
            ("b-range.yaml", "error", "range", "commands[0].versions[0].applies_to", 8, 21),
            ("b-range.yaml", "warning", "marker_lookalike", "commands[0].versions[1].cli", 11, 14),
            ("b-range.yaml", "warning", "repeated_type", "commands[1].type", 13, 11),
            ("c-broken.yaml", "error", "rule", "commands[0].versions[0]", 8, 9),
            ("d-dup.yaml", "warning", "duplicate_vendor", "vendor", 1, 9),
        ])
        syntax = found[5]
        self.assertEqual(syntax[:4], ("e-syntax.yaml", "error", "syntax", None))
        self.assertEqual(len(found), 6)
        missing = [f["file"] for f in document["findings"] if f["kind"] == "missing_type"]
        self.assertEqual(missing, ["a-first.yaml", "b-range.yaml", "d-dup.yaml"])

        lines = text.stdout.splitlines()
        self.assertEqual(text.returncode, NEGATIVE)
        for line in [
            "b-range.yaml: error: commands[0].versions[0].applies_to: invalid version range "
            "'>=abc': can't parse 'abc': invalid firmware version 'abc' at line 8 column 21",
            "b-range.yaml: warning: commands[1].type: repeated type ARP_TABLE: lookups use only "
            "the block at commands[0] at line 13 column 11",
            "c-broken.yaml: error: commands[0].versions[0]: missing field `cli` at line 8 column 9",
            "d-dup.yaml: warning: vendor: vendor twin is also declared by a-first.yaml, which "
            "this file replaces when the directory is loaded at line 1 column 9",
        ]:
            with self.subTest(line=line):
                self.assertIn(line, lines)
        self.assertEqual(lines[-1], "checked 5 files: 3 errors, 6 warnings")

    def test_clean_and_nearly_clean_directories(self):
        rows = [
            ({"ok.yaml": complete_file("ok")}, OK, [], "checked 1 file: 0 errors, 0 warnings"),
            ({"ok.yaml": complete_file("ok", leave_out=["HOSTNAME"])}, NEGATIVE,
             ["ok.yaml: warning: commands: no block of type HOSTNAME: every lookup of it finds "
              "no entry at line 6 column 3"], "checked 1 file: 0 errors, 1 warning"),
            ({"notes.txt": "x"}, NEGATIVE, None, "checked 0 files: 0 errors, 1 warning"),
        ]
        for files, status, findings, summary in rows:
            with self.subTest(files=list(files)):
                text, result, document = self.check(files)
                self.assertEqual((text.returncode, result.returncode), (status, status))
                lines = text.stdout.splitlines()
                self.assertEqual(lines[-1], summary)
                if findings is not None:
                    self.assertEqual(lines[:-1], findings)
                self.assertEqual(text.stderr, "")

    def test_directory_that_cannot_be_listed(self):
        result = vantrel("check", "/nonexistent/vendor/files")
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (FAULT, "", "vantrel: catalog I/O error: No such file or directory "
                                     "(os error 2)\n"))

    def test_compiled_in_files_have_no_errors(self):
        catalog = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "catalog")
        document = json.loads(vantrel("check", catalog, "--json").stdout)
        self.assertEqual(len(document["files"]), 7)
        self.assertEqual([f for f in document["findings"] if f["severity"] == "error"], [])


class Device:
    """Listeners on the probe's four ports of one free loopback address.

    `ports` maps a port to what its listener does with each connection:
    "banner" sends an SSH identification line, "greeting" a line that is no
    banner, "close" closes at once, "hold" keeps it open and silent. A port
    not named refuses connections.
    """

    def __init__(self, ports, banner=b"SSH-2.0-Test_1.0\r\n"):
        self.ports = ports
        self.banner = banner
        self.listeners = {}
        self.held = []
        self.stop = threading.Event()

    def __enter__(self):
        for _ in range(50):
            self.address = "127.%d.%d.%d" % (random.randint(64, 250), random.randint(0, 255),
                                             random.randint(1, 254))
            try:
                for port in self.ports:
                    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
                    self.listeners[listener] = self.ports[port]
                    listener.bind((self.address, port))
                    listener.listen(16)
                break
            except OSError as error:
                self.close_all()
                if error.errno == errno.EACCES:
                    raise unittest.SkipTest("listening on ports 22 and 443 needs root")
                if error.errno != errno.EADDRINUSE:
                    raise
        else:
            raise unittest.SkipTest("no free loopback address")
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()
        return self.address

    def serve(self):
        while not self.stop.is_set():
            ready, _, _ = select.select(list(self.listeners), [], [], 0.05)
            for listener in ready:
                connection, _ = listener.accept()
                behaviour = self.listeners[listener]
                if behaviour == "banner":
                    connection.sendall(self.banner)
                elif behaviour == "greeting":
                    connection.sendall(b"220 welcome\r\n")
                if behaviour == "close":
                    connection.close()
                else:
                    self.held.append(connection)

    def close_all(self):
        for s in list(self.listeners) + self.held:
            s.close()
        self.listeners.clear()
        self.held.clear()

    def __exit__(self, *exc):
        self.stop.set()
        self.thread.join(timeout=10)
        self.close_all()


FULL = {22: "banner", 830: "banner", 9339: "hold", 443: "hold"}
ODD = {22: "greeting", 830: "close"}


def without_elapsed(report):
    report = dict(report)
    report.pop("elapsed_ms")
    return report


@needs_vantrel
class Probe(unittest.TestCase):
    def probe(self, *args, **kwargs):
        return vantrel("probe", "--timeout", "5", *args, **kwargs)

    def test_reports_per_host_in_input_order(self):
        with Device(FULL) as full, Device(ODD) as odd, Device({}) as closed:
            expected = {
                full: (True, True, True, "SSH-2.0-Test_1.0", []),
                odd: (False, False, False, None, [
                    "ssh:22 reachable but no banner read",
                    "netconf:830 reachable but no SSH banner",
                    "gnmi:9339 " + REFUSED, "restconf:443 " + REFUSED]),
                closed: (False, False, False, None, [
                    "ssh:22 " + REFUSED, "netconf:830 " + REFUSED,
                    "gnmi:9339 " + REFUSED, "restconf:443 " + REFUSED]),
            }
            hosts = [odd, full, closed, odd, full]
            outputs = {}
            for jobs in ["1", "2", "8"]:
                with self.subTest(jobs=jobs):
                    result = self.probe("--json", "--jobs", jobs, "--vendor", "lab", *hosts)
                    self.assertEqual((result.returncode, result.stderr), (OK, ""))
                    reports = [json.loads(line) for line in result.stdout.splitlines()]
                    self.assertEqual([r["host"] for r in reports], hosts)
                    for report in reports:
                        self.assertEqual(list(report), REPORT_KEYS)
                        self.assertIsInstance(report["elapsed_ms"], int)
                        self.assertGreaterEqual(report["elapsed_ms"], 0)
                        self.assertEqual(
                            (report["netconf_available"], report["gnmi_available"],
                             report["restconf_available"], report["ssh_banner"],
                             report["diagnostics"]), expected[report["host"]])
                        self.assertEqual((report["vendor"], report["firmware"]), ("lab", None))
                    outputs[jobs] = [without_elapsed(r) for r in reports]
            self.assertEqual(outputs["1"], outputs["8"])

    def test_input_order_holds_when_later_hosts_finish_first(self):
        # The first host keeps its SSH port silent, so its probe waits out the
        # receive limit while the others are done at once.
        with Device({22: "hold"}) as slow, Device({}) as fast:
            hosts = [slow, fast, fast, slow, fast]
            result = vantrel("probe", "--json", "--jobs", "5", "--timeout", "0.5",
                             "--skip", "netconf,gnmi,restconf", *hosts)
        self.assertEqual(result.returncode, OK, result.stderr)
        reports = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual([r["host"] for r in reports], hosts)
        for report in reports:
            with self.subTest(host=report["host"]):
                line = report["diagnostics"][0]
                if report["host"] == slow:
                    self.assertTrue(line.startswith("ssh:22 "), line)
                    self.assertNotEqual(line, "ssh:22 " + REFUSED)
                else:
                    self.assertEqual(line, "ssh:22 " + REFUSED)

    def test_more_jobs_than_open_files_allow(self):
        # Every probe holds its socket through the banner wait. Beyond the
        # limit, socket() would fail and the host would be reported unreachable.
        def low_limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (24, 24))

        with Device({22: "hold"}) as host:
            hosts = [host] * 24
            result = vantrel("probe", "--json", "--jobs", "24", "--timeout", "0.2",
                             "--skip", "netconf,gnmi,restconf", *hosts, preexec_fn=low_limit)
        self.assertEqual(result.returncode, OK, result.stderr)
        reports = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual(len(reports), 24)
        lines = {line for report in reports for line in report["diagnostics"]}
        self.assertEqual(len(lines), 1, lines)
        self.assertNotIn("Too many open files", lines.pop())

    def test_text_form_and_skipped_steps(self):
        with Device(FULL) as full, Device(ODD) as odd:
            rows = [
                ([full], [r"%s: ssh SSH-2\.0-Test_1\.0, netconf yes, gnmi yes, restconf yes "
                          r"\(\d+ ms\)" % re.escape(full)]),
                (["--skip", "SSH,NetConf", odd],
                 [r"%s: ssh skipped, netconf skipped, gnmi no, restconf no \(\d+ ms\)"
                  % re.escape(odd), "  gnmi:9339 " + re.escape(REFUSED),
                  "  restconf:443 " + re.escape(REFUSED)]),
                (["--skip", "ssh", "--skip", "netconf,gnmi,restconf", "not a host"],
                 [r"not a host: ssh skipped, netconf skipped, gnmi skipped, restconf skipped "
                  r"\(\d+ ms\)"]),
                (["--skip", "gnmi,restconf", odd],
                 [r"%s: ssh no, netconf no, gnmi skipped, restconf skipped \(\d+ ms\)"
                  % re.escape(odd), "  ssh:22 reachable but no banner read",
                  "  netconf:830 reachable but no SSH banner"]),
            ]
            for args, patterns in rows:
                with self.subTest(args=args):
                    result = self.probe(*args)
                    self.assertEqual(result.returncode, OK, result.stderr)
                    lines = result.stdout.splitlines()
                    self.assertEqual(len(lines), len(patterns), result.stdout)
                    for line, pattern in zip(lines, patterns):
                        self.assertRegex(line, r"\A%s\Z" % pattern)

    def test_banner_cannot_drive_the_terminal(self):
        with Device({22: "banner"}, banner=b"SSH-2.0-\x1b[2J\x9b\r\n") as host:
            text = self.probe("--skip", "netconf,gnmi,restconf", host)
            data = self.probe("--skip", "netconf,gnmi,restconf", "--json", host)
        self.assertIn(": ssh SSH-2.0-\\x1b[2J\\x9b, netconf skipped", text.stdout)
        self.assertNotIn("\x1b", text.stdout)
        self.assertEqual(json.loads(data.stdout)["ssh_banner"], "SSH-2.0-\x1b[2J\x9b")

    def test_progress_line_only_on_a_terminal(self):
        args = ["--json", "--skip", "ssh,netconf,gnmi,restconf", "a", "b", "c"]
        piped = self.probe(*args)
        self.assertEqual((piped.returncode, piped.stderr), (OK, ""))
        self.assertEqual(len(piped.stdout.splitlines()), 3)

        controller, terminal = pty.openpty()
        try:
            result = self.probe(*args, stderr=terminal)
            os.close(terminal)
            terminal = None
            seen = b""
            while select.select([controller], [], [], 1)[0]:
                try:
                    chunk = os.read(controller, 4096)
                except OSError:  # the terminal side is closed and drained
                    break
                if not chunk:
                    break
                seen += chunk
        finally:
            os.close(controller)
            if terminal is not None:
                os.close(terminal)
        self.assertEqual(result.returncode, OK)
        self.assertIn(b"probed 3 of 3 hosts", seen)
        self.assertTrue(seen.endswith(b"\r\x1b[K"), seen)  # cleared at the end
        self.assertEqual([without_elapsed(json.loads(line)) for line in result.stdout.splitlines()],
                         [without_elapsed(json.loads(line)) for line in piped.stdout.splitlines()])


if __name__ == "__main__":
    unittest.main()
