"""probe_device: binding, argument conversion, and the report dict against loopback."""
import errno
import math
import os
import random
import socket
import sys
import threading
import time
import unittest

import orvane_vantrel._native as native
from orvane_vantrel._native import probe_device

ALL_STEPS = ["ssh", "netconf", "gnmi", "restconf"]
FIXED_PORTS = {"ssh": 22, "netconf": 830, "gnmi": 9339, "restconf": 443}
KEYS = ["host", "vendor", "netconf_available", "gnmi_available", "restconf_available",
        "ssh_banner", "firmware", "diagnostics", "elapsed_ms"]
SHORT = 0.15
PANIC_TEXT = "cannot convert float seconds to Duration: value is either too big or NaN"
REFUSED = "%s (os error %d)" % (os.strerror(errno.ECONNREFUSED), errno.ECONNREFUSED)
RECEIVE_TIMEOUT = "%s (os error %d)" % (os.strerror(errno.EAGAIN), errno.EAGAIN)


class Device:
    """Sockets on the four fixed ports of a spare loopback address.

    Each port is "refuse" (bound, not listening), "listen" (connections complete
    but nothing is ever read or sent), or bytes that the port sends to the one
    connection it accepts before closing it. Binding the fixed ports needs root;
    without it the test is skipped.
    """

    def __init__(self, **ports):
        self.ports = {step: ports.get(step, "refuse") for step in ALL_STEPS}
        self.sockets = {}
        self.threads = []

    def __enter__(self):
        # Parallel test runs each pick their own address.
        last = None
        for _ in range(8):
            self.host = "127.%d.%d.%d" % (random.randint(100, 199), random.randint(0, 255),
                                          random.randint(1, 254))
            try:
                self._bind_all()
                break
            except PermissionError as error:
                self._close()
                raise unittest.SkipTest("binding ports 22, 830, 9339 and 443 is not allowed: %s"
                                        % error)
            except OSError as error:
                self._close()
                last = error
        else:
            raise unittest.SkipTest("no spare loopback address for ports 22, 830, 9339 and 443: %s"
                                    % last)
        for step, behaviour in self.ports.items():
            if isinstance(behaviour, bytes):
                thread = threading.Thread(target=self._serve, args=(self.sockets[step], behaviour))
                thread.start()
                self.threads.append(thread)
        return self

    def __exit__(self, *exc):
        for thread in self.threads:
            thread.join()
        self._close()

    def _bind_all(self):
        for step, port in FIXED_PORTS.items():
            sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            self.sockets[step] = sock
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            sock.bind((self.host, port))
            if self.ports[step] != "refuse":
                sock.listen(32)

    def _close(self):
        for sock in self.sockets.values():
            sock.close()
        self.sockets = {}

    @staticmethod
    def _serve(listener, data):
        listener.settimeout(2.0)
        try:
            peer, _ = listener.accept()
        except OSError:
            return
        with peer:
            peer.sendall(data)

    def pending(self, step):
        """Whether a connection waits, unaccepted, on the port of `step`."""
        sock = self.sockets[step]
        sock.setblocking(False)
        try:
            peer, _ = sock.accept()
        except BlockingIOError:
            return False
        peer.close()
        return True


class Surface(unittest.TestCase):
    def test_names_signature_and_docstring(self):
        self.assertEqual(probe_device.__name__, "probe_device")
        self.assertEqual(probe_device.__qualname__, "probe_device")
        self.assertEqual(probe_device.__module__, "orvane_vantrel._native")
        self.assertEqual(probe_device.__text_signature__,
                         "(host, vendor, timeout_seconds=5.0, skip=...)")
        self.assertEqual(
            probe_device.__doc__,
            "Run the protocol-capability probe against `host`. Returns a dict\n"
            "mirroring [`ProbeReport`](src/probe/probe_report.h).\n"
            "\n"
            "The probe is synchronous; the binding layer (src/python/probe_device.cc) releases"
            " the GIL\nduring the blocking I/O, so this call doesn't stall other Python\n"
            "threads.")


