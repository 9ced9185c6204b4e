"""The package's functions: their results are the tool's --json documents, and
the boundary maps arguments, refusals and fleet iteration as documented."""
import json
import os
import subprocess
import tempfile
import threading
import time
import unittest
import warnings

import orvane_vantrel as ov
from fixtures import LAB_COMMANDS, Directory, GnmiPort, vendor_file

TOOL = os.environ.get("VANTREL_TOOL")
ALL_STEPS = ["ssh", "netconf", "gnmi", "restconf"]
OTHERS_THAN_GNMI = ["ssh", "netconf", "restconf"]


def tool_documents(*args):
    """The JSON documents vantrel prints for `args`, one per line or one whole."""
    out = subprocess.run([TOOL, *args, "--json"], capture_output=True, text=True, timeout=60).stdout
    try:
        return [json.loads(out)]
    except json.JSONDecodeError:
        return [json.loads(line) for line in out.splitlines()]


class Outer:
    class Inner:
        pass


def without_elapsed(documents):
    return [{k: v for k, v in d.items() if k != "elapsed_ms"} for d in documents]


@unittest.skipUnless(TOOL, "VANTREL_TOOL names the vantrel of the same build")
class SameDocumentsAsTheTool(unittest.TestCase):
    def test_each_function_against_its_subcommand(self):
        catalog = ov.Catalog.load_bundled()
        template_text = ("Value Filldown Vlan (\\d+)\nValue List Ports (\\S+)\n\nStart\n"
                         "  ^vlan ${Vlan}\n  ^ port ${Ports}\n  ^end -> Record\n")
        output = "vlan 10\n port e1\n port e2\nend\nvlan 20\nstray\n"
        eos_version = "Arista DCS-7050TX-64\nSoftware image version: 4.22.1F\n"
        inventory = "host,vendor,firmware\n127.0.0.1,eos,4.22.1F\n127.0.0.2,procurve,KB.16.11.0012\n"
        with Directory({"lab.yaml": vendor_file("lab", LAB_COMMANDS), "t.textfsm": template_text,
                        "out.txt": output, "version.txt": eos_version,
                        "inventory.csv": inventory}) as lab, \
                tempfile.NamedTemporaryFile("w", suffix=".txt") as targets:
            targets.write("127.0.0.1-3\n# rack\n127.0.0.2\n")
            targets.flush()
            rows = [
                (lambda: [ov.lookup(catalog, "cisco_xe", "KB.16.11.0012", "MAC_TABLE")],
                 ["lookup", "cisco_xe", "KB.16.11.0012", "MAC_TABLE"]),
                (lambda: [ov.lookup(None, "meraki", "MS 15.21.1", "MAC_TABLE",
                                    settings={"serial": "Q2", "macTableId": "7"})],
                 ["lookup", "meraki", "MS 15.21.1", "MAC_TABLE", "--set", "serial=Q2",
                  "--set", "macTableId=7"]),
                (lambda: [ov.show(catalog, "eos", "4.22.1F", "CIVIC_LOCATION")],
                 ["show", "eos", "4.22.1F", "CIVIC_LOCATION"]),
                (lambda: [ov.show(ov.Catalog.load_dir(lab), "lab", "v3.1", "ARP_TABLE",
                                  exact_firmware=False)],
                 ["show", "lab", "v3.1", "ARP_TABLE", "--dir", lab]),
                (lambda: [ov.table(catalog, "procurve", "KB.16.11.0012")],
                 ["table", "procurve", "KB.16.11.0012"]),
                (lambda: [ov.vendors()], ["vendors"]),
                (lambda: [ov.vendors(aliases=True)], ["vendors", "--aliases"]),
                (lambda: [ov.matrix(catalog)], ["matrix"]),
                (lambda: [ov.schema()], ["schema"]),
                (lambda: [ov.check(lab)], ["check", lab]),
                (lambda: without_elapsed(ov.probe_many(
                    ov.expand_targets("127.0.0.1-3\n# rack\n127.0.0.2\n".splitlines()),
                    skip=ALL_STEPS)),
                 ["probe", "-T", targets.name, "--skip", "ssh,netconf,gnmi,restconf"]),
                (lambda: without_elapsed(ov.probe_many(inventory=inventory, skip=ALL_STEPS)),
                 ["probe", "--inventory", os.path.join(lab, "inventory.csv"), "--skip",
                  "ssh,netconf,gnmi,restconf"]),
                (lambda: [dict(host=row["host"], **ov.table(catalog, row["vendor"], row["firmware"],
                                                            settings=row["values"]))
                          for row in ov.read_inventory(catalog, inventory)],
                 ["table", "--inventory", os.path.join(lab, "inventory.csv")]),
                (lambda: without_elapsed(ov.plan(catalog, ["127.0.0.1"], "eos", "4.22.1F",
                                                 timeout_seconds=0.5)),
                 ["plan", "127.0.0.1", "--vendor", "eos", "--firmware", "4.22.1F", "-t", "0.5"]),
                (lambda: without_elapsed(ov.plan(catalog, ["127.0.0.1"], "junos", "18.4R3",
                                                 commands=["PORT_SHUTDOWN", "MAC_TABLE"],
                                                 ports={"ssh": 1, "gnmi": 2},
                                                 timeout_seconds=0.5)),
                 ["plan", "127.0.0.1", "--vendor", "junos", "--firmware", "18.4R3", "-t", "0.5",
                  "--command", "PORT_SHUTDOWN", "--command", "MAC_TABLE", "--port", "ssh=1",
                  "--port", "gnmi=2"]),
                (lambda: [ov.Template(template_text).parse(output)],
                 ["parse", "--template", os.path.join(lab, "t.textfsm"),
                  os.path.join(lab, "out.txt")]),
                (lambda: [ov.parse(catalog, "eos", "4.22.1F", "VERSION", eos_version)],
                 ["parse", "eos", "4.22.1F", "VERSION", os.path.join(lab, "version.txt")]),
            ]
            for call, args in rows:
                with self.subTest(args=args):
                    tool = tool_documents(*args)
                    if args[0] in ("probe", "plan"):
                        tool = without_elapsed(tool)
                    self.assertEqual(call(), tool)


