#!/usr/bin/env python3
"""Compare the fixed parts of vendor files between a git revision and the
working tree: identity, capabilities (but their notes), every block's type and
alternatives, every entry's applies_to, cli and unverified, and the notes of
NOT_SUPPORTED entries. Free text (samples, parser notes, required
configuration, descriptions, other notes, sources) may differ.

    python3 tools/fixed_parts.py [REV] [FILE...]   (default: HEAD, catalog/*.yaml)
"""
import pathlib
import subprocess
import sys

import yaml

ROOT = pathlib.Path(__file__).resolve().parent.parent


def fixed(document):
    capabilities = {name: {k: v for k, v in (record or {}).items() if k != "notes"}
                    for name, record in (document.get("protocol_capabilities") or {}).items()}
    blocks = []
    for block in document.get("commands", []):
        entries = [(e["applies_to"], e["cli"], e.get("unverified", False),
                    e.get("notes") if e["cli"] == "NOT_SUPPORTED" else None)
                   for e in block["versions"]]
        blocks.append((block["type"], entries, block.get("protocol_alternatives")))
    identity = {k: document.get(k) for k in ("vendor", "display_name", "manufacturer",
                                             "product_family")}
    return identity, capabilities, blocks


def main(argv):
    rev = argv[0] if argv and not argv[0].endswith(".yaml") else "HEAD"
    files = [a for a in argv if a.endswith(".yaml")] or sorted(
        str(p.relative_to(ROOT)) for p in ROOT.glob("catalog/*.yaml"))
    bad = 0
    for name in files:
        old = yaml.safe_load(subprocess.run(["git", "-C", str(ROOT), "show", f"{rev}:{name}"],
                                            capture_output=True, text=True, check=True).stdout)
        new = yaml.safe_load((ROOT / name).read_text())
        for label, a, b in zip(("identity", "capabilities", "blocks"), fixed(old), fixed(new)):
            if a != b:
                bad += 1
                print(f"{name}: {label} changed")
                if label == "blocks":
                    for x, y in zip(a, b):
                        if x != y:
                            print(f"  {x[0]}: {x} -> {y}"[:400])
    print("fixed parts unchanged" if not bad else f"{bad} differences")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
