"""The module surface and the package root: their names, and the interpreter guard."""
import subprocess
import sys
import textwrap
import unittest

import orvane_vantrel
import orvane_vantrel._api as api
import orvane_vantrel._native as native


class ModuleSurfaceTest(unittest.TestCase):
    def test_names(self):
        self.assertEqual(native.__version__, "0.2.0")
        # Registered in this order; each name also lands in __all__.
        self.assertEqual(native.__all__, ["Catalog", "probe_device", "__version__"])
        self.assertEqual({name for name in vars(native) if not name.startswith("__")},
                         {"Catalog", "probe_device"})
        self.assertEqual(native.probe_device.__module__, "orvane_vantrel._native")
        # The package root gives the same three names, then the package's functions.
        self.assertEqual(orvane_vantrel.__all__[:3], native.__all__)
        self.assertEqual([getattr(orvane_vantrel, name) for name in native.__all__],
                         [getattr(native, name) for name in native.__all__])
        self.assertEqual({getattr(orvane_vantrel, name) for name in orvane_vantrel.__all__[3:]},
                         {value for name, value in vars(api).items() if not name.startswith("_")})


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
        result = subprocess.run([sys.executable, "-c", SUBINTERPRETER_SCRIPT],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("ImportError", result.stdout)
        self.assertIn("do not yet support subinterpreters", result.stdout)


if __name__ == "__main__":
    unittest.main()
