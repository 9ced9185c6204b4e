"""What an emulated switch knows, taken from the catalog through the package:
its read commands, with placeholders filled from the switch's own values,
each answered with the entry's sample output."""
import orvane_vantrel as ov

# The ten write operations; every other command type reads.
WRITE_TYPES = {
    "PORT_SHUTDOWN", "PORT_NO_SHUTDOWN", "PORT_VLAN_ASSIGN", "PORT_POE_OFF", "PORT_POE_ON",
    "PORT_POLICY_PUSH", "VLAN_CREATE", "SVI_CREATE", "STP_VLAN_ENABLE", "SAVE_CONFIG",
}


class Switch:
    """One emulated switch: vendor, firmware and the values its commands use;
    `interfaces` are those it has, the first the one its commands name."""

    def __init__(self, vendor, firmware, interfaces, **values):
        self.vendor = vendor
        self.firmware = firmware
        self.interfaces = interfaces
        self.values = dict(values, interface=interfaces[0])


# Values of the other placeholders the catalog's texts use.
VALUES = {"vlan_id": "10", "name": "users", "description": "ssh test", "ip_address": "10.0.10.1",
          "netmask": "255.255.255.0", "cidr": "10.0.10.1/24", "storm_control_level": "5.00",
          "dhcp_server": "10.0.0.5"}

SWITCHES = [
    Switch("cisco_ios", "16.12.4", ["GigabitEthernet1/0/24", "GigabitEthernet1/0/1", "Vlan10"],
           **VALUES),
    Switch("cisco_nxos", "9.3(5)", ["Ethernet1/5", "Ethernet1/6", "Vlan10"], **VALUES),
    Switch("arista_eos", "4.22.1F", ["Ethernet1", "Ethernet2", "Vlan10"], **VALUES),
    Switch("juniper_junos", "21.4R3", ["ge-0/0/1", "ge-0/0/2", "irb"], **VALUES),
]


def entry(catalog, switch, command):
    """The show document of `command` with the switch's values filled in, or
    None when the switch has no value for one of its placeholders."""
    wanted = ov.lookup(catalog, switch.vendor, switch.firmware, command)["placeholders"]
    if any(name not in switch.values for name in wanted):
        return None
    return ov.show(catalog, switch.vendor, switch.firmware, command,
                   settings={name: switch.values[name] for name in wanted})


def commands_of(text):
    """The commands of a stored text: its non-empty lines."""
    return [line.strip() for line in text.splitlines() if line.strip()]


def read_answers(catalog, switch):
    """{command type: [commands]} and {command: sample output} of the
    switch's reads. A sample output answers one command: an entry of
    several commands is answered only through entries of one."""
    reads, answers = {}, {}
    for row in ov.table(catalog, switch.vendor, switch.firmware)["commands"]:
        if row["type"] in WRITE_TYPES or row["status"] != "text":
            continue
        document = entry(catalog, switch, row["type"])
        if document is None or document["sample_output"] is None:
            continue
        commands = commands_of(document["cli"])
        reads[row["type"]] = commands
        if len(commands) == 1:
            answers.setdefault(commands[0], document["sample_output"])
    reads = {t: c for t, c in reads.items() if all(command in answers for command in c)}
    return reads, answers


def device_document(catalog, switch, hostname="sw1"):
    """The device file the emulator reads."""
    reads, answers = read_answers(catalog, switch)
    save = entry(catalog, switch, "SAVE_CONFIG")
    exec_writes = {}
    if save and save["status"] == "text" and len(commands_of(save["cli"])) == 1:
        exec_writes[commands_of(save["cli"])[0]] = save["sample_output"] or ""
    return {"vendor": switch.vendor, "firmware": switch.firmware, "hostname": hostname,
            "user": "admin", "interfaces": switch.interfaces, "reads": reads,
            "answers": answers, "exec_writes": exec_writes}
