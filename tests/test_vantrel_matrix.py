"""vantrel matrix and vantrel schema, run as a user runs them. VANTREL names
the binary; the schema is checked with Debian's python3-jsonschema."""
import copy
import glob
import html.parser
import json
import os
import re
import subprocess
import unittest

try:
    import yaml
except ImportError:  # the pyenv interpreters, which have no VANTREL either
    yaml = None

from fixtures import Directory, vendor_file

VANTREL = os.environ.get("VANTREL")
CATALOG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "catalog")


def vantrel(*args):
    run = subprocess.run([VANTREL, *args], capture_output=True, text=True, timeout=60)
    return run.returncode, run.stdout


# One vendor with a cell of every state; a second that lacks every block.
STATES = vendor_file("lab", """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=2.0 || <1.0"
        cli: show arp
    protocol_alternatives: {gnmi: {path: /arp}, snmp: {oid: 1.3.6}}
  - type: MAC_TABLE
    versions:
      - applies_to: ">=3.0"
        cli: show mac
      - applies_to: "*"
        cli: NOT_SUPPORTED
        notes: 'before 3.0 | never <b>"quoted"</b> &lt; & &amp;'
  - type: VERSION
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
  - type: HOSTNAME
    versions: []
""")


def lower_bound(applies_to):
    """A firmware inside the range: its first lower bound, or any for "*"."""
    found = re.match(r">=([^,|]+)", applies_to)
    return found.group(1).strip() if found else "0.1"


class Tag(html.parser.HTMLParser):
    """Rows of the table body, header cells, every tag with its attributes,
    and the page's text."""

    def __init__(self):
        super().__init__()
        self.tags, self.rows, self.head, self.text = [], [], 0, []
        self.section = None

    def handle_data(self, data):
        self.text.append(data)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))
        if tag in ("thead", "tbody"):
            self.section = tag
        elif tag == "th" and self.section == "thead":
            self.head += 1
        elif tag == "tr" and self.section == "tbody":
            self.rows.append([])
        elif tag == "td" and self.section == "tbody":
            self.rows[-1].append(dict(attrs))


@unittest.skipUnless(VANTREL, "VANTREL names no vantrel binary")
class Matrix(unittest.TestCase):
    def test_json_cells_agree_with_lookups(self):
        status, out = vantrel("matrix", "--format", "json")
        self.assertEqual(status, 0)
        matrix = json.loads(out)
        vendors = [v["vendor"] for v in matrix["vendors"]]
        self.assertEqual(len(vendors), 7)
        self.assertEqual(len(matrix["rows"]), 25)
        tables = {}

        def table(vendor, firmware):
            if (vendor, firmware) not in tables:
                code, text = vantrel("table", vendor, firmware, "--exact-firmware", "--json")
                tables[vendor, firmware] = {r["type"]: r for r in json.loads(text)["commands"]}
            return tables[vendor, firmware]

        states = set()
        for row in matrix["rows"]:
            for cell in row["cells"]:
                states.add(cell["status"])
                if cell["status"] == "no_block":
                    self.assertEqual(table(cell["vendor"], "0.1")[row["type"]]["status"], "no_block")
                for entry in cell["entries"]:
                    answer = table(cell["vendor"], lower_bound(entry["applies_to"]))[row["type"]]
                    where = (cell["vendor"], row["type"], entry["applies_to"])
                    if entry["supported"]:
                        self.assertEqual(answer["status"], "text", where)
                    else:
                        self.assertEqual(answer["status"], "not_supported", where)
        self.assertLessEqual({"text", "not_supported"}, states)

    def test_states_and_forms_on_a_directory(self):
        files = {"lab.yaml": STATES, "zz.yaml": vendor_file("bare")}
        with Directory(files) as folder:
            forms = {f: vantrel("matrix", "--dir", folder, "--format", f) for f in
                     ("text", "markdown", "html", "json")}
            self.assertEqual(vantrel("matrix", "--dir", folder, "--json"), forms["json"])
            self.assertEqual(vantrel("matrix", "--dir", folder, "--format", "pdf")[0], 2)
        self.assertEqual({code for code, _ in forms.values()}, {0})
        rows = {r["type"]: r["cells"] for r in json.loads(forms["json"][1])["rows"]}
        expected = {"ARP_TABLE": "text", "MAC_TABLE": "partial", "VERSION": "not_supported",
                    "HOSTNAME": "no_entry", "VLAN_LIST": "no_block"}
        for kind, status in expected.items():
            self.assertEqual([c["status"] for c in rows[kind]], [status, "no_block"], kind)
        self.assertEqual(rows["ARP_TABLE"][0]["alternatives"], ["gnmi", "snmp"])
        # Markup, quotes and ampersands, even ones that read as entities, are text.
        why = 'before 3.0 | never <b>"quoted"</b> &lt; & &amp;'
        self.assertEqual(rows["MAC_TABLE"][0]["entries"][1]["notes"], why)

        text = forms["text"][1].splitlines()
        self.assertEqual(text[0].split(), ["COMMAND", "TYPE", "lab", "bare"])
        self.assertEqual(text[1].split(), ["ARP_TABLE", ">=2.0", "||", "<1.0", "[GS]", "-"])
        self.assertEqual(text[2].split(), ["MAC_TABLE", ">=3.0;", "NS:*", "-"])
        # Every markdown row has one cell per vendor and the type: a "||"
        # inside a range must not split its cell.
        table_rows = [line for line in forms["markdown"][1].splitlines() if line.startswith("|")]
        self.assertEqual(len(table_rows), 27)
        for line in table_rows:
            self.assertEqual(len(re.split(r"(?<!\\)\|", line)) - 2, 3, line)

        page = Tag()
        page.feed(forms["html"][1])
        self.assertEqual(page.head, 3)
        self.assertEqual([[c["class"] for c in row] for row in page.rows[:2]],
                         [["text", "no_block"], ["partial", "no_block"]])
        # The reason reaches the page as text, in the cell's title and below.
        self.assertIn(why, page.rows[1][0]["title"])
        self.assertIn(why, "".join(page.text))

    def test_html_page_of_the_compiled_in_catalog_stands_alone(self):
        status, out = vantrel("matrix", "--format", "html")
        self.assertEqual(status, 0)
        page = Tag()
        page.feed(out)
        self.assertEqual(page.head, 8)
        self.assertEqual(len(page.rows), 25)
        self.assertTrue(all(len(row) == 7 for row in page.rows))
        for tag, attributes in page.tags:
            self.assertNotIn(tag, ("script", "link", "img", "iframe", "object"))
            self.assertFalse({"src", "href"} & set(attributes), tag)
        self.assertNotRegex(out, r"url\(|@import")


