"""The Catalog class: construction, loading from a directory, and cli()."""
import os
import pathlib
import unittest

from orvane_vantrel._native import Catalog

from vendor_fixtures import BUNDLED_VENDORS, FIFO, LAB_COMMANDS, Directory, vendor_file


class Text(str):
    pass


class TypeShape(unittest.TestCase):
    def test_methods_and_construction(self):
        self.assertEqual(
            [(name, getattr(Catalog, name).__text_signature__)
             for name in ("load_bundled", "load_dir", "vendors", "cli")],
            [("load_bundled", "()"), ("load_dir", "(path)"), ("vendors", "($self)"),
             ("cli", "($self, vendor, firmware, command)")])
        with self.assertRaisesRegex(TypeError, "^No constructor defined$"):
            Catalog()
        with self.assertRaises(TypeError):
            type("Sub", (Catalog,), {})
        with self.assertRaises(TypeError):
            Catalog.vendors(object())

    def test_bundled_loads_are_independent(self):
        first, second = Catalog.load_bundled(), Catalog.load_bundled()
        self.assertIsNot(first, second)
        self.assertEqual(first.vendors(), BUNDLED_VENDORS)
        self.assertEqual(first.vendors(), second.vendors())


class LoadDir(unittest.TestCase):
    def load(self, files):
        with Directory(files) as path:
            return Catalog.load_dir(path).vendors()

    def error(self, files):
        with Directory(files) as path:
            with self.assertRaises(ValueError) as caught:
                Catalog.load_dir(path)
        self.assertEqual(len(caught.exception.args), 1)
        self.assertIsNone(caught.exception.__cause__)
        return caught.exception.args[0]

    def test_which_files_are_read(self):
        broken = "vendor: [\n"
        self.assertEqual(self.load({}), [])
        self.assertEqual(self.load({"a.yml": broken, "README.md": broken, "x.YAML": broken,
                                    ".yaml": broken, "yaml": broken, "a.yaml.bak": broken,
                                    "sub": None}), [])
        self.assertEqual(self.load({"a.b.yaml": vendor_file("ab")}), ["ab"])

    def test_later_file_replaces_in_place(self):
        files = {"1.yaml": vendor_file("x", "commands: []\n"),
                 "2.yaml": vendor_file("y"),
                 "3.yaml": vendor_file("x", LAB_COMMANDS)}
        with Directory(files) as path:
            catalog = Catalog.load_dir(path)
        self.assertEqual(catalog.vendors(), ["x", "y"])
        self.assertEqual(catalog.cli("x", "2.5", "ARP_TABLE"), "show arp")

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
        ]
        for files, message in rows:
            with self.subTest(files=list(files)):
                self.assertEqual(self.error(files), message)
        with self.assertRaises(ValueError) as caught:
            Catalog.load_dir("/nonexistent/vendor/files")
        self.assertEqual(caught.exception.args,
                         ("catalog I/O error: No such file or directory (os error 2)",))

    def test_symlink_to_file_is_read(self):
        with Directory({"real.txt": vendor_file("linked")}) as path:
            os.symlink(os.path.join(path, "real.txt"), os.path.join(path, "v.yaml"))
            self.assertEqual(Catalog.load_dir(path).vendors(), ["linked"])

    def test_path_argument(self):
        with Directory({"a.yaml": vendor_file("a")}) as path:
            self.assertEqual(Catalog.load_dir(path=Text(path)).vendors(), ["a"])
            with self.assertRaises(TypeError) as caught:
                Catalog.load_dir(pathlib.Path(path))
        self.assertEqual(str(caught.exception),
                         "argument 'path': 'PosixPath' object cannot be converted to 'PyString'")
        with self.assertRaises(UnicodeEncodeError):
            Catalog.load_dir("\udc80")


class Cli(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with Directory({"lab.yaml": vendor_file("lab", LAB_COMMANDS),
                        "bad.yaml": vendor_file("bad", "commands:\n- type: VERSION\n"
                                                "  versions:\n  - {applies_to: '>=x', cli: v}\n"
                                                )}) as path:
            cls.catalog = Catalog.load_dir(path)

    def outcome(self, vendor, firmware, command):
        try:
            return self.catalog.cli(vendor, firmware, command)
        except (ValueError, KeyError) as error:
            self.assertEqual(len(error.args), 1)
            return type(error).__name__, error.args[0]

    def test_outcomes(self):
        cases = [
            ("lab", "2.1", "ARP_TABLE", "show arp"),
            ("lab", "1.0", "ARP_TABLE",
             ("ValueError", 'no entry for lab Some("1.0") ArpTable')),
            ("lab", "1", "MAC_TABLE", ("KeyError", "no entry for lab MacTable")),
            ("lab", "x", "MAC_TABLE", ("ValueError", "invalid firmware version 'x'")),
            ("lab", "1", "CIVIC_LOCATION",
             ("ValueError", "CivicLocation is not supported on lab: ")),
            ("bad", "1", "VERSION", ("ValueError", "invalid version range '>=x': can't parse "
                                     "'x': invalid firmware version 'x'")),
            ("nobody", "x", "ARP_TABLE", ("ValueError", "unknown vendor: nobody")),
            ("nobody", "x", "ArpTable", ("ValueError", "unknown CommandType: ArpTable")),
        ]
        for vendor, firmware, command, expected in cases:
            with self.subTest(vendor=vendor, firmware=firmware, command=command):
                self.assertEqual(self.outcome(vendor, firmware, command), expected)

    def test_binding(self):
        self.assertEqual(self.catalog.cli(Text("lab"), firmware=Text("2"), command="ARP_TABLE"),
                         "show arp")
        with self.assertRaises(TypeError) as caught:
            self.catalog.cli("lab", None, 3)
        self.assertEqual(str(caught.exception),
                         "argument 'firmware': 'NoneType' object cannot be converted to 'PyString'")


if __name__ == "__main__":
    unittest.main()
