"""The Catalog class at the Python boundary: construction, load_dir's choice of
files and its failures, and the mapping of lookup outcomes to cli()'s results."""
import os
import pathlib
import unittest

from orvane_vantrel._native import Catalog

from fixtures import FIFO, LAB_COMMANDS, Directory, vendor_file


class Text(str):
    pass


class TypeShape(unittest.TestCase):
    def test_construction(self):
        with self.assertRaisesRegex(TypeError, "^No constructor defined$"):
            Catalog()
        for misuse in [lambda: type("Sub", (Catalog,), {}), lambda: Catalog.vendors(object())]:
            self.assertRaises(TypeError, misuse)
        first, second = Catalog.load_bundled(), Catalog.load_bundled()
        self.assertIsNot(first, second)
        self.assertEqual(first.vendors(), second.vendors())
        self.assertEqual(len(first.vendors()), 7)


class LoadDir(unittest.TestCase):
    def test_which_files_are_read_and_which_wins(self):
        broken = "vendor: [\n"
        rows = [
            ({"a.yml": broken, "README.md": broken, "x.YAML": broken, ".yaml": broken,
              "yaml": broken, "a.yaml.bak": broken, "sub": None}, []),
            # The later file of a vendor replaces the earlier in its place.
            ({"1.yaml": vendor_file("x"), "2.yaml": vendor_file("y"),
              "3.yaml": vendor_file("x", LAB_COMMANDS), "a.b.yaml": vendor_file("ab")},
             ["x", "y", "ab"]),
        ]
        for files, vendors in rows:
            with Directory(files) as path:
                catalog = Catalog.load_dir(Text(path))
            self.assertEqual(catalog.vendors(), vendors)
        self.assertEqual(catalog.cli("x", "2.5", "ARP_TABLE"), "show arp")
        with Directory({"real.txt": vendor_file("linked")}) as path:
            os.symlink(os.path.join(path, "real.txt"), os.path.join(path, "v.yaml"))
            self.assertEqual(Catalog.load_dir(path=path).vendors(), ["linked"])

    def test_load_failures_name_the_file_never_the_path(self):
        bad = vendor_file("bad", "commands:\n  - type: ARP_TABLE\n    versions:\n"
                                 "      - applies_to: '*'\n")
        rows = [
            ({"a.yaml": vendor_file("a"), "bad.yaml": bad},
             "catalog parse error in bad.yaml: commands[0].versions[0]: missing field `cli` "
             "at line 8 column 9"),
            ({b"\xff.yaml".decode("utf-8", "surrogateescape"): ""},
             "catalog parse error in ?: missing field `vendor`"),
            ({"sub.yaml": None}, "catalog I/O error: Is a directory (os error 21)"),
            ({"a.yaml": b"vendor: \xff\n"}, "catalog I/O error: stream did not contain valid UTF-8"),
            # A FIFO fails instead of blocking the load.
            ({"x.yaml": FIFO}, "catalog I/O error: not a regular file"),
            (None, "catalog I/O error: No such file or directory (os error 2)"),
        ]
        for files, message in rows:
            with self.subTest(files=files and list(files)):
                with Directory(files or {}) as path:
                    with self.assertRaises(ValueError) as caught:
                        Catalog.load_dir(path if files else os.path.join(path, "missing"))
                self.assertEqual(caught.exception.args, (message,))
                self.assertIsNone(caught.exception.__cause__)


class Cli(unittest.TestCase):
    def test_outcomes(self):
        with Directory({"lab.yaml": vendor_file("lab", LAB_COMMANDS)}) as path:
            catalog = Catalog.load_dir(path)
        load_dir = Catalog.load_dir
        rows = [
            ((pathlib.Path("/"),), TypeError(
                "argument 'path': 'PosixPath' object cannot be converted to 'PyString'"), load_dir),
            (("a", "b"), TypeError(
                "Catalog.load_dir() takes 1 positional arguments but 2 were given"), load_dir),
            (("\udc80",), UnicodeEncodeError("utf-8", "\udc80", 0, 1, "surrogates not allowed"),
             load_dir),
            (("lab", "2.1", "ARP_TABLE"), "show arp"),
            ((Text("lab"), Text("2"), "ARP_TABLE"), "show arp"),
            (("lab", "1.0", "ARP_TABLE"), ValueError('no entry for lab Some("1.0") ArpTable')),
            (("lab", "1", "MAC_TABLE"), KeyError("no entry for lab MacTable")),
            (("lab", "x", "MAC_TABLE"), ValueError("invalid firmware version 'x'")),
            (("lab", "1", "CIVIC_LOCATION"), ValueError("CivicLocation is not supported on lab: ")),
            (("lab", "1", "VERSION"), ValueError(
                "invalid version range '1..2': can't parse '1..2': invalid firmware version '1..2'")),
            (("nobody", "x", "ARP_TABLE"), ValueError("unknown vendor: nobody")),
            (("nobody", "x", "ArpTable"), ValueError("unknown CommandType: ArpTable")),
            (("lab", None, 3), TypeError(
                "argument 'firmware': 'NoneType' object cannot be converted to 'PyString'")),
            ((), TypeError("Catalog.cli() missing 3 required positional arguments: 'vendor', "
                           "'firmware', and 'command'")),
            (("lab", "1"), TypeError(
                "Catalog.cli() missing 1 required positional argument: 'command'")),
        ]
        for args, expected, *call in rows:
            with self.subTest(args=args):
                try:
                    got = (call[0] if call else catalog.cli)(*args)
                except (ValueError, KeyError, TypeError) as error:
                    got = error
                self.assertEqual((type(got), str(got)), (type(expected), str(expected)))
        self.assertEqual(catalog.cli(vendor="lab", firmware="2", command="ARP_TABLE"), "show arp")


if __name__ == "__main__":
    unittest.main()