@unittest.skipUnless(VANTREL, "VANTREL names no vantrel binary")
class Schema(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        import jsonschema
        status, out = vantrel("schema")
        assert status == 0
        schema = json.loads(out)
        jsonschema.Draft202012Validator.check_schema(schema)
        cls.validator = jsonschema.Draft202012Validator(schema)

    def failures(self, document):
        """(validator keyword, path) of every failure, nested ones included."""
        found = []
        pending = list(self.validator.iter_errors(document))
        while pending:
            error = pending.pop()
            found.append((error.validator, "/".join(map(str, error.absolute_path))))
            pending.extend(error.context)
        return found

    def test_accepts_the_compiled_in_files(self):
        paths = sorted(glob.glob(os.path.join(CATALOG, "*.yaml")))
        self.assertEqual(len(paths), 7)
        for path in paths:
            with open(path, encoding="utf-8") as f:
                self.assertEqual(self.failures(yaml.safe_load(f)), [], path)

    def test_agrees_with_the_reader(self):
        base = yaml.safe_load(STATES)
        entry = ("commands", 0, "versions", 0)

        def changed(path, value):
            document = copy.deepcopy(base)
            *parents, last = path
            holder = document
            for step in parents:
                holder = holder[step]
            if value is None:
                del holder[last]
            else:
                holder[last] = value
            return document

        # (what, document, the keyword and path it fails for, or None when it loads)
        cases = [
            ("missing vendor", changed(("vendor",), None), ("required", "")),
            ("missing cli", changed(entry + ("cli",), None), ("required", "commands/0/versions/0")),
            ("unknown type", changed(("commands", 0, "type"), "arp_table"), ("enum", "commands/0/type")),
            ("list as text", changed(entry + ("cli",), ["show", "arp"]),
             ("type", "commands/0/versions/0/cli")),
            ("quoted flag", changed(entry + ("unverified",), "yes"),
             ("type", "commands/0/versions/0/unverified")),
            ("nested record", changed(("commands", 0, "protocol_alternatives", "gnmi", "path"), [1]),
             ("type", "commands/0/protocol_alternatives/gnmi/path")),
            ("scalars as text", changed(("vendor",), 4.22), None),
            ("true as text", changed(entry + ("applies_to",), True), None),
            ("unknown key", changed(("maintainer",), {"any": ["shape"]}), None),
        ]
        for what, document, failure in cases:
            with self.subTest(what):
                found = self.failures(document)
                if failure is None:
                    self.assertEqual(found, [])
                else:
                    self.assertIn(failure, found)
                with Directory({"lab.yaml": yaml.safe_dump(document)}) as folder:
                    status, _ = vantrel("vendors", "--dir", folder)
                self.assertEqual(status, 3 if failure else 0, "the reader disagrees")


if __name__ == "__main__":
    unittest.main()