class Binding(unittest.TestCase):
    def test_binding_errors(self):
        rows = [
            ((), {}, "probe_device() missing 2 required positional arguments: 'host' and 'vendor'"),
            (("h",), {}, "probe_device() missing 1 required positional argument: 'vendor'"),
            (("h", "v", 1.0, [], 5), {},
             "probe_device() takes from 2 to 4 positional arguments but 5 were given"),
            (("h", "v"), {"bogus": 1}, "probe_device() got an unexpected keyword argument 'bogus'"),
            (("h", "v"), {"host": "x"}, "probe_device() got multiple values for argument 'host'"),
            # Keywords are taken in order before the required check.
            ((), {"vendor": "v", "extra": 1},
             "probe_device() got an unexpected keyword argument 'extra'"),
            ((), {"skip": ALL_STEPS}, "probe_device() missing 2 required positional arguments: "
                                      "'host' and 'vendor'"),
        ]
        for args, kwargs, message in rows:
            with self.subTest(args=args, kwargs=kwargs):
                with self.assertRaises(TypeError) as caught:
                    probe_device(*args, **kwargs)
                self.assertEqual(caught.exception.args, (message,))

    def test_every_parameter_by_keyword(self):
        report = probe_device(skip=ALL_STEPS, timeout_seconds=SHORT, vendor="v", host="h")
        self.assertEqual((report["host"], report["vendor"]), ("h", "v"))


class Float:
    def __init__(self, value):
        self.value = value

    def __float__(self):
        return self.value


class Index:
    def __index__(self):
        return 2


class RaisingFloat:
    def __init__(self, error):
        self.error = error

    def __float__(self):
        raise self.error


class TypeErrorChild(TypeError):
    pass


