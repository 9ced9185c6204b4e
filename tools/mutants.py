#!/usr/bin/env python3
"""Mutation run: apply each mutant from mutants.txt, rebuild, run ctest, restore.

A mutant's `find` snippet is searched in every *.cc and *.h under src/, so the
list keeps working when files move between folders. It must occur exactly once.
"""
import argparse
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
CTEST_EXCLUDE = r"python-3\.(9|10|12|13)"


def read_mutants(path):
    mutants, current = [], {}
    for raw in path.read_text().splitlines():
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line.startswith("find:"):
            current["find"] = line[5:].removeprefix(" ")
        elif line.startswith("replace:"):
            current["replace"] = line[8:].removeprefix(" ")
        else:
            current = {"id": line.removeprefix("id:").strip()}
            mutants.append(current)
    for m in mutants:
        if "find" not in m or "replace" not in m or not m["find"]:
            sys.exit(f"mutant {m['id']}: needs a find: and a replace: line")
    return mutants


def locate(snippet):
    """(path, None) when the snippet occurs once under src/, else (None, reason)."""
    hits = []
    for path in sorted(ROOT.joinpath("src").rglob("*")):
        if path.suffix in (".cc", ".h") and path.is_file():
            hits += [path] * path.read_text(encoding="utf-8").count(snippet)
    if not hits:
        return None, "not found"
    if len(hits) > 1:
        return None, f"ambiguous ({len(hits)}x)"
    return hits[0], None


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def build(build_dir):
    return run(["cmake", "--build", build_dir, "-j1"], 1800) == 0


def test(build_dir):
    return run(["ctest", "--test-dir", build_dir, "-LE", "wheel", "-j2", "--timeout", "120",
                "-E", CTEST_EXCLUDE], 1800) == 0


def try_mutant(mutant, build_dir, check_only):
    path, reason = locate(mutant["find"])
    if path is None:
        return "-", reason
    where = str(path.relative_to(ROOT))
    if check_only:
        return where, "located"
    original = path.read_bytes()
    try:
        text = original.decode("utf-8").replace(mutant["find"], mutant["replace"], 1)
        path.write_bytes(text.encode("utf-8"))
        if not build(build_dir):
            return where, "did not compile"
        return where, "survived" if test(build_dir) else "killed"
    finally:
        path.write_bytes(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default="build", help="build directory (default: build)")
    parser.add_argument("--only", nargs="+", metavar="ID", help="run only these mutants")
    parser.add_argument("--list", default=str(ROOT / "tools" / "mutants.txt"))
    parser.add_argument("--check", action="store_true", help="only locate the snippets")
    args = parser.parse_args()
    mutants = read_mutants(pathlib.Path(args.list))
    if args.only:
        unknown = set(args.only) - {m["id"] for m in mutants}
        if unknown:
            sys.exit("unknown mutant ids: " + " ".join(sorted(unknown)))
        mutants = [m for m in mutants if m["id"] in args.only]
    rows, started = [], time.monotonic()
    try:
        for mutant in mutants:
            t0 = time.monotonic()
            where, result = try_mutant(mutant, args.build, args.check)
            rows.append((mutant["id"], where, result, time.monotonic() - t0))
            print(f"{rows[-1][0]:<22} {where:<34} {result:<16} {rows[-1][3]:7.1f}s", flush=True)
    finally:
        if not args.check and not build(args.build):
            print("warning: the rebuild of the restored source failed", file=sys.stderr)
    print(f"\n{'id':<22} {'file':<34} {'result':<16} {'seconds':>8}")
    for ident, where, result, seconds in rows:
        print(f"{ident:<22} {where:<34} {result:<16} {seconds:8.1f}")
    counts = {r: sum(1 for row in rows if row[2] == r) for r in {row[2] for row in rows}}
    print("\n" + ", ".join(f"{n} {r}" for r, n in sorted(counts.items()))
          + f"; total {time.monotonic() - started:.0f}s")
    return 1 if any(row[2] in ("not found",) or row[2].startswith("ambiguous") for row in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
