"""16 Python threads probing silent listeners at once, against one such probe.

Each probe waits out its 0.5 s receive limit on ports 22 and 830 (the listeners
complete connections but never send) and connects at once on 9339 and 443.
Because probe_device releases the interpreter lock while it waits, 16 threads
should finish together in about the time of one: the goal is a ratio of at most
1.5. The listeners sit on the four fixed ports of a spare 127.x address, which
needs root; without it the bench says so and exits cleanly.
"""

import random
import socket
import sys
import threading
import time

from orvane_vantrel._native import probe_device

PORTS = [22, 830, 9339, 443]
THREADS = 16
TIMEOUT = 0.5
GOAL = 1.5


def silent_listeners():
    for _ in range(8):
        host = "127.%d.%d.%d" % (random.randint(100, 199), random.randint(0, 255),
                                 random.randint(1, 254))
        sockets = []
        try:
            for port in PORTS:
                sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
                sockets.append(sock)
                sock.bind((host, port))
                sock.listen(THREADS * 2)
            return host, sockets
        except PermissionError as error:
            for sock in sockets:
                sock.close()
            return None, str(error)
        except OSError:
            for sock in sockets:
                sock.close()
    return None, "no spare loopback address had the four ports free"


def probe(host, reports):
    reports.append(probe_device(host, "bench", TIMEOUT))


def timed(host, threads):
    # Judged here, not on the workers: an exception there would not stop the bench.
    reports = []
    workers = [threading.Thread(target=probe, args=(host, reports)) for _ in range(threads)]
    start = time.perf_counter()
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    elapsed = time.perf_counter() - start
    if len(reports) != threads:
        raise SystemExit("%d of %d probes returned no report" % (threads - len(reports), threads))
    for report in reports:
        if report["gnmi_available"] is not True or len(report["diagnostics"]) != 2:
            raise SystemExit("unexpected report: %r" % (report,))
    return elapsed


def main():
    host, sockets = silent_listeners()
    if host is None:
        print("skipped: cannot bind silent listeners on ports 22, 830, 9339 and 443: %s" % sockets)
        return 0
    try:
        # The listeners never accept; drain their queues between rounds.
        one = timed(host, 1)
        for sock in sockets:
            sock.close()
        host, sockets = silent_listeners()
        if host is None:
            reason, sockets = sockets, []
            print("skipped: cannot bind silent listeners again: %s" % reason)
            return 0
        many = timed(host, THREADS)
    finally:
        for sock in sockets:
            sock.close()
    ratio = many / one
    print("one probe: %.3f s; %d threads: %.3f s; ratio %.2f (goal <= %.1f): %s"
          % (one, THREADS, many, ratio, GOAL, "met" if ratio <= GOAL else "MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