class Inventory(unittest.TestCase):
    def test_rows_name_the_catalog_vendor_and_the_placeholder_values(self):
        text = "host,vendor,firmware,serial,site name,portId\n10.0.0.14,meraki,MS 15.21.1,Q2,x,\n"
        self.assertEqual(ov.read_inventory(None, text), [
            {"line": 2, "host": "10.0.0.14", "vendor": "meraki_ms", "firmware": "MS 15.21.1",
             "values": {"serial": "Q2"}}])


class Refusals(unittest.TestCase):
    def test_a_settings_name_no_text_uses_is_a_user_warning(self):
        mac = (None, "cisco_ios", "16.12.4", "MAC_TABLE")
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            document = ov.lookup(*mac, settings={"bogus": "1"})
        self.assertEqual(document, ov.lookup(*mac))
        self.assertEqual([(w.category, str(w.message)) for w in caught],
                         [(UserWarning, "settings: bogus is not a placeholder of the text")])
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            with self.assertRaises(UserWarning):
                ov.show(*mac, settings={"bogus": "1"})

    def test_each_refusal_and_its_exception(self):
        catalog = ov.Catalog.load_bundled()
        rows = [
            (lambda: ov.lookup(catalog, "cisco_x", "1.0", "MAC_TABLE"), ValueError,
             "unknown vendor: cisco_x (did you mean cisco_xe?)"),
            (lambda: ov.lookup(catalog, "eos", "4.22", "mac_table"), ValueError,
             "unknown CommandType: mac_table (did you mean MAC_TABLE?)"),
            (lambda: ov.table(catalog, "eos", "switch-x"), ValueError,
             "invalid firmware version 'switch-x'"),
            (lambda: ov.lookup(catalog, "cisco_ios", "16.12.4", "PORT_SHUTDOWN",
                               settings={"vlan_id": "5"}), ValueError,
             "no value for {interface}"),
            (lambda: ov.lookup(catalog, "eos", "4.22", "VERSION", settings={"a b": "x"}),
             ValueError, "not a placeholder name: 'a b' (a name such as interface)"),
            (lambda: ov.table(catalog, "eos", "4.22", settings={"x": "a\rb"}), ValueError,
             "value of {x} holds a control character (a line break would start another "
             "command)"),
            (lambda: ov.expand_targets(["127.0.0.1", "", "10.0.0.0/8"]), ValueError,
             "line 3: target '10.0.0.0/8': networks larger than /16 are refused"),
            (lambda: ov.check("/nonexistent/vendor-files"), ValueError,
             "catalog I/O error: /nonexistent/vendor-files: No such file or directory "
             "(os error 2)"),
            (lambda: ov.probe_many(["h"], timeout_seconds=0), ValueError,
             "timeout_seconds: expected a positive number of seconds"),
            (lambda: ov.probe_many(["h"], skip=["telnet"]), ValueError,
             "skip: unknown probe step 'telnet' (steps: ssh, netconf, gnmi, restconf)"),
            (lambda: ov.probe_many(["h"], jobs=0), ValueError,
             "jobs: expected 1 to 16384 hosts at a time"),
            (lambda: ov.plan(catalog, ["127.0.0.1"], "nope", "1.0"), ValueError,
             "unknown vendor: nope"),
            (lambda: ov.plan(catalog, ["h"], "eos", "4.22", ports={"ssh": 0}), ValueError,
             "ports: ssh port '0' is not a number from 1 to 65535"),
            (lambda: ov.probe_many(["h"], ports={"ssh": True}), TypeError,
             "argument 'ports': 'bool' object cannot be converted to 'int'"),
            (lambda: ov.plan(catalog, ["h"], "eos", "4.22", commands=["MAC_TABEL"]), ValueError,
             "unknown CommandType: MAC_TABEL (did you mean MAC_TABLE?)"),
            (lambda: ov.read_inventory(catalog, "host,vendor,firmware\nh,cisco_x,1\n",
                                       name="a.csv"), ValueError,
             "a.csv:2: column vendor: unknown vendor: cisco_x (did you mean cisco_xe?)"),
            (lambda: ov.plan(catalog, inventory="host,vendor,firmware\nh,eos,x.y\n"), ValueError,
             "inventory:2: column firmware: invalid firmware version 'x.y'"),
            (lambda: ov.plan(catalog, ["h"], inventory="host\nh\n"), TypeError,
             "plan() takes either hosts, vendor and firmware or inventory"),
            (lambda: ov.probe_many(["h"], inventory="host\nh\n"), TypeError,
             "probe_many() takes either hosts or inventory"),
            (lambda: ov.probe_many(inventory="host\nh\n", vendor="eos"), TypeError,
             "probe_many() takes no vendor with an inventory: each row names its own"),
            (lambda: ov.lookup(Outer.Inner(), "eos", "4.22", "VERSION"), TypeError,
             "argument 'catalog': 'Outer.Inner' object cannot be converted to 'Catalog'"),
            (lambda: ov.lookup(catalog, "eos", "4.22", "VERSION", settings=["x"]), TypeError,
             "argument 'settings': 'list' object cannot be converted to 'Mapping'"),
            (lambda: ov.table(catalog, "eos", "4.22", exact_firmware=1), TypeError,
             "argument 'exact_firmware': 'int' object cannot be converted to 'PyBool'"),
            (lambda: ov.probe_many("127.0.0.1"), TypeError,
             "argument 'hosts': 'str' object cannot be converted to 'Iterable[str]'"),
            (lambda: ov.Template("Value X (a\n\nStart\n  ^${X}\n"), ValueError, None),
            (lambda: ov.parse(catalog, "cisco_ios", "15.2(7)E4", "HARDWARE_IDENTITY", "x"),
             ValueError, "expected 2 answers, one per command (show inventory; show version), "
                         "got 1"),
            (lambda: ov.table(catalog, "eos", "4.22", {}), TypeError,
             "table() takes 3 positional arguments but 4 were given"),
        ]
        for call, kind, message in rows:
            with self.subTest(message=message):
                with self.assertRaises(kind) as caught:
                    call()
                self.assertIs(type(caught.exception), kind)
                if message is not None:
                    self.assertEqual(caught.exception.args, (message,))


