"""vantrel as a user runs it: each outcome's output and exit status. VANTREL
names the binary (tests/CMakeLists.txt sets it); without it the tests skip."""
import contextlib
import json
import os
import pty
import re
import resource
import select
import subprocess
import unittest

from fixtures import LAB_COMMANDS, BannerPort, Directory, GnmiPort, vendor_file

VANTREL = os.environ.get("VANTREL")
OK, NEGATIVE, USAGE, FAULT = 0, 1, 2, 3
REFUSED = "Connection refused (os error 111)"
# Only the gNMI step runs: its port is unprivileged, so no test needs root.
GNMI_ONLY = ["--skip", "ssh,netconf,restconf"]


def vantrel(*args, stderr=subprocess.PIPE, **kwargs):
    if "input" not in kwargs:
        kwargs.setdefault("stdin", subprocess.DEVNULL)
    return subprocess.run([VANTREL, *args], stdout=kwargs.pop("stdout", subprocess.PIPE),
                          stderr=stderr, timeout=60, text=True, **kwargs)


def arp_block(line="cli: show arp"):
    return 'commands:\n  - type: ARP_TABLE\n    versions:\n      - applies_to: "*"\n        %s\n' % line


LAB = vendor_file("lab", LAB_COMMANDS + """  - type: INTERFACE_CONFIG
    versions:
      - applies_to: "*"
        cli: |
          configure terminal
          interface {interface}
          end
""")
BROKEN = vendor_file("broken", arp_block("notes: no cli"))
# For show and plan: an entry with every field, alternatives with extra keys.
SHOWN = vendor_file("lab", """commands:
  - type: ARP_TABLE
    description: Address table.
    versions:
      - applies_to: ">=2.0"
        cli: show arp {vrf}
        sample_output: |
          10.0.0.1  aa
        parser_notes: one row a host
        unverified: true
    protocol_alternatives:
      gnmi: {path: /arp}
      rest_api: {method: GET, path: /arp, body: {depth: 2, tags: [a, 1]}}
  - type: CIVIC_LOCATION
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
        notes: |
          No civic
          location.
""")
# For check: one file per kind of problem, each at a known line and column.
CHECKED = {
    "a-first.yaml": vendor_file("twin", arp_block()),
    "b-range.yaml": vendor_file("ranged", """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=abc"
        cli: show arp
      - applies_to: "*"
        cli: |
          NOT_SUPPORTED
  - type: ARP_TABLE
    versions: []
"""),
    "b-shadow.yaml": vendor_file("shadow", """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=2.0"
        cli: show arp
      - applies_to: ">= 2.0"
        cli: show ip arp
"""),
    "c-broken.yaml": BROKEN,
    "d-dup.yaml": vendor_file("twin"),
    "e-syntax.yaml": 'vendor: "unclosed\n',
    "f.yml": "not: [read",
}


# Aliases, device firmware forms, CRLF, a blank line, an ignored column whose
# quoted cells hold a comma, quotes and a line break, placeholder columns.
INVENTORY = ('host,vendor,firmware,site name,serial,macTableId\r\n'
             '10.0.0.11,cisco_xe,03.06.06E,"Lab, ""A""",,\r\n'
             '10.0.0.13,procurve,KB.16.11.0012,"b\nc",,\r\n'
             '\r\n'
             ' 10.0.0.14 , meraki ,MS 15.21.1,,Q2XX-ABCD-1234,7\r\n')
HEADER = "host,vendor,firmware\n"


def without_elapsed(lines):
    reports = [json.loads(line) for line in lines.splitlines()]
    return [dict(r, elapsed_ms=None) for r in reports]


