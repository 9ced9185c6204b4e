#!/bin/sh
# What `make install` puts in place: cmake --install of both components into
# a scratch prefix, then the tool and the module run from there.
#   check_install.sh BUILD_DIR PYTHON
set -eu
build=$1
python=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component vantrel --prefix "$prefix" >/dev/null
cmake --install "$build" --component python --prefix "$prefix/site" >/dev/null
found=$(cd "$prefix" && find . -type f | sort | tr '\n' ' ')
expected="./bin/vantrel ./site/orvane_vantrel/__init__.py ./site/orvane_vantrel/_api.abi3.so ./site/orvane_vantrel/_api.pyi ./site/orvane_vantrel/_native.abi3.so ./site/orvane_vantrel/_native.pyi ./site/orvane_vantrel/py.typed "
if [ "$found" != "$expected" ]; then
  echo "installed: $found" >&2
  exit 1
fi
"$prefix/bin/vantrel" lookup arista_eos 4.22.1F VERSION
cd "$prefix" && PYTHONPATH="$prefix/site" "$python" -c '
import orvane_vantrel._native as native, sys
assert native.__file__.startswith(sys.argv[1]), native.__file__
print(native.Catalog.load_bundled().cli("arista_eos", "4.22.1F", "VERSION"))
import orvane_vantrel
assert orvane_vantrel.lookup(None, "eos", "4.22.1F", "VERSION")["status"] == "text"
' "$prefix/site"
