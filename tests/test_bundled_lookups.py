"""Lookups on the compiled-in catalog: the worked examples and the firmware
edge cases of each vendor's table."""
import unittest

from orvane_vantrel._native import Catalog

ARUBA_POLICY_PERCENT = (
    "interface {interface}\n"
    "spanning-tree port-type admin-edge\n"
    "spanning-tree bpdu-guard\n"
    "rate-limit broadcast {percent} percent\n"
    "rate-limit multicast {percent} percent\n"
    "rate-limit unknown-unicast {percent} percent\n"
    "description {description}\n")

FOUND = "found"  # any stored text


def no_entry(vendor, firmware, display):
    return ("ValueError", 'no entry for %s Some("%s") %s' % (vendor, firmware, display))


def invalid(firmware):
    return ("ValueError", "invalid firmware version '%s'" % firmware)


NOT_SUPPORTED = "not supported"

CASES = [
    # Worked examples.
    ("cisco_ios", "12.2(55)SE12", "ARP_TABLE", "show ip arp"),
    ("cisco_ios", "16.12.4", "MAC_TABLE", "show mac address-table"),
    ("cisco_ios", "12.2(55)SE12", "MAC_TABLE", "show mac-address-table"),
    ("arista_eos", "4.22.1F", "STP_VLAN_LIST", "show spanning-tree"),
    ("arista_eos", "4.20.1F", "INTERFACE_CONFIG", "show running-config interfaces {interface}"),
    ("aruba_aoscx", "10.13", "PORT_POLICY_PUSH", ARUBA_POLICY_PERCENT),
    ("aruba_aoscx", "GL.10.13", "PORT_POLICY_PUSH",
     no_entry("aruba_aoscx", "GL.10.13", "PortPolicyPush")),
    ("cisco_nxos", "5.2(1)", "ARP_TABLE", no_entry("cisco_nxos", "5.2(1)", "ArpTable")),
    ("hpe_procurve", "WC.16.10.0021", "ARP_TABLE", invalid("WC.16.10.0021")),
    ("hpe_procurve", "16.10.0021", "ARP_TABLE", "show arp"),
    ("meraki_ms", "switch-15-21", "ARP_TABLE", invalid("switch-15-21")),
    ("meraki_ms", "15.21", "ARP_TABLE",
     "POST /devices/{serial}/liveTools/arpTable  "
     "(then GET /devices/{serial}/liveTools/arpTable/{arpTableId})"),
    ("arista_eos", "1", "arp_table", ("ValueError", "unknown CommandType: arp_table")),
    ("cisco_ios_xe", "16.12.4", "ARP_TABLE", ("ValueError", "unknown vendor: cisco_ios_xe")),
    # Arista: everything needs 4.20.
    ("arista_eos", "4.19", "ARP_TABLE", no_entry("arista_eos", "4.19", "ArpTable")),
    # Aruba: the kbps form never wins; CIVIC_LOCATION needs 10.05.
    ("aruba_aoscx", "10.03", "PORT_POLICY_PUSH", ARUBA_POLICY_PERCENT),
    ("aruba_aoscx", "FL.10.13.1000", "PORT_POLICY_PUSH", ARUBA_POLICY_PERCENT),
    ("aruba_aoscx", "FL.01.16", "PORT_POLICY_PUSH",
     no_entry("aruba_aoscx", "FL.01.16", "PortPolicyPush")),
    ("aruba_aoscx", "10.04", "CIVIC_LOCATION",
     no_entry("aruba_aoscx", "10.04", "CivicLocation")),
    ("aruba_aoscx", "10.05", "CIVIC_LOCATION", FOUND),
    ("aruba_aoscx", "10.04", "VLAN_LIST", FOUND),
    # Cisco IOS: the 12.x / 15.x split and the 12.2 and 15.0 floors.
    ("cisco_ios", "11.0", "ARP_TABLE", no_entry("cisco_ios", "11.0", "ArpTable")),
    ("cisco_ios", "12.1", "LLDP_DETAIL", no_entry("cisco_ios", "12.1", "LldpDetail")),
    ("cisco_ios", "12.2", "LLDP_DETAIL", FOUND),
    ("cisco_ios", "12.2(55)SE12", "HARDWARE_IDENTITY",
     no_entry("cisco_ios", "12.2(55)SE12", "HardwareIdentity")),
    ("cisco_ios", "15.0", "SVI_CONFIG", FOUND),
    # NX-OS bracket firmware.
    ("cisco_nxos", "9.3(5)", "ARP_TABLE", FOUND),
    ("cisco_nxos", "7.0(3)I7(9)", "PORT_POE_ON", FOUND),
    ("cisco_nxos", "6.2(2)", "ARP_TABLE", FOUND),
    ("cisco_nxos", "6.2(2)", "CIVIC_LOCATION", no_entry("cisco_nxos", "6.2(2)", "CivicLocation")),
    ("cisco_nxos", "6.2(2)", "PORT_POE_OFF", no_entry("cisco_nxos", "6.2(2)", "PortPoeOff")),
    # Junos: per-block minimum releases.
    ("juniper_junos", "10.4R3", "ARP_TABLE", "show arp no-resolve | no-more"),
    ("juniper_junos", "10.4R3", "INTERFACE_STATS", "show interfaces {interface} extensive | no-more"),
    ("juniper_junos", "10.4R3", "MAC_TABLE", no_entry("juniper_junos", "10.4R3", "MacTable")),
    ("juniper_junos", "10.4R3", "SVI_CONFIG", no_entry("juniper_junos", "10.4R3", "SviConfig")),
    ("juniper_junos", "10.4R3", "VLAN_LIST", no_entry("juniper_junos", "10.4R3", "VlanList")),
    ("juniper_junos", "1.0", "SAVE_CONFIG", "commit"),
    # NOT_SUPPORTED applies to every firmware.
    ("arista_eos", "4.30.1F", "CIVIC_LOCATION", NOT_SUPPORTED),
    ("hpe_procurve", "16.10.0021", "CIVIC_LOCATION", NOT_SUPPORTED),
    ("meraki_ms", "99", "CIVIC_LOCATION", NOT_SUPPORTED),
    ("meraki_ms", "15.21", "SAVE_CONFIG", NOT_SUPPORTED),
]


class BundledLookups(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.catalog = Catalog.load_bundled()

    def outcome(self, vendor, firmware, command):
        try:
            return self.catalog.cli(vendor, firmware, command)
        except ValueError as error:
            if " is not supported on " in error.args[0]:
                return NOT_SUPPORTED
            return "ValueError", error.args[0]

    def test_cases(self):
        for vendor, firmware, command, expected in CASES:
            with self.subTest(vendor=vendor, firmware=firmware, command=command):
                got = self.outcome(vendor, firmware, command)
                if expected == FOUND:
                    self.assertIsInstance(got, str)
                    self.assertNotEqual(got, NOT_SUPPORTED)
                else:
                    self.assertEqual(got, expected)


if __name__ == "__main__":
    unittest.main()
