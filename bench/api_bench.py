"""The package's functions: lookup() on a loaded catalog against Catalog.cli
on the same requests, and probe_many over 4,096 silent loopback hosts, side
by side in one run.

lookup() builds the whole document of `vantrel lookup --json` (eight keys)
where Catalog.cli returns one str: at most 5 us a call and at most 10 times
Catalog.cli. probe_many runs in a child interpreter (its peak memory is its
own): every host listens on 9339 and 443 with a full accept queue, so each
connect waits out its timeout; skip=("ssh", "netconf"), timeout_seconds=1,
jobs=4096: at most 1.15 times the floor of two timeouts.

Run by `make bench` with the package on PYTHONPATH. Needs root (port 443)
for the fleet part. Exits non-zero only when answers or reports are wrong.
"""
import multiprocessing
import os
import pathlib
import resource
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from cli_bench import FOUND  # noqa: E402
from vantrel_fleet_bench import HELPERS, SILENT, TIMED_OUT, hold_listeners  # noqa: E402

import orvane_vantrel as ov  # noqa: E402

LOOKUP_GOAL_US = 5.0
RATIO_GOAL = 10.0
FLOOR = 2.0
FLEET_GOAL = 1.15
ROUNDS = 7
CALLS = 20_000

# Run in the child: the fleet, timed around the iteration alone.
FLEET_CHILD = """
import json, resource, sys, time
import orvane_vantrel as ov
hosts = ["127.10.%d.%d" % (t, l) for t in range(16) for l in range(256)]
start = time.perf_counter()
reports = list(ov.probe_many(hosts, skip=("ssh", "netconf"), timeout_seconds=1, jobs=4096))
elapsed = time.perf_counter() - start
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
print(json.dumps({"elapsed": elapsed, "peak": peak,
                  "hosts": [r["host"] for r in reports],
                  "diagnostics": sorted({tuple(r["diagnostics"]) for r in reports})}))
"""


def per_call_us(call):
    """The best of ROUNDS rounds, in microseconds a call."""
    best = float("inf")
    for _ in range(ROUNDS):
        start = time.perf_counter()
        for i in range(CALLS):
            call(i)
        best = min(best, (time.perf_counter() - start) / CALLS * 1e6)
    return best


def bench_lookup():
    catalog = ov.Catalog.load_bundled()
    for vendor, firmware, command in FOUND:
        document = ov.lookup(catalog, vendor, firmware, command)
        if document["cli"] != catalog.cli(vendor, firmware, command):
            print("WRONG: lookup() and Catalog.cli disagree on", vendor, firmware, command)
            return True
    n = len(FOUND)
    cli = per_call_us(lambda i: catalog.cli(*FOUND[i % n]))
    lookup = per_call_us(lambda i: ov.lookup(catalog, *FOUND[i % n]))
    ratio = lookup / cli
    print("lookup() on a loaded catalog, the found entries of cli_bench.py:")
    print("  %.2f us a call (%s the %.0f us goal); Catalog.cli %.2f us: %.1fx (%s the %.0fx goal)"
          % (lookup, "meets" if lookup <= LOOKUP_GOAL_US else "MISSES", LOOKUP_GOAL_US, cli,
             ratio, "meets" if ratio <= RATIO_GOAL else "MISSES", RATIO_GOAL))
    return False


def bench_fleet():
    if os.geteuid() != 0:
        print("probe_many: skipped, listening on port 443 needs root")
        return False
    stop = multiprocessing.Event()
    helpers = []
    for i in range(HELPERS):
        ready = multiprocessing.Event()
        helper = multiprocessing.Process(target=hold_listeners,
                                         args=(SILENT[i::HELPERS], ready, stop))
        helper.start()
        helpers.append((helper, ready))
    try:
        for _, ready in helpers:
            if not ready.wait(120):
                raise RuntimeError("a helper never filled its accept queues")
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        child = subprocess.run([sys.executable, "-c", FLEET_CHILD], capture_output=True,
                               text=True, timeout=300)
    finally:
        stop.set()
        for helper, _ in helpers:
            helper.join()
    if child.returncode != 0:
        print("WRONG: the probe_many child failed:", child.stderr[-500:])
        return True
    import json
    result = json.loads(child.stdout)
    wrong = result["hosts"] != SILENT or result["diagnostics"] != [list(TIMED_OUT)]
    ratio = result["elapsed"] / FLOOR
    print("probe_many, 4,096 silent loopback hosts, skip ssh and netconf, 1 s, jobs=4096:")
    print("  %.2f s, %.2fx the floor of %.0f s (%s the %.2fx goal); peak resident memory of "
          "the interpreter %.0f MB" % (result["elapsed"], ratio, FLOOR,
                                       "meets" if ratio <= FLEET_GOAL else "MISSES", FLEET_GOAL,
                                       result["peak"]))
    if wrong:
        print("WRONG reports:", result["diagnostics"][:3])
    return wrong


def main():
    wrong = bench_lookup()
    wrong = bench_fleet() or wrong
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
