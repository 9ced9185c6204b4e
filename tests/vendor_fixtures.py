"""Vendor files and directories that the Python tests write."""
import os
import tempfile

BUNDLED_VENDORS = ["arista_eos", "aruba_aoscx", "cisco_ios", "cisco_nxos",
                   "hpe_procurve", "juniper_junos", "meraki_ms"]


def vendor_file(vendor, commands="commands: []\n"):
    return ("vendor: %s\ndisplay_name: D\nmanufacturer: M\nproduct_family: P\n"
            % vendor) + commands


LAB_COMMANDS = """commands:
  - type: ARP_TABLE
    versions:
      - applies_to: ">=2.0"
        cli: show arp
      - applies_to: ">=3.0,<4.0"
        cli: show arp v3
  - type: VERSION
    versions:
      - applies_to: "1..2"
        cli: show version
  - type: CIVIC_LOCATION
    versions:
      - applies_to: "*"
        cli: NOT_SUPPORTED
"""


FIFO = object()


class Directory:
    """A temporary directory filled with the given files: a text or bytes is
    a file, None a subdirectory, FIFO a named pipe."""

    def __init__(self, files):
        self.files = files

    def __enter__(self):
        self.tmp = tempfile.TemporaryDirectory()
        for name, text in self.files.items():
            path = os.path.join(self.tmp.name, name)
            if text is None:
                os.mkdir(path)
            elif text is FIFO:
                os.mkfifo(path)
            else:
                with open(path, "wb") as f:
                    f.write(text.encode() if isinstance(text, str) else text)
        return self.tmp.name

    def __exit__(self, *exc):
        self.tmp.cleanup()
