"""The vantrel tool, run as a user runs it: arguments in, output and exit status out.

Each subcommand is checked for its mapping of outcomes to output and exit
status; what the outcomes are is tested below the tool. The binary is named by
the environment variable VANTREL (tests/CMakeLists.txt sets it for the
vantrel-cli test); without it every test here is skipped.
"""
import json
import os
import pty
import re
import resource
import select
import subprocess
import unittest

from loopback_port import GnmiPort
from vendor_fixtures import LAB_COMMANDS, Directory, vendor_file

VANTREL = os.environ.get("VANTREL")
needs_vantrel = unittest.skipUnless(VANTREL, "VANTREL names no vantrel binary")

OK, NEGATIVE, USAGE, FAULT = 0, 1, 2, 3

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
    table = json.loads(vantrel("table", "arista_eos", "4.20.1F", "--json").stdout)
    blocks = "".join('  - type: %s\n    versions:\n      - applies_to: "*"\n'
                     '        cli: do %s\n' % (row["type"], row["type"].lower())
                     for row in table["commands"] if row["type"] not in leave_out)
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
            (["table", "a", "b", "c"],
             "vantrel: the following argument was not expected: c (see --help)"),
            (["lookup", "cisco_ios"], "vantrel: FIRMWARE is required (see --help)"),
            (["probe", "--jobs", "0", "h"], None),
            (["probe", "--timeout", "nan", "h"],
             "vantrel: --timeout: expected a positive number of seconds"),
            (["probe", "--timeout", "1e30", "h"], "vantrel: --timeout: too large"),
            (["probe", "--skip", "ssh,eapi", "h"],
             "vantrel: --skip: unknown probe step 'eapi' (steps: ssh, netconf, gnmi, restconf)"),
        ]
        for args, message in rows:
            with self.subTest(args=args):
                result = vantrel(*args)
                self.assertEqual((result.returncode, result.stdout), (USAGE, ""))
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

    def test_each_outcome_and_its_status(self):
        files = {"lab.yaml": LAB, "lab.yml": "ignored: [", "broken.txt": BROKEN}
        self.check_rows([
            (["cisco_ios", "16.12.4", "MAC_TABLE"], OK, "show mac address-table\n", ""),
            # A literal block keeps its line break; no second one is added.
            (["lab", "9", "INTERFACE_CONFIG", "--dir", "$DIR"], OK,
             "configure terminal\ninterface {interface}\nend\n", ""),
            (["--dir", "$DIR", "lab", "1.0", "ARP_TABLE"], NEGATIVE, "",
             'vantrel: no entry for lab Some("1.0") ArpTable\n'),
            (["lab", "1.0", "HOSTNAME", "--dir", "$DIR"], NEGATIVE, "",
             "vantrel: no entry for lab Hostname\n"),
            (["arista_eos", "4.20.1F", "CIVIC_LOCATION"], NEGATIVE, "",
             "vantrel: CivicLocation is not supported on arista_eos: Arista EOS does not expose..."),
            (["lab", "1.0", "VERSION", "--dir", "$DIR"], FAULT, "",
             "vantrel: invalid version range '1..2': can't parse '1..2': "
             "invalid firmware version '1..2'\n"),
            (["hpe_procurve", "WC.16.10.0021", "ARP_TABLE"], USAGE, "",
             "vantrel: invalid firmware version 'WC.16.10.0021'\n"),
            (["arista_eos", "4.22", "ARP_TABLE", "--dir", "$DIR"], USAGE, "",
             "vantrel: unknown vendor: arista_eos\n"),
            (["arista_eos", "1", "ArpTable"], USAGE, "",
             "vantrel: unknown CommandType: ArpTable\n"),
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
    def test_vendors_in_file_name_order(self):
        # Byte order of file names; the later "one" replaces the earlier in place.
        files = {"b.yaml": header("two") + "commands:\n", "a.yaml": header("one") + "commands:\n",
                 "c.yaml": header("one") + "commands:\n", "d.yml": "x: ["}
        with Directory(files) as path:
            result = vantrel("vendors", "--dir", path)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (OK, "one\ntwo\n", ""))


@needs_vantrel
class Table(unittest.TestCase):
    def table(self, *args):
        result = vantrel("table", *args, "--json")
        return result, json.loads(result.stdout) if result.stdout else None

    def test_directory_table_outcomes(self):
        with Directory({"lab.yaml": LAB}) as path:
            result, document = self.table("lab", "3.5", "--dir", path)
            text = vantrel("table", "lab", "3.5", "--dir", path)
        self.assertEqual(result.returncode, FAULT)
        self.assertEqual(result.stderr, "vantrel: applies_to does not parse for 1 command type\n")
        self.assertEqual(list(document), ["vendor", "firmware", "commands"])
        self.assertEqual(len(document["commands"]), 25)
        self.assertEqual(list(document["commands"][0]), ["type", "status", "cli", "reason"])
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
        self.assertEqual(len(lines), 25 + 2)

    def test_table_refused_for_the_firmware(self):
        result = vantrel("table", "meraki_ms", "switch-15-21")
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (USAGE, "", "vantrel: invalid firmware version 'switch-15-21'\n"))


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
        self.assertIn("d-dup.yaml: warning: vendor: vendor twin is also declared by a-first.yaml, "
                      "which this file replaces when the directory is loaded at line 1 column 9",
                      lines)
        self.assertEqual(lines[-1], "checked 5 files: 3 errors, 6 warnings")

    def test_clean_and_nearly_clean_directories(self):
        rows = [
            ({"ok.yaml": complete_file("ok")}, OK, [], "checked 1 file: 0 errors, 0 warnings"),
            ({"ok.yaml": complete_file("ok", leave_out=["HOSTNAME"])}, NEGATIVE,
             ["ok.yaml: warning: commands: no block of type HOSTNAME: every lookup of it finds "
              "no entry at line 6 column 3"], "checked 1 file: 0 errors, 1 warning"),
        ]
        for files, status, findings, summary in rows:
            with self.subTest(files=list(files)):
                text, result, document = self.check(files)
                self.assertEqual((text.returncode, result.returncode), (status, status))
                lines = text.stdout.splitlines()
                self.assertEqual(lines, findings + [summary])
                self.assertEqual(text.stderr, "")

    def test_compiled_in_files_have_no_errors(self):
        catalog = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "catalog")
        document = json.loads(vantrel("check", catalog, "--json").stdout)
        self.assertEqual(len(document["files"]), 7)
        self.assertEqual([f for f in document["findings"] if f["severity"] == "error"], [])


