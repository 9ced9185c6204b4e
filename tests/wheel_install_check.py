"""The wheel, built as `make wheel` builds it, installs offline into a fresh
virtual environment of each interpreter and passes the Python tests there.

    wheel_install_check.py --native SO --api SO --version V PYTHON...

Run by ctest (test wheel-install) with the Python that builds wheels. Every
environment lives in a temporary folder: the interpreters stay untouched.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import zipfile

TESTS = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(TESTS.parent / "packaging"))

import build_wheel  # noqa: E402

CONTENTS = {"orvane_vantrel/__init__.py", "orvane_vantrel/_native.abi3.so",
            "orvane_vantrel/_native.pyi", "orvane_vantrel/_api.abi3.so",
            "orvane_vantrel/_api.pyi", "orvane_vantrel/py.typed"}

# Run inside each environment: the module must come from its site-packages,
# and the wheel's version must be the module's.
WHERE_FROM = """
import importlib.metadata, sys
import orvane_vantrel._native as native
assert native.__file__.startswith(sys.prefix), native.__file__
import orvane_vantrel._api as api
assert api.__file__.startswith(sys.prefix), api.__file__
assert importlib.metadata.version("orvane-vantrel") == native.__version__
"""


def wheel_problems(wheel, version):
    info = "orvane_vantrel-%s.dist-info/" % version
    with zipfile.ZipFile(wheel) as archive:
        package = {n for n in archive.namelist() if not n.startswith(info)}
        metadata = archive.read(info + "WHEEL").decode().splitlines()
    return ([] if wheel.name == "orvane_vantrel-%s-%s.whl" % (version, build_wheel.WHEEL_TAG)
            else ["wheel named " + wheel.name]) + \
        ([] if package == CONTENTS else ["package files %s" % sorted(package)]) + \
        ["WHEEL lacks " + line for line in ["Root-Is-Purelib: false", "Tag: " + build_wheel.WHEEL_TAG]
         if line not in metadata]


def interpreter_failure(python, wheel, folder):
    """The failure text, or None."""
    venv = folder / "venv"
    env = {k: v for k, v in os.environ.items()
           if k not in ("PYTHONPATH", "PYTHONHOME", "VANTREL", "VIRTUAL_ENV")}
    env.update(PYTHONNOUSERSITE="1", PYTHONDONTWRITEBYTECODE="1", PIP_NO_INPUT="1")
    inside = str(venv / "bin" / "python")
    for step in [[python, "-m", "venv", str(venv)],
                 [inside, "-m", "pip", "install", "--no-index", "--no-deps", "--quiet",
                  "--disable-pip-version-check", str(wheel)],
                 [inside, "-c", WHERE_FROM],
                 [inside, "-m", "unittest", "discover", "-s", str(TESTS), "-p", "test_*.py"]]:
        # The folder is not the source tree, so nothing shadows the installed package.
        result = subprocess.run(step, cwd=folder, env=env, timeout=600, text=True,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if result.returncode != 0:
            return "%s failed (%d):\n%s" % (" ".join(step[1:4]), result.returncode, result.stdout)
    print("  " + [line for line in result.stdout.splitlines() if line.startswith("Ran ")][-1])
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--native", required=True, type=pathlib.Path)
    parser.add_argument("--api", required=True, type=pathlib.Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("pythons", nargs="+")
    args = parser.parse_args()
    failures = []
    with tempfile.TemporaryDirectory(prefix="orvane-wheel-check-") as tmp:
        tmp = pathlib.Path(tmp)
        wheel = build_wheel.build(args.native, args.api, args.version, tmp / "dist")
        for problem in wheel_problems(wheel, args.version):
            print("wheel: " + problem)
            failures.append(problem)
        for index, python in enumerate(args.pythons):
            print("%s:" % python)
            folder = tmp / ("python-%d" % index)
            folder.mkdir()
            failure = interpreter_failure(python, wheel, folder)
            if failure:
                print(failure)
                failures.append(python)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
