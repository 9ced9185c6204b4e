"""Builds the orvane_vantrel wheel around the module that CMake built.

    python3 build_wheel.py --native build/python/orvane_vantrel/_native.abi3.so \
        --api build/python/orvane_vantrel/_api.abi3.so --version 0.2.0 --outdir dist

Run it with a Python that has the `build`, `setuptools` and `wheel` packages
(Debian: python3-build, python3-setuptools, python3-wheel). The packaging
files of this folder and the two modules are copied into a fresh staging folder,
so the source tree and the CMake build folder stay untouched. Prints the
path of the wheel it wrote.
"""
import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
PACKAGE_FILES = ["__init__.py", "_native.pyi", "_api.pyi", "py.typed"]
WHEEL_TAG = "cp39-abi3-linux_x86_64"


def stage(native, api, version, folder):
    shutil.copy(HERE / "setup.py", folder / "setup.py")
    shutil.copy(HERE / "setup.cfg", folder / "setup.cfg")
    pyproject = (HERE / "pyproject.toml").read_text().replace("@VERSION@", version)
    (folder / "pyproject.toml").write_text(pyproject)
    package = folder / "orvane_vantrel"
    package.mkdir()
    for name in PACKAGE_FILES:
        shutil.copy(HERE / "orvane_vantrel" / name, package / name)
    shutil.copy(native, package / "_native.abi3.so")
    shutil.copy(api, package / "_api.abi3.so")


def build(native, api, version, outdir):
    """Returns the path of the wheel written to `outdir`."""
    outdir.mkdir(parents=True, exist_ok=True)
    expected = outdir / ("orvane_vantrel-%s-%s.whl" % (version, WHEEL_TAG))
    with tempfile.TemporaryDirectory(prefix="orvane-wheel-") as tmp:
        folder = pathlib.Path(tmp)
        stage(native, api, version, folder)
        subprocess.run([sys.executable, "-m", "build", "--no-isolation", "--wheel",
                        "--outdir", str(outdir), str(folder)],
                       check=True, stdout=sys.stderr)
    if not expected.is_file():
        raise SystemExit("build_wheel.py: the backend did not write %s" % expected.name)
    return expected


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--native", required=True, type=pathlib.Path)
    parser.add_argument("--api", required=True, type=pathlib.Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--outdir", required=True, type=pathlib.Path)
    args = parser.parse_args()
    for module in (args.native, args.api):
        if not module.is_file():
            parser.error("no module at %s: build it first" % module)
    print(build(args.native, args.api, args.version, args.outdir.resolve()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
