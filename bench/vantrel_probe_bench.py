"""vantrel probe over 64 hosts that drop every connection, against one such
probe; and vantrel plan over the same hosts, against vantrel probe.

Each of 127.0.1.1 to 127.0.1.64 listens on the probe's four ports (22, 830,
9339, 443) with an accept queue that is kept full and never served, so the
kernel drops every further SYN and each connect runs into the timeout. One
probe of such a host takes four timeouts; with --jobs 64 the 64 probes
overlap, and the whole run should take at most 1.5 times one probe. A plan
probes the same way and adds the catalog's answers: at most 1.2 times the probe.
For scale, both also run once over 64 hosts whose ports refuse, where the
whole probe takes a few milliseconds and loading the catalog shows.

Run by `make bench`. Needs root (ports 22 and 443). The binary is
build/bin/vantrel beside this folder, or the one named by VANTREL. Exits
non-zero only when the reports are wrong.
"""
import json
import os
import pathlib
import resource
import select
import socket
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
VANTREL = os.environ.get("VANTREL") or str(ROOT / "build" / "bin" / "vantrel")
HOSTS = ["127.0.1.%d" % i for i in range(1, 65)]
PORTS = [22, 830, 9339, 443]
TIMEOUT = "0.2"
RUNS = 3
GOAL = 1.5
PLAN_GOAL = 1.2
PLAN = ["plan", "--vendor", "cisco_ios", "--firmware", "16.12.4"]
TIMED_OUT = ["ssh:22 connection timed out", "netconf:830 connection timed out",
             "gnmi:9339 connection timed out", "restconf:443 connection timed out"]


def fill(listeners):
    """Connects to every listener until its accept queue is full; returns the
    connections, which must stay open.

    All listeners are tried at once, round by round: a connect that has not
    completed after 100 ms had its SYN dropped, so from then on every connect
    to that listener waits for its timeout.
    """
    held = []
    pending = list(listeners)
    for _ in range(16):
        attempts = {}
        for listener in pending:
            client = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            client.setblocking(False)
            client.connect_ex(listener.getsockname())
            attempts[client] = listener
        time.sleep(0.1)
        # poll, not select: the descriptors of a large fleet pass select's 1024.
        poller = select.poll()
        for client in attempts:
            poller.register(client, select.POLLOUT)
        done = {fd for fd, _ in poller.poll(0)}
        pending = []
        for client, listener in attempts.items():
            if (client.fileno() in done
                    and client.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR) == 0):
                held.append(client)
                pending.append(listener)
            else:
                client.close()
        if not pending:
            return held
    raise RuntimeError("%d accept queues never filled" % len(pending))


def dropping_hosts():
    listeners = []
    for host in HOSTS:
        for port in PORTS:
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            listener.bind((host, port))
            listener.listen(0)
            listeners.append(listener)
    return listeners + fill(listeners)


def timed_probe(hosts, jobs, command=("probe",), diagnostics=TIMED_OUT):
    start = time.perf_counter()
    result = subprocess.run([VANTREL, *command, "--json", "--timeout", TIMEOUT, "--jobs", jobs,
                             *hosts], capture_output=True, text=True, timeout=120)
    elapsed = time.perf_counter() - start
    reports = [json.loads(line) for line in result.stdout.splitlines()]
    wrong = result.returncode != 0 or [r["host"] for r in reports] != hosts or any(
        r["diagnostics"] != diagnostics or len(r.get("plan", [None] * 25)) != 25
        for r in reports)
    if wrong:
        print("WRONG reports (status %d): %s%s" % (result.returncode, result.stdout[:500],
                                                   result.stderr[:500]))
    return elapsed, wrong


def main():
    if os.geteuid() != 0:
        print("skipped: listening on ports 22 and 443 needs root")
        return 0
    if not os.access(VANTREL, os.X_OK):
        print("no vantrel at %s: run make build" % VANTREL)
        return 1
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 4096)), hard))
    sockets = dropping_hosts()
    try:
        wrong = False
        one, many, plans = [], [], []
        for _ in range(RUNS):
            for times, hosts, jobs, command in [(one, HOSTS[:1], "1", ["probe"]),
                                                (many, HOSTS, "64", ["probe"]),
                                                (plans, HOSTS, "64", PLAN)]:
                elapsed, bad = timed_probe(hosts, jobs, command)
                times.append(elapsed)
                wrong |= bad
    finally:
        for s in sockets:
            s.close()
    refused = ["%s:%d Connection refused (os error 111)" % (name, port)
               for name, port in zip(["ssh", "netconf", "gnmi", "restconf"], PORTS)]
    fast = {}
    for name, command in [("probe", ["probe"]), ("plan", PLAN)]:
        times = []
        for _ in range(RUNS * 5):
            elapsed, bad = timed_probe(HOSTS, "64", command, refused)
            times.append(elapsed)
            wrong |= bad
        fast[name] = statistics.median(times)
    one_s, many_s = statistics.median(one), statistics.median(many)
    plan_s = statistics.median(plans)
    ratio = many_s / one_s
    print("vantrel probe --timeout %s, every port dropping (median of %d runs):" % (TIMEOUT, RUNS))
    print("  1 host,   --jobs 1:  %.3f s" % one_s)
    print("  64 hosts, --jobs 64: %.3f s" % many_s)
    print("  ratio %.2f (%s the %.1fx goal)" % (ratio, "meets" if ratio <= GOAL else "MISSES",
                                               GOAL))
    plan_ratio = plan_s / many_s
    print("vantrel plan %s, same hosts:" % " ".join(PLAN[1:]))
    print("  64 hosts, --jobs 64: %.3f s, %.2fx probe (%s the %.1fx goal)" % (
        plan_s, plan_ratio, "meets" if plan_ratio <= PLAN_GOAL else "MISSES", PLAN_GOAL))
    print("64 hosts whose ports refuse, --jobs 64 (median of %d runs): probe %.1f ms, plan "
          "%.1f ms (%.2fx)" % (RUNS * 5, fast["probe"] * 1e3, fast["plan"] * 1e3,
                               fast["plan"] / fast["probe"]))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