class Conversion(unittest.TestCase):
    def assert_raises(self, kind, message, *args, **kwargs):
        with self.assertRaises(kind) as caught:
            probe_device(*args, **kwargs)
        self.assertIs(type(caught.exception), kind)
        if message is not None:
            self.assertEqual(caught.exception.args, (message,))
        return caught.exception

    def test_type_errors_name_the_first_failing_parameter(self):
        cast = "'%s' object cannot be converted to '%s'"
        rows = [
            ((1, "v"), {}, "argument 'host': " + cast % ("int", "PyString")),
            ((b"h", "v"), {}, "argument 'host': " + cast % ("bytes", "PyString")),
            ((1, None), {}, "argument 'host': " + cast % ("int", "PyString")),
            (("h", None), {}, "argument 'vendor': " + cast % ("NoneType", "PyString")),
            (("h", "v", "5"), {}, "argument 'timeout_seconds': must be real number, not str"),
            (("h", "v", None), {},
             "argument 'timeout_seconds': must be real number, not NoneType"),
            (("h", "v", "5", "ssh"), {},
             "argument 'timeout_seconds': must be real number, not str"),
            (("h", "v", SHORT, "ssh"), {}, "argument 'skip': Can't extract `str` to `Vec`"),
            (("h", "v"), {"skip": None}, "argument 'skip': " + cast % ("NoneType", "Sequence")),
            (("h", "v"), {"skip": {"ssh"}}, "argument 'skip': " + cast % ("set", "Sequence")),
            (("h", "v"), {"skip": {"ssh": 1}}, "argument 'skip': " + cast % ("dict", "Sequence")),
            (("h", "v"), {"skip": (s for s in ALL_STEPS)},
             "argument 'skip': " + cast % ("generator", "Sequence")),
            (("h", "v"), {"skip": 4}, "argument 'skip': " + cast % ("int", "Sequence")),
            (("h", "v"), {"skip": b"ssh"}, "argument 'skip': " + cast % ("int", "PyString")),
            (("h", "v"), {"skip": ["ssh", None]},
             "argument 'skip': " + cast % ("NoneType", "PyString")),
            # The skip list is converted before the timeout becomes a duration.
            (("h", "v", math.inf, [1]), {}, "argument 'skip': " + cast % ("int", "PyString")),
        ]
        for args, kwargs, message in rows:
            with self.subTest(args=args, kwargs=kwargs):
                self.assert_raises(TypeError, message, *args, **kwargs)

    def test_other_errors_pass_unchanged(self):
        self.assert_raises(ValueError, None, "h", "v", RaisingFloat(ValueError("no float")))
        error = self.assert_raises(TypeErrorChild, None, "h", "v",
                                   RaisingFloat(TypeErrorChild("child")))
        self.assertEqual(error.args, ("child",))
        for args, kwargs in [(("\ud800", "v"), {}), (("h", "\udfff"), {}),
                             (("h", "v"), {"skip": ["ssh", "\ud800"]})]:
            with self.subTest(args=args, kwargs=kwargs):
                self.assert_raises(UnicodeEncodeError, None, *args, **kwargs)

    def test_durations_that_cannot_be_represented_panic(self):
        for value in [math.inf, 1e30, float(2 ** 64)]:
            with self.subTest(value=value):
                error = self.assert_raises(native_panic_type(), PANIC_TEXT, "", "v", value)
                self.assertIsInstance(error, BaseException)
                self.assertNotIsInstance(error, Exception)

    def test_accepted_timeouts_and_skip_containers(self):
        for timeout in [2, True, Index(), Float(0.5), 0, -3, math.nan, -math.inf,
                        18446744073709549568.0]:
            for skip in [ALL_STEPS, tuple(ALL_STEPS), [s.upper() for s in ALL_STEPS]]:
                with self.subTest(timeout=timeout, skip=skip):
                    report = probe_device("h", "v", timeout, skip)
                    self.assertEqual(report["diagnostics"], [])

    def test_skip_chooses_the_steps_that_run(self):
        # The resolver refuses the empty name without a query: each step that
        # runs leaves its DNS line.
        rows = [
            ([], ["ssh:22", "netconf:830", "gnmi:9339", "restconf:443"]),
            (b"", ["ssh:22", "netconf:830", "gnmi:9339", "restconf:443"]),
            (("ssh",), ["netconf:830", "gnmi:9339", "restconf:443"]),
            (["SSH", "NetConf"], ["gnmi:9339", "restconf:443"]),
            (["gnmi ", "eapi", "ssh", "ssh"], ["netconf:830", "gnmi:9339", "restconf:443"]),
            (StrList(["restconf"]), ["ssh:22", "netconf:830", "gnmi:9339"]),
            # The length is only a hint: a wrong or failing one changes nothing.
            (Claims(["gnmi"], sys.maxsize), ["ssh:22", "netconf:830", "restconf:443"]),
            (Claims(["gnmi"], 2 ** 40), ["ssh:22", "netconf:830", "restconf:443"]),
            (Claims(["gnmi"], RuntimeError("no length")), ["ssh:22", "netconf:830",
                                                           "restconf:443"]),
        ]
        for skip, starts in rows:
            with self.subTest(skip=skip):
                report = probe_device("", "v", SHORT, skip)
                self.assertEqual([line.split(" ")[0] for line in report["diagnostics"]], starts)
                for line in report["diagnostics"]:
                    self.assertRegex(line, r"^\S+ DNS: failed to lookup address information: .")


class StrList(list):
    pass


class Claims:
    """A sequence of `items` whose length is `length`, or raises it."""

    def __init__(self, items, length):
        self.items = items
        self.length = length

    def __len__(self):
        if isinstance(self.length, BaseException):
            raise self.length
        return self.length

    def __getitem__(self, index):
        return self.items[index]

    def __repr__(self):
        return "Claims(%r, %r)" % (self.items, self.length)


class Text(str):
    pass


def native_panic_type():
    try:
        probe_device("", "v", math.inf)
    except BaseException as error:  # the class is reachable only through its instances
        return type(error)
    raise AssertionError("no PanicException")