class Fleet(unittest.TestCase):
    def test_reports_come_in_host_order_while_other_threads_run(self):
        with GnmiPort(full=True) as silent:
            ticks = []
            stop = threading.Event()
            ticker = threading.Thread(target=lambda: [ticks.append(1) or time.sleep(0.01)
                                                      for _ in iter(stop.is_set, True)],
                                      daemon=True)
            ticker.start()
            hosts = [silent, "127.0.0.1", "::1"]
            try:
                reports = list(ov.probe_many(hosts, timeout_seconds=0.5, skip=OTHERS_THAN_GNMI))
            finally:
                stop.set()
                ticker.join()
        self.assertEqual([r["host"] for r in reports], hosts)
        self.assertEqual([r["gnmi_available"] for r in reports], [False, False, False])
        # The silent host held the first place for its whole timeout: the
        # other thread ran all the while.
        self.assertGreater(len(ticks), 10)

    def test_closing_early_stops_the_probing(self):
        with GnmiPort(full=True) as silent:
            fleet = ov.probe_many([silent] * 4, timeout_seconds=30, skip=OTHERS_THAN_GNMI)
            time.sleep(0.3)  # the probes are under way, their connects waiting
            started = time.monotonic()
            fleet.close()
            self.assertLess(time.monotonic() - started, 5)
            self.assertEqual(list(fleet), [])


if __name__ == "__main__":
    unittest.main()
