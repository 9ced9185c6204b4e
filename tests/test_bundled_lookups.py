"""Lookups on the compiled-in catalog: the worked examples and the firmware
edge cases of each vendor's table."""
import unittest

from orvane_vantrel._native import Catalog

# Outcomes other than a text; the messages themselves are tested elsewhere.
FOUND, NO_ENTRY, INVALID, NOT_SUPPORTED = "any text", "no entry", "invalid", "not supported"

CASES = [
    # Worked examples.
    ("cisco_ios", "16.12.4", "MAC_TABLE", "show mac address-table"),
    ("cisco_ios", "12.2(55)SE12", "MAC_TABLE", "show mac-address-table"),
    ("arista_eos", "4.20.1F", "INTERFACE_CONFIG", "show running-config interfaces {interface}"),
    ("aruba_aoscx", "10.13", "PORT_POLICY_PUSH", FOUND),
    ("aruba_aoscx", "GL.10.13", "PORT_POLICY_PUSH", NO_ENTRY),
    ("cisco_nxos", "5.2(1)", "ARP_TABLE", NO_ENTRY),
    ("hpe_procurve", "16.10.0021", "ARP_TABLE", "show arp"),
    ("meraki_ms", "switch-15-21", "ARP_TABLE", INVALID),
    ("meraki_ms", "15.21", "ARP_TABLE", FOUND),
    # Arista: everything needs 4.20.
    ("arista_eos", "4.19", "ARP_TABLE", NO_ENTRY),
    # Aruba: the kbps form never wins; CIVIC_LOCATION needs 10.05.
    ("aruba_aoscx", "FL.10.13.1000", "PORT_POLICY_PUSH", FOUND),
    ("aruba_aoscx", "10.04", "CIVIC_LOCATION", NO_ENTRY),
    ("aruba_aoscx", "10.05", "CIVIC_LOCATION", FOUND),
    # Cisco IOS: the 12.x / 15.x split and the 12.2 and 15.0 floors.
    ("cisco_ios", "12.2", "LLDP_DETAIL", FOUND),
    ("cisco_ios", "12.2(55)SE12", "HARDWARE_IDENTITY", NO_ENTRY),
    # NX-OS bracket firmware.
    ("cisco_nxos", "7.0(3)I7(9)", "PORT_POE_ON", FOUND),
    # Junos: per-block minimum releases.
    ("juniper_junos", "10.4R3", "ARP_TABLE", "show arp no-resolve | no-more"),
    ("juniper_junos", "10.4R3", "MAC_TABLE", NO_ENTRY),
    ("juniper_junos", "1.0", "SAVE_CONFIG", "commit"),
    # NOT_SUPPORTED applies to every firmware.
    ("arista_eos", "4.30.1F", "CIVIC_LOCATION", NOT_SUPPORTED),
    ("meraki_ms", "15.21", "SAVE_CONFIG", NOT_SUPPORTED),
]


class BundledLookups(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.catalog = Catalog.load_bundled()

    def test_cases(self):
        for vendor, firmware, command, expected in CASES:
            with self.subTest(vendor=vendor, firmware=firmware, command=command):
                try:
                    got = self.catalog.cli(vendor, firmware, command)
                    got = FOUND if expected == FOUND else got
                except ValueError as error:
                    message = error.args[0]
                    got = (NOT_SUPPORTED if " is not supported on " in message else
                           NO_ENTRY if message.startswith("no entry for ") else
                           INVALID if message.startswith("invalid firmware version ") else message)
                self.assertEqual(got, expected)


if __name__ == "__main__":
    unittest.main()