class Report(unittest.TestCase):
    def test_all_steps_skipped(self):
        for host, vendor in [("router.lab", "cisco_ios"), ("rout\u00e9r", "no such vendor"),
                             (Text("h"), Text(""))]:
            with self.subTest(host=host, vendor=vendor):
                report = probe_device(host, vendor, SHORT, ALL_STEPS)
                self.assertEqual(list(report), KEYS)
                self.assertEqual(report, {
                    "host": host, "vendor": vendor, "netconf_available": None,
                    "gnmi_available": None, "restconf_available": None, "ssh_banner": None,
                    "firmware": None, "diagnostics": [], "elapsed_ms": report["elapsed_ms"]})
                self.assertIs(type(report["host"]), str)
                self.assertIs(type(report["elapsed_ms"]), int)
                self.assertGreaterEqual(report["elapsed_ms"], 0)

    def test_unresolvable_host(self):
        report = probe_device("", "v", SHORT)
        self.assertEqual(list(report), KEYS)
        lines = report["diagnostics"]
        self.assertEqual(len(lines), 4)
        refusal = lines[0][len("ssh:22 "):]
        self.assertTrue(refusal.startswith("DNS: failed to lookup address information: "))
        self.assertEqual(lines, ["ssh:22 " + refusal, "netconf:830 " + refusal,
                                 "gnmi:9339 " + refusal, "restconf:443 " + refusal])
        self.assertEqual([report[k] for k in KEYS[2:7]], [False, False, False, None, None])


class FixedPorts(unittest.TestCase):
    def test_every_protocol_answers(self):
        with Device(ssh=b"SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n", netconf=b"SSH-2.0-netconf\r\n",
                    gnmi="listen", restconf="listen") as device:
            report = probe_device(device.host, "juniper_junos", SHORT)
        self.assertEqual(report, {
            "host": device.host, "vendor": "juniper_junos", "netconf_available": True,
            "gnmi_available": True, "restconf_available": True,
            "ssh_banner": "SSH-2.0-OpenSSH_9.2p1 Debian-2", "firmware": None, "diagnostics": [],
            "elapsed_ms": report["elapsed_ms"]})

    def test_every_port_refuses(self):
        with Device() as device:
            report = probe_device(device.host, "v", SHORT)
        self.assertEqual(report["diagnostics"], [
            "ssh:22 " + REFUSED, "netconf:830 " + REFUSED, "gnmi:9339 " + REFUSED,
            "restconf:443 " + REFUSED])
        self.assertEqual([report[k] for k in KEYS[2:7]], [False, False, False, None, None])

    def test_banner_bytes_are_latin_1_and_greetings_are_no_banner(self):
        with Device(ssh=b"SSH-2.0-caf\xe9\xff\r\n", netconf=b"220 ready\r\n") as device:
            report = probe_device(device.host, "v", SHORT, ["gnmi", "restconf"])
        self.assertEqual(report["ssh_banner"], "SSH-2.0-caf\u00e9\u00ff")
        self.assertEqual(report["netconf_available"], False)
        self.assertEqual(report["diagnostics"], ["netconf:830 reachable but no SSH banner"])

    def test_timeouts_below_a_millisecond_probe_with_one(self):
        # A zero limit would fail the connect with "cannot set a 0 duration timeout".
        for timeout in [0, -3, math.nan, -math.inf, 1e-7]:
            with self.subTest(timeout=timeout):
                with Device(netconf="listen", gnmi="listen") as device:
                    report = probe_device(device.host, "v", timeout, ["ssh", "restconf"])
                self.assertEqual(report["gnmi_available"], True)
                self.assertEqual(report["diagnostics"], ["netconf:830 " + RECEIVE_TIMEOUT])

    def test_panic_comes_before_any_connection(self):
        with Device(ssh="listen", netconf="listen", gnmi="listen", restconf="listen") as device:
            with self.assertRaises(native_panic_type()):
                probe_device(device.host, "v", math.inf)
            self.assertEqual([device.pending(step) for step in ALL_STEPS], [False] * 4)

    def test_other_threads_run_while_a_probe_waits(self):
        with Device(ssh="listen", netconf="listen") as device:
            result = {}
            worker = threading.Thread(target=lambda: result.update(
                probe_device(device.host, "v", 0.3, ["gnmi", "restconf"])))
            worker.start()
            time.sleep(0.05)
            # Holding the lock, the probe would have kept this thread from
            # running until it ended.
            alive = worker.is_alive()
            worker.join()
        self.assertTrue(alive)
        self.assertEqual(result["diagnostics"],
                         ["ssh:22 " + RECEIVE_TIMEOUT, "netconf:830 " + RECEIVE_TIMEOUT])


if __name__ == "__main__":
    unittest.main()
