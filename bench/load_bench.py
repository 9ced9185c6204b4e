"""Catalog.load_bundled against PyYAML's CSafeLoader on the same seven texts,
next to the C++ figures of build/bench/load_bench: the load against a bare
libyaml event scan, and the heap one catalog holds against its YAML.

Run with the built package on PYTHONPATH (``make bench`` does). Exits non-zero
only when a measurement cannot be taken.
"""

import json
import pathlib
import statistics
import subprocess
import sys
import time

import yaml
from orvane_vantrel._native import Catalog

ROOT = pathlib.Path(__file__).resolve().parent.parent
CATALOG_DIR = ROOT / "catalog"
NATIVE_BENCH = ROOT / "build" / "bench" / "load_bench"
# The compiled-in table, in its fixed order.
BUNDLED = [
    "arista-eos.yaml",
    "aruba-aoscx.yaml",
    "cisco-ios-xe.yaml",
    "cisco-nxos.yaml",
    "hpe-procurve.yaml",
    "juniper-junos.yaml",
    "meraki-mx-ms.yaml",
]
SCAN_GOAL = 1.3  # load at most this many times the bare scan
PYYAML_GOAL = 5.0  # CSafeLoader at least this many times slower than the load
HEAP_GOAL = 2.0  # heap held below this many times the YAML size
ROUNDS = 25


def timings(call, rounds=ROUNDS):
    """Seconds per call over `rounds` calls, after one warm-up call."""
    call()
    samples = []
    for _ in range(rounds):
        start = time.perf_counter()
        call()
        samples.append(time.perf_counter() - start)
    return samples


def describe(samples):
    return f"best {min(samples) * 1e3:.2f} ms, median {statistics.median(samples) * 1e3:.2f} ms"


def verdict(ok):
    return "meets" if ok else "MISSES"


def native_figures():
    """BM_LoadBundled and BM_BareScan from the C++ benchmark, by name."""
    if not NATIVE_BENCH.exists():
        print(f"{NATIVE_BENCH} not found; build it with `make build`")
        return None
    done = subprocess.run(
        [str(NATIVE_BENCH), "--benchmark_format=json", "--benchmark_repetitions=5"],
        check=True, capture_output=True, text=True)
    report = json.loads(done.stdout)
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    figures = {}
    for run in report["benchmarks"]:
        if run.get("run_type") != "aggregate" or run.get("aggregate_name") != "median":
            continue
        run = dict(run, cpu_seconds=run["cpu_time"] * scale[run["time_unit"]])
        figures[run["run_name"]] = run
    return figures


def main():
    texts = [(CATALOG_DIR / name).read_text(encoding="utf-8") for name in BUNDLED]
    yaml_bytes = sum(len(text.encode("utf-8")) for text in texts)

    def pyyaml_load():
        return [yaml.load(text, Loader=yaml.CSafeLoader) for text in texts]

    loaded = Catalog.load_bundled()
    plain = pyyaml_load()
    if [data["vendor"] for data in plain] != loaded.vendors():
        print(f"the catalog files and the compiled-in table differ: {loaded.vendors()}")
        return 1

    native = timings(Catalog.load_bundled)
    pyyaml = timings(pyyaml_load)
    print(f"YAML: {len(texts)} files, {yaml_bytes} bytes")
    print(f"Catalog.load_bundled(): {describe(native)}")
    print(f"PyYAML CSafeLoader, plain objects: {describe(pyyaml)}")
    ratio = min(pyyaml) / min(native)
    print(f"CSafeLoader / load_bundled: {ratio:.2f}x ({verdict(ratio >= PYYAML_GOAL)} the "
          f"{PYYAML_GOAL:.0f}x goal)")

    figures = native_figures()
    if figures is None or "BM_LoadBundled" not in figures or "BM_BareScan" not in figures:
        print("no C++ figures for the load and the bare scan")
        return 1
    load = figures["BM_LoadBundled"]
    scan = figures["BM_BareScan"]
    scan_ratio = load["cpu_seconds"] / scan["cpu_seconds"]
    print(f"C++ load_bundled {load['cpu_seconds'] * 1e3:.2f} ms, bare libyaml scan "
          f"{scan['cpu_seconds'] * 1e3:.2f} ms (CPU, median of 5): load/scan {scan_ratio:.2f}x "
          f"({verdict(scan_ratio <= SCAN_GOAL)} the {SCAN_GOAL}x goal)")
    heap_ratio = load["heap_bytes"] / load["yaml_bytes"]
    print(f"heap held by one catalog: {load['heap_bytes']:.0f} bytes for "
          f"{load['yaml_bytes']:.0f} bytes of YAML: {heap_ratio:.2f}x "
          f"({verdict(heap_ratio < HEAP_GOAL)} the {HEAP_GOAL:.0f}x goal)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
