#!/bin/sh
# The module must export PyInit__native and nothing else.
set -eu
exports=$(nm -D --defined-only "$1" | awk '{print $3}')
if [ "$exports" != "PyInit__native" ]; then
  echo "unexpected exported symbols:" >&2
  echo "$exports" >&2
  exit 1
fi
soname=$(objdump -p "$1" | awk '$1 == "SONAME" {print $2}')
if [ "$soname" != "orvane_vantrel._native.abi3.so" ]; then
  echo "unexpected SONAME: $soname" >&2
  exit 1
fi
echo "exports: $exports; SONAME: $soname"
