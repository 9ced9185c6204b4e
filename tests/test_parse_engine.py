"""vantrel parse --template against Debian's python3-textfsm, the reference:
the same template and input through both, records compared whole. Run by
/usr/bin/python3 (it has textfsm); VANTREL names the binary."""
import glob
import io
import json
import os
import random
import subprocess
import tempfile
import unittest

try:
    import textfsm
except ImportError:  # an interpreter without the reference: nothing to compare
    textfsm = None

VANTREL = os.environ.get("VANTREL")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "textfsm")

# The exit status vantrel gives for each outcome of the reference.
STATUS = {"records": 0, "error": 1, "template": 2}


def reference(template, text):
    """("records", the dicts) or ("template" | "error", its message)."""
    try:
        # newline=None: line breaks read as from a file opened in text mode
        fsm = textfsm.TextFSM(io.StringIO(template, newline=None))
    except textfsm.TextFSMTemplateError as error:
        return "template", str(error)
    try:
        return "records", fsm.ParseTextToDicts(text)
    except textfsm.TextFSMError as error:
        return "error", str(error)


def ours(folder, template, text):
    paths = [os.path.join(folder, name) for name in ("template", "input")]
    for path, content in zip(paths, (template, text)):
        with open(path, "w", encoding="utf-8", newline="") as out:
            out.write(content)
    run = subprocess.run([VANTREL, "parse", "--template", paths[0], paths[1], "--json"],
                         capture_output=True, text=True, timeout=60)
    return run.returncode, json.loads(run.stdout)


@unittest.skipUnless(VANTREL and textfsm, "needs VANTREL and python3-textfsm")
class Differential(unittest.TestCase):
    def assert_same(self, template, text):
        kind, expected = reference(template, text)
        with tempfile.TemporaryDirectory() as folder:
            status, document = ours(folder, template, text)
        self.assertEqual(status, STATUS[kind], (expected, document))
        if kind == "records":
            self.assertEqual(document, expected)
        else:
            self.assertIn("error", document)

    def test_written_cases(self):
        """Each tests/data/textfsm/NAME.textfsm with every NAME*.txt input."""
        templates = sorted(glob.glob(os.path.join(DATA, "*.textfsm")))
        self.assertTrue(templates)
        for template_path in templates:
            stem = template_path[:-len(".textfsm")]
            inputs = sorted(glob.glob(stem + "*.txt"))
            self.assertTrue(inputs, template_path)
            with open(template_path, encoding="utf-8", newline="") as f:
                template = f.read()
            for input_path in inputs:
                with self.subTest(input=os.path.basename(input_path)):
                    with open(input_path, encoding="utf-8") as f:
                        self.assert_same(template, f.read())

    def test_generated_cases(self):
        generator = Generator(random.Random(20261209))
        for case in range(300):
            template, text = generator.case()
            with self.subTest(case=case, template=template, input=text):
                self.assert_same(template, text)


@unittest.skipUnless(VANTREL, "needs VANTREL")
class Files(unittest.TestCase):
    def test_unreadable_files_and_standard_input(self):
        missing = os.path.join(DATA, "no such file")
        template = os.path.join(DATA, "interfaces.textfsm")
        rows = [
            (["--template", missing], 3,
             "vantrel: cannot read %s: No such file or directory (os error 2)\n" % missing),
            (["--template", template, missing], 3,
             "vantrel: cannot read %s: No such file or directory (os error 2)\n" % missing),
            (["--template", "-"], 2,
             "vantrel: the template and the input cannot both come from standard input\n"),
        ]
        for args, status, message in rows:
            with self.subTest(args=args):
                run = subprocess.run([VANTREL, "parse", *args], capture_output=True, text=True,
                                     input="", timeout=60)
                self.assertEqual((run.returncode, run.stderr), (status, message))


class Generator:
    """Small random templates and inputs over one vocabulary, so that rules
    match often; now and then a fault the template reader must refuse."""
    PATTERNS = [r"(\d+)", r"(\w+)", r"(\S+)", r"([a-c]+)", r"(\d*)", r"(.*)", r"(\w+|-)",
                r"(\d+(?:\.\d+)?)", r"((?P<k>[a-c])(?P<n>\d)?)", r"(\S+?)"]
    OPTIONS = ["Filldown", "Key", "Required", "List", "Fillup"]
    WORDS = ["a", "b", "c", "go", "back", "stop", "oops"]
    TOKENS = ["1", "22", "abc", "b3", "a1", "-", "", "1.5", "c"]
    ACTIONS = ["", "", " -> Record", " -> Next.Record", " -> Continue", " -> Continue.Record",
               " -> Clear", " -> Clearall", " -> NoRecord", " -> Record S1", " -> S1",
               " -> Next.Clear Start", " -> Start", " -> End", " -> EOF", " -> Error",
               ' -> Error "no such thing"']
    FAULTS = [("\n\nStart\n", "\nStart\n"), ("Value ", "Value Bogus "), (" -> S1", " -> S9"),
              (" -> Record", " -> Continue S1"), (" -> Record", " ->Record"), ("  ^", "   ^"),
              ("${", "$ {")]

    def __init__(self, rng):
        self.rng = rng

    def value_line(self, name, pattern):
        options = self.rng.sample(self.OPTIONS, self.rng.choice([0, 0, 1, 1, 2]))
        prefix = ",".join(options) + " " if options else ""
        return "Value %s%s %s" % (prefix, name, pattern)

    def rule(self, names):
        parts = [self.rng.choice(self.WORDS)]
        for name in self.rng.sample(names, min(len(names), self.rng.choice([0, 1, 1, 2]))):
            parts.append(self.rng.choice(["${%s}", "$%s"]) % name)
        action = self.rng.choice(self.ACTIONS)
        if "Error" in action and self.rng.random() < 0.7:
            action = " -> Record"
        return "  ^" + " ".join(parts) + self.rng.choice(["", "", "$$", r"\s*"]) + action

    def case(self):
        names = self.rng.sample(["A", "B", "Cnt", "If_name", "L"], self.rng.randint(1, 4))
        patterns = self.rng.sample(self.PATTERNS, len(names))
        lines = [self.value_line(n, p) for n, p in zip(names, patterns)] + ["", "Start"]
        lines += [self.rule(names) for _ in range(self.rng.randint(1, 6))]
        lines += ["", "S1"] + [self.rule(names) for _ in range(self.rng.randint(0, 3))]
        if self.rng.random() < 0.3:
            lines += ["", "EOF"]
        template = "\n".join(lines) + "\n"
        if self.rng.random() < 0.1:
            before, after = self.rng.choice(self.FAULTS)
            template = template.replace(before, after, 1)
        return template, "\n".join(self.line(template) for _ in range(self.rng.randint(0, 12)))

    def line(self, template):
        """Mostly a line shaped after one of the template's rules."""
        rules = [r.split("^")[1].split(" -> ")[0].split(" ") for r in template.splitlines() if "^" in r]
        shape = self.rng.choice(rules) if rules and self.rng.random() < 0.8 else ["x"]
        words = [shape[0]] + [self.rng.choice(self.TOKENS) for _ in shape[1:]]
        return " ".join(words)


if __name__ == "__main__":
    unittest.main()
