"""A loopback listener for probe tests that need no privileged port."""
import random
import socket
import unittest


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
