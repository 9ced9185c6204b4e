"""vantrel parse of a large answer: a 100,000-row Arista MAC table read into
typed records and printed as JSON, with vantrel's peak memory.

Goal: at most 0.5 s. Run by `make bench`; exits non-zero only when the
records are wrong.
"""
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
VANTREL = os.path.join(HERE, "..", os.environ.get("BUILD", "build"), "bin", "vantrel")
ROWS = 100_000
GOAL = 0.5
ROUNDS = 5

HEAD = """          Mac Address Table
------------------------------------------------------------------

Vlan    Mac Address       Type        Ports      Moves   Last Move
----    -----------       ----        -----      -----   ---------
"""


def answer():
    lines = [HEAD]
    for i in range(ROWS):
        mac = "%04x.%04x.%04x" % (0x001c, i >> 16, i & 0xffff)
        lines.append("%4d    %s    DYNAMIC     Et%-7d  %-5d   0:%02d:%02d ago\n"
                     % (1 + i % 4000, mac, 1 + i % 48, i % 7, (i // 60) % 60, i % 60))
    lines.append("Total Mac Addresses for this criterion: %d\n" % ROWS)
    return "".join(lines)


def main():
    with tempfile.NamedTemporaryFile("w", suffix=".txt") as table:
        table.write(answer())
        table.flush()
        size = os.path.getsize(table.name)
        best = float("inf")
        out = ""
        for _ in range(ROUNDS):
            start = time.perf_counter()
            run = subprocess.run([VANTREL, "parse", "arista_eos", "4.22.1F", "MAC_TABLE", table.name,
                                  "--json"], capture_output=True, text=True, timeout=120)
            best = min(best, time.perf_counter() - start)
            out = run.stdout
        peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    document = json.loads(out)
    wrong = (len(document["records"]) != ROWS or document["unread"]
             or document["records"][-1]["vlan"] != 1 + (ROWS - 1) % 4000)
    print("vantrel parse, a %d-row MAC table (%.1f MB) to typed records as JSON:" % (ROWS, size / 1e6))
    print("  %.3f s (best of %d; %s the %.1f s goal), peak resident memory %.0f MB"
          % (best, ROUNDS, "meets" if best <= GOAL else "MISSES", GOAL, peak))
    if wrong:
        print("WRONG records")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