@unittest.skipUnless(VANTREL, "VANTREL names no vantrel binary")
class Vantrel(unittest.TestCase):
    def test_help_usage_errors_and_lost_output(self):
        # Usage errors are one line on stderr with status 2.
        for args in [[], ["vendors"], ["lookup"], ["show"], ["table"], ["check"], ["probe"],
                     ["plan"]]:
            result = vantrel(*args, "--help")
            self.assertEqual((result.returncode, result.stderr), (OK, ""), args)
            self.assertIn("Exit status:", result.stdout)
        rows = [
            ([], "vantrel: a subcommand is required (see --help)"),
            (["probe", "--timeout", "nan", "h"],
             "vantrel: --timeout: expected a positive number of seconds"),
            (["probe", "--timeout", "1e30", "h"], "vantrel: --timeout: too large"),
            (["probe", "--skip", "ssh,eapi", "h"],
             "vantrel: --skip: unknown probe step 'eapi' (steps: ssh, netconf, gnmi, restconf)"),
            # Refused before anything is probed.
            (["plan", "--vendor", "eoss", "--firmware", "4.22", "h"],
             "vantrel: unknown vendor: eoss (did you mean eos?)"),
            (["plan", "--vendor", "eos", "--firmware", "switch-x", "h"],
             "vantrel: invalid firmware version 'switch-x'"),
            (["table", "eos", "switch-x"], "vantrel: invalid firmware version 'switch-x'"),
            (["lookup", "--dir", "d", "--extra-dir", "e", "eos", "4.22", "VERSION"],
             "vantrel: --dir excludes --extra-dir (see --help)"),
            # Not cisco_iosxe nor cisco_ios: another operating system.
            (["lookup", "cisco_iosxr", "7.0", "VERSION"], "vantrel: unknown vendor: cisco_iosxr"),
            (["show", "cisco_ios", "16.12.4", "PORT_SHUTDOWN", "--set", "interface=Gi1\nreload"],
             "vantrel: value of {interface} holds a control character (a line break would "
             "start another command)"),
        ]
        for args, message in rows:
            with self.subTest(args=args):
                result = vantrel(*args)
                self.assertEqual((result.returncode, result.stdout), (USAGE, ""))
                self.assertEqual(result.stderr, message + "\n")
        # Under --json a usage error too is a document, on stdout.
        result = vantrel("table", "--json", "eos")
        self.assertEqual((result.returncode, result.stderr, json.loads(result.stdout)),
                         (USAGE, "", {"error": {"message": "FIRMWARE is required (see --help)",
                                                "exit_status": USAGE}}))
        self.assertEqual(vantrel("--version").stdout, "vantrel 0.2.0\n")
        self.assertIn("junos" + " " * 11 + "juniper_junos",
                      vantrel("vendors", "--aliases").stdout.splitlines())
        # Only the aliases of the catalog read: none for a lone vendor of another name.
        with Directory({"lab.yaml": LAB}) as lab:
            result = vantrel("vendors", "--aliases", "--dir", lab)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (OK, "", ""))
        with open("/dev/full", "w") as full:
            result = vantrel("vendors", stdout=full)
        self.assertEqual((result.returncode, result.stderr),
                         (FAULT, "vantrel: cannot write the output: No space left on device\n"))

    def test_every_documented_flag_once(self):
        # Each flag of each subcommand's --help, run once: under the sanitizer
        # build a flag whose storage died with its parser aborts here.
        with Directory({"lab.yaml": LAB}) as lab, Directory({}) as empty:
            with open(os.path.join(empty, "targets"), "w") as targets:
                targets.write("127.0.0.1\n")
            with open(os.path.join(empty, "inventory.csv"), "w") as inventory:
                inventory.write("host,vendor,firmware\n127.0.0.1,lab,3.5\n")
            with open(os.path.join(empty, "t.textfsm"), "w") as template:
                template.write("Value Name (\\S+)\n\nStart\n  ^${Name} -> Record\n")
            hosts = ["127.0.0.1", "-t", "0.2", "-j", "2", "--summary"]
            rows = {
                "vendors": [["--dir", lab, "--json"], ["--extra-dir", lab], ["--aliases"]],
                "lookup": [["lab", "v3.5", "ARP_TABLE", "--dir", lab, "--json"],
                           ["lab", "3.5", "INTERFACE_CONFIG", "--extra-dir", lab,
                            "--exact-firmware", "--set", "interface=e1"]],
                "show": [["lab", "3.5", "ARP_TABLE", "--dir", lab, "--exact-firmware", "--json",
                          "--set", "x=1"], ["eos", "4.22", "VERSION", "--extra-dir", lab]],
                "table": [["lab", "3.5", "--dir", lab, "--exact-firmware", "--set", "interface=e1"],
                          ["lab", "3.5", "--extra-dir", lab, "--json"],
                          ["--inventory", inventory.name, "--dir", lab, "--command", "ARP_TABLE"]],
                "check": [[lab, "--json"]],
                "probe": [[*hosts, "-T", targets.name, "--vendor", "v", "--skip", "ssh",
                           "--json", "--port", "ssh=1"], ["--targets", targets.name, "--timeout", "0.2",
                                       "--jobs", "1"], ["--inventory", inventory.name, "-t", "0.2"]],
                "plan": [[*hosts, "--vendor", "lab", "--firmware", "3.5", "--dir", lab,
                          "--exact-firmware", "--json", "-T", targets.name],
                         ["127.0.0.1", "--vendor", "lab", "--firmware", "3.5",
                          "--extra-dir", lab, "--timeout", "0.2", "--jobs", "1",
                          "--command", "ARP_TABLE", "--port", "gnmi=1"],
                         ["--inventory", inventory.name, "--dir", lab, "-t", "0.2"]],
                "matrix": [["--dir", lab, "--format", "html"], ["--extra-dir", lab, "--json"]],
                "schema": [["--json"], ["--records"]],
                "parse": [["--template", template.name, template.name, "--json", "--strict"],
                          ["lab", "3.5", "ARP_TABLE", "--dir", lab, "--exact-firmware", template.name],
                          ["eos", "4.22.1F", "HOSTNAME", "--extra-dir", lab, template.name]],
            }
            for subcommand, runs in rows.items():
                documented = set(re.findall(r"^\s+(?:-\w,\s*)?(--[\w-]+)",
                                            vantrel(subcommand, "--help").stdout, re.M))
                used = {arg for args in runs for arg in args if arg.startswith("--")}
                used |= {"--" + long for short, long in [("-t", "timeout"), ("-j", "jobs"),
                                                        ("-T", "targets")]
                         if any(short in args for args in runs)}
                self.assertEqual(documented - used, {"--help"}, subcommand)
                for args in runs:
                    with self.subTest(args=[subcommand, *args]):
                        result = vantrel(subcommand, *args)
                        self.assertIn(result.returncode, (OK, NEGATIVE, FAULT), result.stderr)
                        self.assertNotRegex(result.stderr, "Sanitizer|runtime error|internal")

    def test_lookup_outcomes_and_their_statuses(self):
        rows = [
            (["cisco_ios", "16.12.4", "MAC_TABLE"], OK, "show mac address-table\n", "text"),
            # A literal block keeps its line break; no second one is added.
            (["lab", "9", "INTERFACE_CONFIG", "--dir", "$DIR"], OK,
             "configure terminal\ninterface {interface}\nend\n", "text"),
            (["--dir", "$DIR", "lab", "1.0", "ARP_TABLE"], NEGATIVE,
             'vantrel: no entry for lab Some("1.0") ArpTable\n', "no_entry"),
            (["lab", "1.0", "HOSTNAME", "--dir", "$DIR"], NEGATIVE,
             "vantrel: no entry for lab Hostname\n", "no_block"),
            (["arista_eos", "4.20.1F", "CIVIC_LOCATION"], NEGATIVE,
             "vantrel: CivicLocation is not supported on arista_eos: Arista EOS does not expose",
             "not_supported"),
            (["lab", "1.0", "VERSION", "--dir", "$DIR"], FAULT,
             "vantrel: invalid version range '1..2': can't parse '1..2': "
             "invalid firmware version '1..2'\n", "invalid_range"),
            (["lab", "2.5", "ARP_TABLE", "--dir", "$BAD"], FAULT,
             "vantrel: catalog parse error in bad.yaml: commands[0].versions[0]: missing field "
             "`cli` at line 8 column 9\n", "error"),
            # Names and firmware as users have them, unless the firmware is to be exact.
            (["procurve", "KB.16.11.0012", "ARP_TABLE"], OK, "show arp\n", "text"),
            (["hpe_procurve", "WC.16.10.0021", "ARP_TABLE", "--exact-firmware"], USAGE,
             "vantrel: invalid firmware version 'WC.16.10.0021'\n", "error"),
            (["arista_eos", "4.22", "ARP_TABLE", "--dir", "$DIR"], USAGE,
             "vantrel: unknown vendor: arista_eos\n", "error"),
            # The command type is judged before any file is read.
            (["lab", "1", "ArpTable", "--dir", "$BAD"], USAGE,
             "vantrel: unknown CommandType: ArpTable (did you mean ARP_TABLE?)\n", "error"),
        ]
        with Directory({"lab.yaml": LAB, "lab.yml": "ignored: [", "broken.txt": BROKEN}) as good, \
                Directory({"a.yaml": LAB, "bad.yaml": BROKEN}) as bad:
            for args, status, output, kind in rows:
                args = [a.replace("$DIR", good).replace("$BAD", bad) for a in args]
                with self.subTest(args=args):
                    result = vantrel("lookup", *args)
                    shown, other = ((result.stdout, result.stderr) if status == OK
                                    else (result.stderr, result.stdout))
                    self.assertEqual((result.returncode, other), (status, ""))
                    if status != OK:  # every error is one line
                        self.assertRegex(shown, r"\Avantrel: [^\n]+\n\Z")
                    # A row without the final line break gives the start of the text only.
                    self.assertEqual(shown if output.endswith("\n") else shown[:len(output)],
                                     output)
                    # Under --json, one document on stdout with the same status.
                    result = vantrel("lookup", *args, "--json")
                    document = json.loads(result.stdout)
                    self.assertEqual((result.returncode, result.stderr, document.get("status")),
                                     (status, "", None if kind == "error" else kind))

    def test_table(self):
        with Directory({"lab.yaml": LAB}) as path:
            result = vantrel("table", "lab", "3.5", "--dir", path, "--json")
            text = vantrel("table", "lab", "3.5", "--dir", path)
        # Under --json the rows say which type failed; for people, stderr does.
        self.assertEqual((result.returncode, result.stderr, text.stderr),
                         (FAULT, "", "vantrel: applies_to does not parse for 1 command type\n"))
        document = json.loads(result.stdout)
        self.assertEqual(len(document["commands"]), 25)
        self.assertEqual(list(document["commands"][0]), ["type", "status", "cli", "reason"])
        rows = {row["type"]: tuple(row.values())[1:] for row in document["commands"]}
        self.assertEqual(rows["ARP_TABLE"], ("text", "show arp v3", None))
        self.assertEqual(rows["VERSION"][:2], ("invalid_range", None))
        self.assertEqual(rows["CIVIC_LOCATION"][:2], ("not_supported", None))
        self.assertEqual(rows["HOSTNAME"], ("no_block", None, "no entry for lab Hostname"))
        # The same table for people: a name column, continuation lines under the text.
        lines = text.stdout.splitlines()
        self.assertEqual(len(lines), 25 + 2)
        at = lines.index("INTERFACE_CONFIG       configure terminal")
        self.assertEqual(lines[at + 1:at + 3],
                         [" " * 23 + "interface {interface}", " " * 23 + "end"])
        self.assertIn("HOSTNAME               (none) no entry for lab Hostname", lines)

    def test_table_per_inventory_row(self):
        mac = ["--command", "MAC_TABLE"]
        result = vantrel("table", "--inventory", "-", *mac, "--json", input=INVENTORY)
        self.assertEqual((result.returncode, result.stderr), (OK, ""))
        # Each row's document is that of table for its names, firmware and values.
        rows = [("10.0.0.11", ["cisco_xe", "03.06.06E"]),
                ("10.0.0.13", ["procurve", "KB.16.11.0012"]),
                ("10.0.0.14", ["meraki", "MS 15.21.1", "--set", "serial=Q2XX-ABCD-1234",
                               "--set", "macTableId=7"])]
        self.assertEqual([json.loads(line) for line in result.stdout.splitlines()],
                         [dict(host=host, **json.loads(vantrel("table", *args, *mac, "--json")
                                                       .stdout)) for host, args in rows])
        # --command keeps each type once, in the order of the command types.
        text = vantrel("table", "--inventory", "-", "--command", "VLAN_LIST", *mac, "--command",
                       "VLAN_LIST", input=INVENTORY.rsplit("\r\n", 3)[0])
        self.assertEqual((text.returncode, text.stdout), (OK, (
            "10.0.0.11: cisco_ios 03.06.06E\n"
            "MAC_TABLE              show mac address-table\n"
            "VLAN_LIST              show vlan brief\n\n"
            "10.0.0.13: hpe_procurve KB.16.11.0012\n"
            "MAC_TABLE              show mac-address\n"
            "VLAN_LIST              show vlans\n")))

    def test_inventory_refusals(self):
        rows = [
            (["table"], "vendor,firmware\n", "stdin:1: no host column"),
            (["table"], "host,vendor\n", "stdin:1: no firmware column"),
            (["probe"], "", "stdin:1: no host column"),
            (["table"], "\nhost,vendor,firmware,host\n", "stdin:2: column host given twice"),
            (["table"], HEADER + "10.0.0.1,eos,4.22,\n",
             "stdin:2: 4 cells, more than the 3 columns of the header"),
            (["table"], HEADER + "10.0.0.1,,4.22\n", "stdin:2: column vendor: empty"),
            (["table"], HEADER + "10.0.0.1,eos\n", "stdin:2: column firmware: empty"),
            (["probe"], "vendor,host\neos,\n", "stdin:2: column host: empty"),
            (["table"], HEADER + "10.0.0.1,cisco_x,1.0\n",
             "stdin:2: column vendor: unknown vendor: cisco_x (did you mean cisco_xe?)"),
            (["table"], HEADER + "10.0.0.1,eos,switch-x\n",
             "stdin:2: column firmware: invalid firmware version 'switch-x'"),
            (["table", "--exact-firmware"], HEADER + "10.0.0.1,procurve,KB.16.11.0012\n",
             "stdin:2: column firmware: invalid firmware version 'KB.16.11.0012'"),
            (["probe"], "host\n10.0.0.0/24\n",
             "stdin:2: column host: '10.0.0.0/24' is not one host (a network or range)"),
            (["table"], HEADER + "10.0.0.1,eos,4.22\n\n10.0.0.1,eos,4.23\n",
             "stdin:4: column host: 10.0.0.1 is also on line 2"),
            (["probe"], 'host,vendor\n10.0.0.1,"e\x1bos"\n',
             "stdin:2: column vendor: holds a control character"),
            (["table"], 'host,vendor,firmware,interface\n10.0.0.1,eos,4.22,"Gi1\nreload"\n',
             "stdin:2: column interface: value of {interface} holds a control character (a line "
             "break would start another command)"),
            (["table", "--command", "PORT_VLAN_ASSIGN"],
             "host,vendor,firmware,interface\n10.0.0.1,cisco_ios,16.12.4,Gi1\n",
             "stdin:2: no value for {vlan_id} (give it in a column of that name)"),
            (["table"], HEADER + '"10.0.0.1,eos,4.22\n', "stdin:2: unterminated quote"),
            (["probe"], 'host\n"10.0.0.1"x\n', "stdin:2: text after a closing quote"),
            # The options an inventory takes the place of.
            (["probe", "127.0.0.1"], HEADER, "HOST excludes --inventory (see --help)"),
            (["probe", "--vendor", "eos"], HEADER, "--vendor excludes --inventory (see --help)"),
            (["table", "eos", "4.22"], HEADER, "VENDOR excludes --inventory (see --help)"),
            (["table", "--set", "x=1"], HEADER, "--set excludes --inventory (see --help)"),
            (["table", "--command", "mac_table"], HEADER,
             "unknown CommandType: mac_table (did you mean MAC_TABLE?)"),
        ]
        for args, text, message in rows:
            with self.subTest(args=args, text=text):
                result = vantrel(*args, "--inventory", "-", input=text)
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (USAGE, "", "vantrel: " + message + "\n"))

    def test_show(self):
        nulls = dict.fromkeys(["netconf", "restconf", "gnmi", "eapi", "rest_api", "snmp",
                               "dashboard_api"])
        with Directory({"lab.yaml": SHOWN}) as path:
            def show(*args):
                return vantrel("show", "lab", "v2.5", *args, "--dir", path)
            whole, text = show("ARP_TABLE", "--set", "vrf=mgmt", "--json"), show("ARP_TABLE")
            refused, refused_text = show("CIVIC_LOCATION", "--json"), show("CIVIC_LOCATION")
            no_block = show("HOSTNAME", "--json")
        self.assertEqual((whole.returncode, json.loads(whole.stdout)), (OK, {
            "vendor": "lab", "firmware": "v2.5", "firmware_used": "2.5", "command": "ARP_TABLE",
            "status": "text", "applies_to": ">=2.0", "cli": "show arp mgmt",
            "placeholders": ["vrf"], "reason": None, "sample_output": "10.0.0.1  aa\n",
            "parser_notes": "one row a host", "config_required": None, "notes": None,
            "unverified": True, "description": "Address table.",
            "alternatives": dict(nulls, gnmi={"path": "/arp", "firmware_required": None},
                                 rest_api={"method": "GET", "path": "/arp",
                                           "firmware_required": None,
                                           "body": {"depth": 2, "tags": ["a", 1]}})}))
        # The text form: the text, then a labelled section for each field there is.
        labels = [line for line in text.stdout.splitlines() if line.endswith(":")]
        self.assertEqual(labels, ["Applies to:", "Sample output:", "Parser notes:",
                                  "Unverified:", "Description:", "gNMI:", "REST API:"])
        self.assertTrue(text.stdout.startswith("show arp {vrf}\n\n"))
        self.assertIn('\n    body: {"depth":2,"tags":["a",1]}\n', text.stdout)
        # Without text: what there is, the reason whole under --json, one line on stderr.
        document = json.loads(refused.stdout)
        self.assertEqual((refused.returncode, document["status"], document["cli"],
                          document["notes"], document["alternatives"], document["reason"]),
                         (NEGATIVE, "not_supported", None, "No civic\nlocation.\n", nulls,
                          "CivicLocation is not supported on lab: No civic\nlocation.\n"))
        self.assertEqual((refused_text.returncode, refused_text.stderr),
                         (NEGATIVE, "vantrel: CivicLocation is not supported on lab: "
                                    "No civic location.\n"))
        self.assertIn("Notes:\n    No civic\n    location.\n", refused_text.stdout)
        document = json.loads(no_block.stdout)
        self.assertEqual((no_block.returncode, document["status"], document["applies_to"],
                          document["alternatives"]), (NEGATIVE, "no_block", None, nulls))

    def test_set_and_extra_dir(self):
        port = ["lookup", "meraki_ms", "switch-15-21", "PORT_VLAN_ASSIGN", "--set", "serial=Q",
                "--set", "portId=3"]
        result = vantrel(*port)
        self.assertEqual((result.returncode, result.stderr), (USAGE, (
            "vantrel: no value for {vlan_id} (give it with --set NAME=VALUE)\n")))
        # The JSON braces of the body are text; only {vlan_id} is filled.
        self.assertEqual(vantrel(*port, "--set", "vlan_id=10").stdout,
                         'PUT /devices/Q/switch/ports/3  body: {"type": "access", "vlan": 10}\n')
        # A name the text does not use: a warning, the output unchanged, even under --json.
        mac = ["meraki_ms", "switch-15-21", "MAC_TABLE", "--set", "serial=Q", "--set",
               "macTableId=7"]
        plain = vantrel("lookup", *mac, "--json")
        for args, scope in [(["lookup", *mac], "the text"), (["lookup", *mac, "--json"], "the text"),
                            (["table", "lab", "3.5", "--extra-dir", "$LAB", "--set",
                              "interface=e1"], "any text of the table")]:
            with self.subTest(args=args), Directory({"lab.yaml": vendor_file(
                    "lab", arp_block("cli: show arp {interface}"))}) as lab:
                result = vantrel(*[a.replace("$LAB", lab) for a in args], "--set", "bogus=1")
                self.assertEqual((result.returncode, result.stderr), (OK, (
                    "vantrel: warning: --set bogus is not a placeholder of %s\n" % scope)))
                if "--json" in args:
                    self.assertEqual(result.stdout, plain.stdout)
        replaced = {"eos.yaml": vendor_file("arista_eos", arp_block("cli: show arp here")),
                    "lab.yaml": LAB}
        with Directory(replaced) as path:
            bundled = vantrel("vendors").stdout.splitlines()
            self.assertEqual(vantrel("vendors", "--extra-dir", path).stdout.splitlines(),
                             bundled + ["lab"])
            self.assertEqual(vantrel("lookup", "eos", "4.22", "ARP_TABLE", "--extra-dir",
                                     path).stdout, "show arp here\n")
            listed = json.loads(vantrel("vendors", "--json", "--extra-dir", path).stdout)
            result = vantrel("table", "lab", "3.5", "--extra-dir", path, "--set", "x=1")
        self.assertEqual([(v["vendor"], v["commands"]) for v in listed][-2:],
                         [("meraki_ms", 25), ("lab", 4)])
        self.assertEqual(listed[bundled.index("arista_eos")]["commands"], 1)
        self.assertEqual((result.returncode, result.stderr), (USAGE, (
            "vantrel: no value for {interface} (give it with --set NAME=VALUE)\n")))
        result = vantrel("vendors", "--extra-dir", path)
        self.assertEqual((result.returncode, result.stderr), (FAULT, (
            "vantrel: catalog I/O error: %s: No such file or directory (os error 2)\n" % path)))

    def test_plan(self):
        with Directory({"lab.yaml": SHOWN}) as path, GnmiPort() as host:
            result = vantrel("plan", host, "127.0.0.1", "--vendor", "lab", "--firmware", "2.5",
                             "--dir", path, "--timeout", "1", "--json")
        self.assertEqual(result.returncode, OK, result.stderr)
        lines = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual([(r["host"], r["firmware"], list(r)[-2:], len(r["plan"])) for r in lines],
                         [(host, "2.5", ["ports", "plan"], 25),
                          ("127.0.0.1", "2.5", ["ports", "plan"], 25)])
        self.assertEqual(lines[0]["plan"][0]["ways"][0],
                         {"via": "gnmi", "path": "/arp", "firmware_required": None,
                          "firmware_checked": True})

    def test_plan_ways_are_judged_by_firmware_and_port(self):
        # 127.0.0.1 with SSH and NETCONF answering, and an HTTPS port; gNMI is
        # always closed. Per row: the plan's ways and the ways the firmware rules out.
        closed = ["--port", "gnmi=1"]
        with BannerPort() as ssh, BannerPort(banner=None) as https:
            both = ["--port", "ssh=%d" % ssh.port, "--port", "netconf=%d" % ssh.port,
                    "--port", "restconf=%d" % https.port]
            rows = [
                # 15.2 is below every protocol way's firmware_required.
                (["cisco_xe", "15.2(7)E4"], both, ["cli"], ["netconf", "restconf", "gnmi"]),
                (["cisco_xe", "16.12.4"], both, ["netconf", "restconf", "cli"], ["gnmi"]),
                # eAPI on the HTTPS port; EOS's NETCONF needs 4.24.
                (["eos", "4.22.1F"], both, ["eapi", "cli"], ["netconf", "gnmi"]),
                # The Dashboard API whatever answered, and never the CLI.
                (["meraki", "MS 15.21.1"], both, ["dashboard_api"], []),
                (["meraki", "MS 15.21.1"], [], ["dashboard_api"], []),
            ]
            for (vendor, firmware), ports, ways, excluded in rows:
                with self.subTest(vendor=vendor, firmware=firmware, ports=ports):
                    result = vantrel("plan", "127.0.0.1", "--vendor", vendor, "--firmware", firmware,
                                     "--command", "MAC_TABLE", *ports, *closed, "-t", "2", "--json")
                    self.assertEqual(result.returncode, OK, result.stderr)
                    [row] = json.loads(result.stdout)["plan"]
                    self.assertEqual(([w["via"] for w in row["ways"]],
                                      [w["via"] for w in row["excluded"]]), (ways, excluded))

    def test_plan_gives_the_lines_to_send_and_their_mode(self):
        with BannerPort() as ssh:
            rows = [
                # IOS's stored text does not enter configuration mode; EOS's does.
                (["cisco_xe", "16.12.4"], "PORT_SHUTDOWN",
                 {"mode": "config", "commands": ["interface {interface}", "shutdown"],
                  "session": {"enter": ["configure terminal"], "commit": [], "leave": ["end"]}}),
                (["eos", "4.22.1F"], "PORT_SHUTDOWN",
                 {"mode": "config", "commands": ["interface {interface}", "shutdown"],
                  "session": {"enter": ["configure terminal"], "commit": [], "leave": ["end"]}}),
                (["junos", "18.4R3"], "PORT_SHUTDOWN",
                 {"mode": "config", "commands": ["set interfaces {interface} disable"],
                  "session": {"enter": ["configure"], "commit": ["commit and-quit"],
                              "leave": []}}),
                (["eos", "4.22.1F"], "MAC_TABLE",
                 {"mode": "exec", "commands": ["show mac address-table"], "session": None}),
            ]
            for (vendor, firmware), command, expected in rows:
                with self.subTest(vendor=vendor, command=command):
                    result = vantrel("plan", "127.0.0.1", "--vendor", vendor, "--firmware", firmware,
                                     "--command", command, "--port", "ssh=%d" % ssh.port,
                                     "--json", "-t", "2")
                    [row] = json.loads(result.stdout)["plan"]
                    cli = row["ways"][-1]
                    self.assertEqual({k: cli[k] for k in expected}, expected)
                    self.assertEqual(cli["cli"], row["cli"])

    def test_plan_of_an_inventory(self):
        inventory = ("host,vendor,firmware,interface,site\n"
                     "127.0.0.1,eos,4.22.1F,Ethernet7,lab\n"
                     "127.0.0.3,junos,18.4R3,ge-0/0/7,lab\n"
                     "127.0.0.2,cisco_xe,03.06.06E,,lab\n")
        with BannerPort(hosts=("127.0.0.1", "127.0.0.3")) as ssh:
            result = vantrel("plan", "--inventory", "-", "--command", "PORT_SHUTDOWN",
                             "--port", "ssh=%d" % ssh.port, "-t", "2", "--json", input=inventory)
        self.assertEqual(result.returncode, OK, result.stderr)
        lines = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual([(h["host"], h["vendor"], h["firmware"], h["ports"]["gnmi"])
                          for h in lines],
                         [("127.0.0.1", "arista_eos", "4.22.1F", 6030),
                          ("127.0.0.3", "juniper_junos", "18.4R3", 32767),
                          ("127.0.0.2", "cisco_ios", "03.06.06E", 9339)])
        cli = [[(w["commands"], w["unfilled"]) for w in h["plan"][0]["ways"] if w["via"] == "cli"]
               for h in lines]
        self.assertEqual(cli, [[(["interface Ethernet7", "shutdown"], [])],
                               [(["set interfaces ge-0/0/7 disable"], [])],
                               []])  # nothing answers SSH on 127.0.0.2's port
        refused = vantrel("plan", "--inventory", "-", input="host,vendor,firmware\nh,eos,x.y\n")
        self.assertEqual((refused.returncode, refused.stderr),
                         (USAGE, "vantrel: stdin:2: column firmware: invalid firmware version "
                                 "'x.y'\n"))

    def test_plan_ports_and_command_types(self):
        result = vantrel("plan", "127.0.0.1", "--vendor", "eos", "--firmware", "4.22.1F",
                         "--command", "VERSION", "--command", "ARP_TABLE", "--command", "VERSION",
                         "-t", "1", "--json")
        document = json.loads(result.stdout)
        self.assertEqual([row["type"] for row in document["plan"]], ["ARP_TABLE", "VERSION"])
        # gNMI where EOS listens by default.
        self.assertEqual(document["ports"], {"ssh": 22, "netconf": 830, "gnmi": 6030,
                                             "restconf": 443})
        self.assertIn("gnmi:6030 ", " ".join(document["diagnostics"]))
        for args, message in [
                (["--port", "gnmi"], "--port: expected NAME=PORT, got 'gnmi'"),
                (["--port", "eapi=443"],
                 "--port: unknown probe step 'eapi' (steps: ssh, netconf, gnmi, restconf)"),
                (["--port", "ssh=70000"], "--port: ssh port '70000' is not a number from 1 to 65535"),
                (["--command", "MAC_TABEL"],
                 "--command: unknown CommandType: MAC_TABEL (did you mean MAC_TABLE?)")]:
            with self.subTest(args=args):
                result = vantrel("plan", "127.0.0.1", "--vendor", "eos", "--firmware", "4.22",
                                 *args)
                self.assertEqual((result.returncode, result.stderr),
                                 (USAGE, "vantrel: " + message + "\n"))

    def test_check_judges_every_file_and_the_compiled_in_ones(self):
        with Directory(CHECKED) as path:
            text = vantrel("check", path)
            result = vantrel("check", path, "--json")
        document = json.loads(result.stdout)
        self.assertEqual((text.returncode, result.returncode), (NEGATIVE, NEGATIVE))
        self.assertEqual(document["files"], ["a-first.yaml", "b-range.yaml", "b-shadow.yaml",
                                             "c-broken.yaml", "d-dup.yaml", "e-syntax.yaml"])
        self.assertEqual((document["errors"], document["warnings"]), (3, 9))
        found = [(f["file"], f["kind"], f["path"], f["line"], f["column"])
                 for f in document["findings"] if f["kind"] != "missing_type"]
        self.assertEqual(found, [
            ("b-range.yaml", "range", "commands[0].versions[0].applies_to", 8, 21),
            ("b-range.yaml", "marker_lookalike", "commands[0].versions[1].cli", 11, 14),
            ("b-range.yaml", "repeated_type", "commands[1].type", 13, 11),
            ("b-shadow.yaml", "shadowed_entry", "commands[0].versions[1].applies_to", 10, 21),
            ("c-broken.yaml", "rule", "commands[0].versions[0]", 8, 9),
            ("d-dup.yaml", "duplicate_vendor", "vendor", 1, 9),
            ("e-syntax.yaml", "syntax", None, 2, 1),
            ("f.yml", "ignored_file", None, None, None),
        ])
        self.assertEqual([f["file"] for f in document["findings"] if f["kind"] == "missing_type"],
                         ["a-first.yaml", "b-range.yaml", "b-shadow.yaml", "d-dup.yaml"])
        lines = text.stdout.splitlines()
        self.assertIn("d-dup.yaml: warning: vendor: vendor twin is also declared by a-first.yaml, "
                      "which this file replaces when the directory is loaded at line 1 column 9",
                      lines)
        self.assertEqual(lines[-1], "checked 6 files: 3 errors, 9 warnings")
        # The directory is gone now.
        result = vantrel("check", path)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (FAULT, "", (
            "vantrel: catalog I/O error: %s: No such file or directory (os error 2)\n" % path)))
        # The compiled-in files: one entry of the Arista file repeats the range of
        # the one before it, as its content was given.
        catalog = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "catalog")
        result = vantrel("check", catalog, "--json")
        document = json.loads(result.stdout)
        self.assertEqual((result.returncode, len(document["files"]), document["errors"],
                          document["warnings"]), (NEGATIVE, 7, 0, 1))
        self.assertEqual([(f["file"], f["kind"], f["path"]) for f in document["findings"]],
                         [("arista-eos.yaml", "shadowed_entry",
                           "commands[11].versions[1].applies_to")])

    def test_probe_reports_in_host_order(self):
        refused = []
        for _ in range(2):
            with GnmiPort() as host:
                refused.append(host)  # closed again: its port now refuses
        with GnmiPort() as open_1, GnmiPort() as open_2:
            # A host given twice is probed once.
            result = vantrel("probe", "--json", "--jobs", "3", *GNMI_ONLY, "--vendor", "lab",
                             refused[0], open_1, refused[1], open_2, refused[0])
            text = vantrel("probe", *GNMI_ONLY, refused[0])
        self.assertEqual((result.returncode, result.stderr), (OK, ""))
        self.assertEqual([(r["host"], r["vendor"], r["gnmi_available"], r["diagnostics"])
                          for r in without_elapsed(result.stdout)],
                         [(refused[0], "lab", False, ["gnmi:9339 " + REFUSED]),
                          (open_1, "lab", True, []),
                          (refused[1], "lab", False, ["gnmi:9339 " + REFUSED]),
                          (open_2, "lab", True, [])])
        self.assertTrue(text.stdout.startswith(refused[0] + ": ssh skipped, netconf skipped, gnmi no"))

    def test_probe_an_inventory(self):
        with GnmiPort() as refused:
            pass  # closed again: its port now refuses
        with GnmiPort() as listening:
            result = vantrel("probe", "--inventory", "-", "--json", *GNMI_ONLY,
                             input="vendor,host\ncisco_xe,%s\n,%s\n" % (listening, refused))
        self.assertEqual((result.returncode, result.stderr), (OK, ""))
        self.assertEqual([(r["host"], r["vendor"], r["gnmi_available"])
                          for r in without_elapsed(result.stdout)],
                         [(listening, "cisco_xe", True), (refused, "", False)])

    def test_probe_targets_from_files(self):
        targets = "# rack 3\n127.0.3.0/24\n\n127.0.4.1-120  # rack 4\n127.0.3.9\n"
        with Directory({"t.txt": targets}) as path:
            result = vantrel("probe", "-T", os.path.join(path, "t.txt"), "--json", "-j", "64",
                             "-t", "1", "--summary", *GNMI_ONLY)
        hosts = ["127.0.3.%d" % i for i in range(1, 255)] + ["127.0.4.%d" % i for i in range(1, 121)]
        *reports, summary = result.stdout.splitlines()
        self.assertEqual((result.returncode, [json.loads(r)["host"] for r in reports]), (OK, hosts))
        self.assertEqual(json.loads(summary)["summary"]["nothing_reachable"], len(hosts))
        result = vantrel("probe", "-T", "-", input="127.0.0.1\n10.0.0.0/8\n")
        self.assertEqual((result.returncode, result.stdout, result.stderr), (USAGE, "", (
            "vantrel: stdin:2: target '10.0.0.0/8': networks larger than /16 are refused\n")))

    def test_probe_keeps_within_the_open_file_limit(self):
        # Every probe holds its socket while its connection attempt waits.
        # Beyond the limit, socket() would fail and the host would be
        # reported unreachable.
        def low_limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (24, 24))

        with contextlib.ExitStack() as stack:
            hosts = [stack.enter_context(GnmiPort(full=True)) for _ in range(24)]
            result = vantrel("probe", "--json", "--jobs", "24", "--timeout", "0.2", *GNMI_ONLY,
                             *hosts, preexec_fn=low_limit)
        self.assertEqual(result.returncode, OK, result.stderr)
        lines = {line for r in without_elapsed(result.stdout) for line in r["diagnostics"]}
        self.assertEqual(len(result.stdout.splitlines()), 24)
        self.assertEqual(len(lines), 1, lines)
        self.assertNotIn("Too many open files", lines.pop())

    def test_probe_progress_line_only_on_a_terminal(self):
        args = ["probe", "--json", "--skip", "ssh,netconf,gnmi,restconf", "a", "b", "c"]
        piped = vantrel(*args)
        self.assertEqual((piped.returncode, piped.stderr, len(piped.stdout.splitlines())),
                         (OK, "", 3))
        controller, terminal = pty.openpty()
        result = vantrel(*args, stderr=terminal)
        os.close(terminal)
        seen = b""
        try:
            while (select.select([controller], [], [], 1)[0]
                   and (chunk := os.read(controller, 4096))):
                seen += chunk
        except OSError:  # the terminal side is closed and drained
            pass
        finally:
            os.close(controller)
        self.assertEqual(result.returncode, OK)
        self.assertIn(b"probed 3 of 3 hosts", seen)
        self.assertTrue(seen.endswith(b"\r\x1b[K"), seen)  # cleared at the end
        self.assertEqual(without_elapsed(result.stdout), without_elapsed(piped.stdout))


if __name__ == "__main__":
    unittest.main()
