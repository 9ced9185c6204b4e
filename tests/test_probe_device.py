"""probe_device at the Python boundary: binding, conversion, the report dict,
the panic and the released lock; the probe itself is tested below it."""
import math
import sys
import threading
import time
import unittest

from orvane_vantrel._native import probe_device

from fixtures import GnmiPort

ALL_STEPS = ["ssh", "netconf", "gnmi", "restconf"]
OTHERS_THAN_GNMI = ["ssh", "netconf", "restconf"]
PANIC_TEXT = "cannot convert float seconds to Duration: value is either too big or NaN"
CAST = "'%s' object cannot be converted to '%s'"


class Claims:
    """A sequence of `items` that claims the length `length`."""

    def __init__(self, items, length):
        self.items, self.length = items, length

    def __len__(self):
        return self.length

    def __getitem__(self, index):
        return self.items[index]


class Raising:
    def __init__(self, error):
        self.error = error

    def __float__(self):
        raise self.error


class Binding(unittest.TestCase):
    def test_type_errors_name_the_first_failing_parameter(self):
        rows = [
            ((), {}, "probe_device() missing 2 required positional arguments: 'host' and 'vendor'"),
            (("h", "v", 1.0, [], 5), {},
             "probe_device() takes from 2 to 4 positional arguments but 5 were given"),
            ((), {"vendor": "v", "extra": 1},
             "probe_device() got an unexpected keyword argument 'extra'"),
            (("h", "v"), {"host": "x"}, "probe_device() got multiple values for argument 'host'"),
            ((b"h", "v"), {}, "argument 'host': " + CAST % ("bytes", "PyString")),
            (("h", "v", "5"), {}, "argument 'timeout_seconds': must be real number, not str"),
            (("h", "v", 1.0, "ssh"), {}, "argument 'skip': Can't extract `str` to `Vec`"),
            (("h", "v"), {"skip": {"ssh"}}, "argument 'skip': " + CAST % ("set", "Sequence")),
            (("h", "v"), {"skip": b"ssh"}, "argument 'skip': " + CAST % ("int", "PyString")),
            # The skip list is converted before the timeout becomes a duration.
            (("h", "v", math.inf, [1]), {}, "argument 'skip': " + CAST % ("int", "PyString")),
        ]
        for args, kwargs, message in rows:
            with self.subTest(args=args, kwargs=kwargs):
                with self.assertRaises(TypeError) as caught:
                    probe_device(*args, **kwargs)
                self.assertEqual((type(caught.exception), caught.exception.args),
                                 (TypeError, (message,)))
        # Errors raised by the arguments themselves pass unchanged.
        child = type("Child", (TypeError,), {})("child")
        for args, kind in [(("h", "v", Raising(child)), type(child)),
                           (("h", "v", 1.0, ["ssh", "\ud800"]), UnicodeEncodeError)]:
            with self.assertRaises(kind) as caught:
                probe_device(*args)
            self.assertIs(type(caught.exception), kind)

    def test_accepted_arguments_and_the_report(self):
        # The length of the skip sequence is only a hint: a wrong one changes
        # nothing. With every step skipped nothing touches the network.
        rows = [(True, tuple(s.upper() for s in ALL_STEPS)), (math.nan, ALL_STEPS),
                (-3, Claims(ALL_STEPS, sys.maxsize)), (0, Claims(ALL_STEPS, 0)),
                (18446744073709549568.0, ALL_STEPS)]
        for timeout, skip in rows:
            with self.subTest(timeout=timeout, skip=skip):
                report = probe_device(type("Text", (str,), {})("h"), vendor="v",
                                      timeout_seconds=timeout, skip=skip)
                self.assertEqual(list(report.items()), [
                    ("host", "h"), ("vendor", "v"), ("netconf_available", None),
                    ("gnmi_available", None), ("restconf_available", None), ("ssh_banner", None),
                    ("firmware", None), ("diagnostics", []), ("elapsed_ms", report["elapsed_ms"])])
                self.assertEqual((type(report["host"]), type(report["elapsed_ms"])), (str, int))
        report = probe_device("", "v", 0.15, Claims(["gnmi", "SSH"], 2 ** 40))
        self.assertEqual([line.split(" ")[0] for line in report["diagnostics"]],
                         ["netconf:830", "restconf:443"])
        self.assertEqual((report["gnmi_available"], report["netconf_available"]), (None, False))


class Blocking(unittest.TestCase):
    def test_unrepresentable_timeouts_panic_before_any_connection(self):
        port = GnmiPort()
        with port as host:
            for value in [math.inf, 1e30, float(2 ** 64)]:
                with self.subTest(value=value):
                    with self.assertRaises(BaseException) as caught:
                        probe_device(host, "v", value, OTHERS_THAN_GNMI)
                    self.assertEqual(type(caught.exception).__name__, "PanicException")
                    self.assertEqual(caught.exception.args, (PANIC_TEXT,))
                    self.assertNotIsInstance(caught.exception, Exception)
            self.assertFalse(port.pending())
            self.assertEqual(probe_device(host, "v", 1.0, OTHERS_THAN_GNMI)["gnmi_available"], True)
            self.assertTrue(port.pending())

    def test_other_threads_run_while_a_probe_waits(self):
        with GnmiPort(full=True) as host:
            result = {}
            worker = threading.Thread(target=lambda: result.update(
                probe_device(host, "v", 0.4, OTHERS_THAN_GNMI)))
            worker.start()
            time.sleep(0.1)
            # Holding the lock, the probe would have kept this thread from
            # running until it ended.
            alive = worker.is_alive()
            worker.join()
        self.assertTrue(alive)
        self.assertEqual((result["gnmi_available"], len(result["diagnostics"])), (False, 1))


if __name__ == "__main__":
    unittest.main()