def without_elapsed(report):
    report = dict(report)
    report.pop("elapsed_ms")
    return report


# Only the gNMI step runs: its port is unprivileged, so no test needs root.
GNMI_ONLY = ["--skip", "ssh,netconf,restconf"]


@needs_vantrel
class Probe(unittest.TestCase):
    def test_reports_in_host_order_whatever_the_jobs(self):
        with GnmiPort() as refused:
            pass  # closed again: its port now refuses
        with GnmiPort() as open_host:
            hosts = [refused, open_host, refused, open_host]
            outputs = []
            for jobs in ["1", "3"]:
                with self.subTest(jobs=jobs):
                    result = vantrel("probe", "--json", "--jobs", jobs, *GNMI_ONLY,
                                     "--vendor", "lab", *hosts)
                    self.assertEqual((result.returncode, result.stderr), (OK, ""))
                    reports = [json.loads(line) for line in result.stdout.splitlines()]
                    self.assertEqual(list(reports[0]), REPORT_KEYS)
                    outputs.append([without_elapsed(r) for r in reports])
            text = vantrel("probe", *GNMI_ONLY, refused)
        self.assertEqual(outputs[0], outputs[1])
        self.assertEqual([(r["host"], r["vendor"], r["gnmi_available"], r["diagnostics"])
                          for r in outputs[0]],
                         [(refused, "lab", False, ["gnmi:9339 " + REFUSED]),
                          (open_host, "lab", True, []),
                          (refused, "lab", False, ["gnmi:9339 " + REFUSED]),
                          (open_host, "lab", True, [])])
        self.assertEqual(text.returncode, OK)
        self.assertRegex(text.stdout, r"\A%s: ssh skipped, netconf skipped, gnmi no, restconf "
                                      r"skipped \(\d+ ms\)\n  gnmi:9339 %s\n\Z"
                         % (re.escape(refused), re.escape(REFUSED)))

    def test_more_jobs_than_open_files_allow(self):
        # Every probe holds its socket while its connection attempt waits.
        # Beyond the limit, socket() would fail and the host would be
        # reported unreachable.
        def low_limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (24, 24))

        with GnmiPort(full=True) as host:
            result = vantrel("probe", "--json", "--jobs", "24", "--timeout", "0.2", *GNMI_ONLY,
                             *[host] * 24, preexec_fn=low_limit)
        self.assertEqual(result.returncode, OK, result.stderr)
        reports = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual(len(reports), 24)
        lines = {line for report in reports for line in report["diagnostics"]}
        self.assertEqual(len(lines), 1, lines)
        self.assertNotIn("Too many open files", lines.pop())

    def test_progress_line_only_on_a_terminal(self):
        args = ["probe", "--json", "--skip", "ssh,netconf,gnmi,restconf", "a", "b", "c"]
        piped = vantrel(*args)
        self.assertEqual((piped.returncode, piped.stderr), (OK, ""))
        self.assertEqual(len(piped.stdout.splitlines()), 3)

        controller, terminal = pty.openpty()
        try:
            result = vantrel(*args, stderr=terminal)
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
