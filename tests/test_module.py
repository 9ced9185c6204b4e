"""The module surface: names, documentation, caching and the interpreter guard."""

import importlib
import os
import subprocess
import sys
import textwrap
import unittest

import orvane_vantrel._native as native

# Registered in this order; each name also lands in __all__.
EXPORTS = ["Catalog", "probe_device", "__version__"]


class ModuleSurfaceTest(unittest.TestCase):
    def test_names_and_documentation(self):
        self.assertEqual(native.__version__, "0.2.0")
        self.assertEqual(native.__all__, EXPORTS)
        public = sorted(name for name in vars(native) if not name.startswith("__"))
        self.assertEqual(public, sorted(name for name in EXPORTS if not name.startswith("__")))
        self.assertEqual(native.probe_device.__module__, "orvane_vantrel._native")

    def test_reimport_returns_the_cached_module(self):
        first = sys.modules.pop("orvane_vantrel._native")
        try:
            second = importlib.import_module("orvane_vantrel._native")
            self.assertIs(second, first)
            self.assertEqual(second.__all__, EXPORTS)
        finally:
            sys.modules["orvane_vantrel._native"] = first

    def test_file_is_the_abi3_module(self):
        self.assertTrue(native.__file__.endswith(os.path.join("orvane_vantrel", "_native.abi3.so")))


# Runs in a child process: the guard holds for the life of a process.
SUBINTERPRETER_SCRIPT = textwrap.dedent(
    """
    import sys
    import orvane_vantrel._native
    try:
        import _interpreters as interpreters  # 3.13
        interp = interpreters.create("legacy")
        failure = interpreters.exec(interp, "import orvane_vantrel._native")
        print(failure)
    except ImportError:
        import _xxsubinterpreters as interpreters
        try:
            interp = interpreters.create(isolated=False)  # 3.12
        except TypeError:
            interp = interpreters.create()
        try:
            interpreters.run_string(interp, "import orvane_vantrel._native")
        except Exception as error:
            print(error)
    """
)


class SubinterpreterTest(unittest.TestCase):
    def test_second_interpreter_is_refused(self):
        result = subprocess.run(
            [sys.executable, "-c", SUBINTERPRETER_SCRIPT],
            capture_output=True,
            text=True,
            timeout=60,
            env=dict(os.environ),
        )
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("ImportError", result.stdout)
        self.assertIn("do not yet support subinterpreters", result.stdout)


if __name__ == "__main__":
    unittest.main()
