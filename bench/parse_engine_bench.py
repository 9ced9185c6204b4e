"""The TextFSM engine beside python3-textfsm, on the same templates and
inputs (bench/data: realistic show-command output of about 60-80 lines, and
the same repeated to a large input): compile+parse, and parse with the
template compiled once. Records are checked equal before anything is timed.
Each figure is the least mean of seven rounds, on both sides, and each side
is timed three times, taking turns, keeping its least: the machine is shared,
and its speed changes for seconds at a time, so both sides must see the same
spells. Compiling again finds the regexes compiled before in each engine's
pattern cache (Python's `re` cache, ours), as a long-running program would.
The reference runs in Debian's /usr/bin/python3, which has textfsm."""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
CASES = [("interfaces_detail", 1), ("bgp_summary", 1), ("interfaces_detail", 250)]
GOALS = {"compile+parse": 15.0, "parse": 50.0}
ROUNDS = 3  # turns each side is timed

# Runs in the reference's interpreter: prints the records, then the two means.
REFERENCE = r"""
import io, json, sys, time, textfsm
template, text = open(sys.argv[1]).read(), open(sys.argv[2]).read()
def mean_us(work):
    best = float("inf")
    for _ in range(7):
        runs, start = 0, time.perf_counter()
        while runs < 3 or time.perf_counter() - start < 0.15:
            work(); runs += 1
        best = min(best, (time.perf_counter() - start) / runs * 1e6)
    return best
fsm = textfsm.TextFSM(io.StringIO(template))
print(json.dumps(fsm.ParseTextToDicts(text)))
both = mean_us(lambda: textfsm.TextFSM(io.StringIO(template)).ParseText(text))
def parse():
    fsm.Reset()
    fsm.ParseText(text)
print(both, mean_us(parse))
"""


def timing_program():
    build = os.environ.get("BUILD") or os.path.join(HERE, "..", "build")
    return os.path.join(build, "bench", "parse_timing")


def vantrel():
    return os.path.join(os.path.dirname(timing_program()), "..", "bin", "vantrel")


def least(times):
    """The least of each measure over the turns."""
    return [min(column) for column in zip(*times)]


def main():
    print("%-22s %7s  %-14s %12s %12s %8s %6s" %
          ("template", "lines", "measure", "ours us", "textfsm us", "ratio", "goal"))
    short = []
    for name, repeat in CASES:
        template = os.path.join(DATA, name + ".textfsm")
        with open(os.path.join(DATA, name + ".txt")) as f:
            text = f.read() * repeat
        with tempfile.NamedTemporaryFile("w", suffix=".txt") as input_file:
            input_file.write(text)
            input_file.flush()
            ours = subprocess.run([vantrel(), "parse", "--template", template, input_file.name,
                                   "--json"], capture_output=True, text=True, check=True).stdout
            ref_times, our_times = [], []
            for _ in range(ROUNDS):
                ref = subprocess.run(["/usr/bin/python3", "-c", REFERENCE, template, input_file.name],
                                     capture_output=True, text=True, check=True).stdout.splitlines()
                if json.loads(ours) != json.loads(ref[0]):
                    sys.exit("%s: the records differ from the reference" % name)
                ref_times.append([float(t) for t in ref[1].split()])
                mine = subprocess.run([timing_program(), template, input_file.name],
                                      capture_output=True, text=True, check=True).stdout.split()
                our_times.append([float(t) for t in mine[:2]])
        for measure, our_us, ref_us in zip(GOALS, least(our_times), least(ref_times)):
            ratio = float(ref_us) / float(our_us)
            if ratio < GOALS[measure]:
                short.append("%s %s" % (name, measure))
            print("%-22s %7d  %-14s %12.1f %12.1f %7.1fx %5.0fx" %
                  (name, text.count("\n"), measure, float(our_us), float(ref_us), ratio,
                   GOALS[measure]))
    print("below goal: " + (", ".join(short) if short else "none"))


if __name__ == "__main__":
    main()
