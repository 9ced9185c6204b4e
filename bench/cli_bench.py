"""Catalog.cli against the same lookup written in pure Python, and the
resident memory over a million cli calls.

Run with the built package on PYTHONPATH (``make bench`` does). Exits non-zero
only when the two implementations disagree on an answer.
"""

import os
import pathlib
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import pure_python_lookup  # noqa: E402
from orvane_vantrel._native import Catalog  # noqa: E402

CATALOG_DIR = pathlib.Path(__file__).resolve().parent.parent / "catalog"
SPEED_GOAL = 20.0
# The goal is set against the lookup as a Python user would write it; the
# kinder variant that keeps ranges parsed is shown beside it.
JUDGED = {"pure Python"}
RSS_CALLS = 1_000_000
RSS_CHUNKS = 10
RSS_SLACK = 1 << 20  # growth allowed after the first chunk, in bytes

FOUND = [
    ("cisco_ios", "12.2(55)SE12", "ARP_TABLE"),
    ("cisco_ios", "16.12.4", "MAC_TABLE"),
    ("cisco_ios", "12.2(55)SE12", "MAC_TABLE"),
    ("arista_eos", "4.22.1F", "STP_VLAN_LIST"),
    ("aruba_aoscx", "10.13", "PORT_POLICY_PUSH"),
    ("hpe_procurve", "16.10.0021", "ARP_TABLE"),
    ("meraki_ms", "15.21", "ARP_TABLE"),
    ("arista_eos", "4.20.1F", "INTERFACE_CONFIG"),
]
MIXED = FOUND + [
    ("aruba_aoscx", "GL.10.13", "PORT_POLICY_PUSH"),
    ("arista_eos", "4.20.1F", "CIVIC_LOCATION"),
    ("cisco_nxos", "5.2(1)", "ARP_TABLE"),
    ("hpe_procurve", "WC.16.10.0021", "ARP_TABLE"),
    ("meraki_ms", "switch-15-21", "ARP_TABLE"),
    ("cisco_ios_xe", "16.12.4", "ARP_TABLE"),
]


def outcome(cli, request):
    try:
        return ("text", cli(*request))
    except KeyError as error:
        return ("KeyError", error.args[0])
    except ValueError as error:
        return ("ValueError", error.args[0])


def call_all(cli, requests, rounds):
    for _ in range(rounds):
        for request in requests:
            try:
                cli(*request)
            except (KeyError, ValueError):
                pass


def ns_per_call(cli, requests, calls, repeats=5):
    rounds = max(1, calls // len(requests))
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        call_all(cli, requests, rounds)
        best = min(best, time.perf_counter() - start)
    return best * 1e9 / (rounds * len(requests))


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def main():
    native = Catalog.load_bundled()
    data = pure_python_lookup.load_dir(CATALOG_DIR)
    baselines = {
        "pure Python": pure_python_lookup.PurePythonCatalog(data),
        "pure Python, ranges pre-parsed": pure_python_lookup.PreparsedCatalog(data),
    }

    disagreements = 0
    for request in MIXED:
        expected = outcome(native.cli, request)
        for name, baseline in baselines.items():
            got = outcome(baseline.cli, request)
            if got != expected:
                disagreements += 1
                print(f"DISAGREE {request}: native {expected!r}, {name} {got!r}")

    for label, requests in (("found", FOUND), ("mixed", MIXED)):
        native_ns = ns_per_call(native.cli, requests, 200_000)
        print(f"[{label}] Catalog.cli: {native_ns:.0f} ns/call")
        for name, baseline in baselines.items():
            baseline_ns = ns_per_call(baseline.cli, requests, 20_000)
            ratio = baseline_ns / native_ns
            if name in JUDGED:
                verdict = "meets" if ratio >= SPEED_GOAL else "MISSES"
                judged = f"{verdict} the {SPEED_GOAL:.0f}x goal"
            else:
                judged = "for reference"
            print(f"[{label}] {name}: {baseline_ns:.0f} ns/call, Catalog.cli {ratio:.1f}x faster "
                  f"({judged})")

    rounds = -(-RSS_CALLS // (RSS_CHUNKS * len(MIXED)))
    samples = [resident_bytes()]
    for _ in range(RSS_CHUNKS):
        call_all(native.cli, MIXED, rounds)
        samples.append(resident_bytes())
    growth = max(samples[1:]) - samples[1]
    calls = rounds * len(MIXED) * RSS_CHUNKS
    print(f"RSS over {calls} cli calls (KiB per chunk): " +
          " ".join(str(sample // 1024) for sample in samples))
    print(f"RSS growth after the first chunk: {growth // 1024} KiB "
          f"({'flat' if growth <= RSS_SLACK else 'GROWING'})")

    return 1 if disagreements else 0


if __name__ == "__main__":
    sys.exit(main())
