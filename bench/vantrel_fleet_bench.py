"""vantrel probe over a fleet: 4,096 silent loopback hosts at once, and a /16
whose ports refuse.

Silent: each of 127.10.0.0 to 127.10.15.255 listens on 9339 and 443 with an
accept queue kept full, so the kernel drops every further SYN and each
connect waits out its timeout. The listeners are spread over helper
processes so that none needs more than a few thousand open files. With
--skip ssh,netconf --timeout 1 --jobs 4096 every host costs two timeouts and
all overlap: at most 1.15 times the floor of 2 s, with vantrel's peak
resident memory at most 256 MB. The /16 (65,534 hosts, ports refusing) is
reported with its wall time and memory.

Run by `make bench`. Needs root (port 443). Exits non-zero only when the
reports are wrong.
"""
import json
import multiprocessing
import os
import resource
import socket
import subprocess
import sys
import tempfile
import time

from vantrel_probe_bench import VANTREL, fill

SILENT = ["127.10.%d.%d" % (third, last) for third in range(16) for last in range(256)]
PORTS = [9339, 443]
HELPERS = 4
FLOOR = 2.0
GOAL = 1.15
MEMORY_GOAL_MB = 256
TIMED_OUT = ["gnmi:9339 connection timed out", "restconf:443 connection timed out"]


def hold_listeners(hosts, ready, stop):
    """In a helper process: listeners with full queues on `hosts`, kept until
    `stop` is set."""
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    listeners = []
    for host in hosts:
        for port in PORTS:
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            listener.bind((host, port))
            listener.listen(0)
            listeners.append(listener)
    held = fill(listeners)
    ready.set()
    stop.wait()
    for s in listeners + held:
        s.close()


def run(args):
    """Wall seconds, peak resident MB of vantrel, and its report lines."""
    start = time.perf_counter()
    child = subprocess.Popen([VANTREL, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True)
    out, err = child.communicate(timeout=300)
    elapsed = time.perf_counter() - start
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    if child.returncode != 0:
        print("WRONG: status %d: %s" % (child.returncode, err[:300]))
    return elapsed, peak, out.splitlines(), child.returncode != 0


def main():
    if os.geteuid() != 0:
        print("skipped: listening on port 443 needs root")
        return 0
    stop = multiprocessing.Event()
    helpers = []
    for i in range(HELPERS):
        ready = multiprocessing.Event()
        share = SILENT[i::HELPERS]
        helper = multiprocessing.Process(target=hold_listeners, args=(share, ready, stop))
        helper.start()
        helpers.append((helper, ready))
    try:
        for helper, ready in helpers:
            if not ready.wait(120):
                raise RuntimeError("a helper never filled its accept queues")
        with tempfile.NamedTemporaryFile("w", suffix=".txt") as targets:
            targets.write("# 4,096 silent hosts\n")
            targets.writelines("127.10.%d.0-255\n" % third for third in range(16))
            targets.flush()
            elapsed, peak, lines, wrong = run(["probe", "-T", targets.name, "--skip",
                                               "ssh,netconf", "-t", "1", "-j", "4096", "--json"])
    finally:
        stop.set()
        for helper, _ in helpers:
            helper.join()
    reports = [json.loads(line) for line in lines]
    wrong = wrong or [r["host"] for r in reports] != SILENT or any(
        r["diagnostics"] != TIMED_OUT for r in reports)
    ratio = elapsed / FLOOR
    print("vantrel probe, 4,096 silent loopback hosts, --skip ssh,netconf -t 1 -j 4096:")
    print("  %.2f s, %.2fx the floor of %.0f s (%s the %.2fx goal)" % (
        elapsed, ratio, FLOOR, "meets" if ratio <= GOAL else "MISSES", GOAL))
    print("  peak resident memory of vantrel: %.0f MB (%s the %d MB goal)" % (
        peak, "meets" if peak <= MEMORY_GOAL_MB else "MISSES", MEMORY_GOAL_MB))
    elapsed, peak, lines, bad = run(["probe", "127.11.0.0/16", "-t", "1", "--json"])
    wrong = wrong or bad or len(lines) != 65534
    print("vantrel probe 127.11.0.0/16 (65,534 hosts, every port refusing), default jobs:")
    print("  %.2f s, peak resident memory %.0f MB (the larger of both runs)" % (elapsed, peak))
    if wrong:
        print("WRONG reports")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
