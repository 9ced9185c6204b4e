"""What the catalog prescribes for one device.

For a vendor and the firmware its device reports, print the command text of
each of the 25 operations on the compiled-in catalog, or why there is none:

    PYTHONPATH=build/python python3 examples/demo.py [VENDOR FIRMWARE]

Without arguments it shows an Arista EOS switch on 4.22.1F.
"""
import sys

from orvane_vantrel._native import Catalog, __version__

OPERATIONS = [
    "ARP_TABLE", "MAC_TABLE", "NEIGHBOR_DETAIL", "LLDP_DETAIL", "PORT_CHANNEL_MEMBERS",
    "INTERFACE_CONFIG", "INTERFACE_CONFIG_BULK", "INTERFACE_STATS", "CIVIC_LOCATION",
    "VLAN_LIST", "SVI_CONFIG", "STP_VLAN_LIST", "HARDWARE_IDENTITY", "HOSTNAME", "VERSION",
    "PORT_SHUTDOWN", "PORT_NO_SHUTDOWN", "PORT_VLAN_ASSIGN", "PORT_POE_OFF", "PORT_POE_ON",
    "PORT_POLICY_PUSH", "VLAN_CREATE", "SVI_CREATE", "STP_VLAN_ENABLE", "SAVE_CONFIG",
]


def describe(catalog, vendor, firmware, operation):
    """The stored text, indented under its operation, or the reason there is none."""
    try:
        text = catalog.cli(vendor, firmware, operation)
    except ValueError as error:  # unknown vendor, bad firmware, no entry, not supported
        return "  (none) " + error.args[0].splitlines()[0]
    except KeyError as error:  # the vendor's file has no block for this operation
        return "  (none) " + error.args[0]
    return "\n".join("  " + line for line in text.splitlines())


def main(argv):
    vendor, firmware = argv[1:3] if len(argv) >= 3 else ("arista_eos", "4.22.1F")
    # Parse once and keep the catalog: every load parses all seven files again.
    catalog = Catalog.load_bundled()
    print("orvane_vantrel._native %s; vendors: %s" % (__version__, ", ".join(catalog.vendors())))
    print("%s on firmware %s:\n" % (vendor, firmware))
    for operation in OPERATIONS:
        print(operation)
        print(describe(catalog, vendor, firmware, operation))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
