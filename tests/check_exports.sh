#!/bin/sh
# An extension module of the package must export its own init and nothing else.
#   check_exports.sh MODULE NAME   (NAME: _native or _api)
set -eu
exports=$(nm -D --defined-only "$1" | awk '{print $3}')
if [ "$exports" != "PyInit_$2" ]; then
  echo "unexpected exported symbols:" >&2
  echo "$exports" >&2
  exit 1
fi
soname=$(objdump -p "$1" | awk '$1 == "SONAME" {print $2}')
if [ "$soname" != "orvane_vantrel.$2.abi3.so" ]; then
  echo "unexpected SONAME: $soname" >&2
  exit 1
fi
echo "exports: $exports; SONAME: $soname"
