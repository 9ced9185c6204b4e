"""What the Python tests set up: vendor files, directories, loopback listeners."""
import os
import random
import socket
import tempfile
import threading
import unittest

def vendor_file(vendor, commands="commands: []\n"):
    return ("vendor: %s\ndisplay_name: D\nmanufacturer: M\nproduct_family: P\n"
            % vendor) + commands


LAB_COMMANDS = """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=2.0"
        cli: show arp
      - applies_to: ">=3.0,<4.0"
        cli: show arp v3
  - type: VERSION
    versions:
      - applies_to: "1..2"
        cli: show version
  - type: CIVIC_LOCATION
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
"""


FIFO = object()


class Directory:
    """A temporary directory filled with the given files: a text or bytes is
    a file, None a subdirectory, FIFO a named pipe."""

    def __init__(self, files):
        self.files = files

    def __enter__(self):
        self.tmp = tempfile.TemporaryDirectory()
        for name, text in self.files.items():
            path = os.path.join(self.tmp.name, name)
            if text is None:
                os.mkdir(path)
            elif text is FIFO:
                os.mkfifo(path)
            else:
                with open(path, "wb") as f:
                    f.write(text.encode() if isinstance(text, str) else text)
        return self.tmp.name

    def __exit__(self, *exc):
        self.tmp.cleanup()


class GnmiPort:
    """A listener on port 9339 (unprivileged) of a spare loopback address.

    With `full`, its one-place accept queue is filled, so that the probe's
    connection attempts are dropped and wait out their limit.
    """

    def __init__(self, full=False):
        self.full = full
        self.sockets = []

    def __enter__(self):
        for _ in range(8):
            host = "127.%d.%d.%d" % (random.randint(100, 199), random.randint(0, 255),
                                     random.randint(1, 254))
            self.listener = socket.socket()
            try:
                self.listener.bind((host, 9339))
                break
            except OSError:
                self.listener.close()
        else:
            raise unittest.SkipTest("no spare loopback address for port 9339")
        self.listener.listen(0 if self.full else 8)
        if self.full:
            self.sockets.append(socket.create_connection((host, 9339), timeout=2))
        return host

    def pending(self):
        self.listener.setblocking(False)
        try:
            self.sockets.append(self.listener.accept()[0])
            return True
        except BlockingIOError:
            return False

    def __exit__(self, *exc):
        for sock in self.sockets + [self.listener]:
            sock.close()


class BannerPort:
    """A listener on an ephemeral port of 127.0.0.1 (and the same port of each
    other address of `hosts`) that sends an SSH identification line to each
    connection (an SSH or NETCONF port to the probe); with `banner=None`, a
    port that only accepts (HTTPS, gNMI)."""

    def __init__(self, banner=b"SSH-2.0-lab\r\n", hosts=("127.0.0.1",)):
        self.banner = banner
        self.hosts = hosts

    def __enter__(self):
        self.port = 0
        self.listeners = []
        for host in self.hosts:
            listener = socket.socket()
            listener.bind((host, self.port))
            listener.listen(16)
            self.port = listener.getsockname()[1]
            self.listeners.append(listener)
        self.threads = [threading.Thread(target=self._serve, args=(listener,), daemon=True)
                        for listener in self.listeners]
        for thread in self.threads:
            thread.start()
        return self

    def _serve(self, listener):
        while True:
            try:
                conn, _ = listener.accept()
            except OSError:
                return
            with conn:
                if self.banner:
                    try:
                        conn.sendall(self.banner)
                    except OSError:
                        pass

    def __exit__(self, *exc):
        for listener, thread in zip(self.listeners, self.threads):
            listener.shutdown(socket.SHUT_RDWR)
            listener.close()
            thread.join(5)
