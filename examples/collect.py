"""Collects from switches over SSH: inventory, plan, commands, records.

Reads an inventory CSV (columns host, vendor, firmware, and a column per
placeholder the commands use, such as interface or vlan_id), plans each host
with the catalog, sends the planned CLI commands of each requested command
type over SSH with netmiko, reads each answer with the catalog's parser, and
prints one JSON line per host and command type, in inventory order:

    {"host", "vendor", "firmware", "command", "via": "cli", "records", "unread", "error"}

    PYTHONPATH=build/python /usr/bin/python3 examples/collect.py inventory.csv \
        --username admin --key-file ~/.ssh/id_ed25519 --command VERSION --command MAC_TABLE

Credentials never come from the inventory: --username or $VANTREL_USERNAME;
--key-file or $VANTREL_SSH_KEY, else the password in $VANTREL_PASSWORD, else
asked for once. A host that cannot be reached, refuses the login or refuses
a command gets its error in its lines, and the other hosts go on. With
--dry-run it prints, per host and command type, what it would send
(mode and lines, with the session's enter, commit and leave lines) and logs
in nowhere. The exit status is 0 when every line has no error, 1 otherwise,
2 for a usage error.
"""
import argparse
import concurrent.futures
import getpass
import json
import os
import re
import sys

import orvane_vantrel as ov

DEFAULT_COMMANDS = ["VERSION", "INTERFACE_STATS", "MAC_TABLE", "VLAN_LIST"]

# netmiko's driver per catalog vendor; None: the vendor has no CLI over SSH.
DEVICE_TYPES = {
    "cisco_ios": "cisco_ios",
    "arista_eos": "arista_eos",
    "juniper_junos": "juniper_junos",
    "cisco_nxos": "cisco_nxos",
    "hpe_procurve": "hp_procurve",
    "aruba_aoscx": "aruba_aoscx",
    "meraki_ms": None,
}

# A line of a read's answer that says the device refused the command.
REFUSED = {
    "cisco_ios": re.compile(r"^% ?(Invalid input|Incomplete command|Ambiguous command)"),
    "arista_eos": re.compile(r"^% ?(Invalid input|Incomplete command|Ambiguous command)"),
    "cisco_nxos": re.compile(r"^% ?(Invalid|Incomplete|Ambiguous) (input|command)"),
    "aruba_aoscx": re.compile(r"^% ?(Invalid input|Unknown command|Incomplete command)"),
    "hpe_procurve": re.compile(r"^(Invalid input|Incomplete input|Ambiguous input)"),
    "juniper_junos": re.compile(r"^(syntax error|unknown command|error:)"),
}

# The ten write operations; their record is {ok, messages}.
WRITE_TYPES = {
    "PORT_SHUTDOWN", "PORT_NO_SHUTDOWN", "PORT_VLAN_ASSIGN", "PORT_POE_OFF", "PORT_POE_ON",
    "PORT_POLICY_PUSH", "VLAN_CREATE", "SVI_CREATE", "STP_VLAN_ENABLE", "SAVE_CONFIG",
}


# What netmiko's commit() says before the device's text of a refused commit.
NETMIKO_COMMIT_FAILED = "Commit failed with the following errors:"


class Failure(Exception):
    """A command's failure, its message as the line reports it."""


class NoSession(Failure):
    """No session with the host: every command type of it fails alike."""


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("inventory", help="CSV file with host, vendor, firmware and placeholders")
    parser.add_argument("--command", action="append", metavar="TYPE",
                        help="command type to collect (repeatable; default %s)"
                             % ", ".join(DEFAULT_COMMANDS))
    parser.add_argument("--username", default=os.environ.get("VANTREL_USERNAME"))
    parser.add_argument("--key-file", default=os.environ.get("VANTREL_SSH_KEY"))
    parser.add_argument("--port", action="append", default=[], metavar="ssh=PORT",
                        help="the port of a protocol on every host (repeatable)")
    parser.add_argument("--jobs", type=int, default=8, help="hosts at a time (default 8)")
    parser.add_argument("--timeout", type=float, default=10.0,
                        help="seconds for a probe, a login or an answer (default 10)")
    parser.add_argument("--dry-run", action="store_true",
                        help="print what would be sent, per host and type, and log in nowhere")
    args = parser.parse_args(argv)
    args.command = args.command or DEFAULT_COMMANDS
    known = ov.schema()["$defs"]["CommandType"]["enum"]
    for command in args.command:
        if command not in known:
            parser.error("--command: unknown command type %s (vantrel table lists them)"
                         % command)
    if args.jobs < 1:
        parser.error("--jobs: expected at least 1")
    if args.timeout <= 0:
        parser.error("--timeout: expected a positive number of seconds")
    try:
        args.ports = {name: int(port) for name, port in
                      (given.split("=", 1) for given in args.port)}
    except ValueError:
        parser.error("--port: expected NAME=PORT, such as ssh=2222")
    if not args.dry_run and not args.username:
        parser.error("no user name: give --username or set VANTREL_USERNAME")
    return args


def cli_way(host, row):
    """The row's CLI way, its placeholders filled from the host's inventory
    columns (checked and escaped by the package), or raises Failure saying
    why there is none."""
    for way in row["ways"]:
        if way["via"] == "cli":
            if way["unfilled"]:
                raise Failure("no value for %s (add a column to the inventory)"
                              % ", ".join("{%s}" % name for name in way["unfilled"]))
            return way
    if row["status"] != "text":
        raise Failure("no CLI text: %s" % (row.get("reason") or row["status"]))
    if host.get("ssh_banner") is None:
        # The probe's own words: refused, timed out, no banner.
        said = [line for line in host.get("diagnostics", []) if line.startswith("ssh:")]
        raise Failure("no CLI way: " + (said[0] if said else "no SSH banner"))
    others = [way["via"] for way in row["ways"]]
    raise Failure("no CLI way in the plan" + (" (its ways: %s)" % ", ".join(others)
                                               if others else ""))


def session_lines(way):
    """Everything the way sends, in order: enter, commands, commit, leave."""
    session = way.get("session") or {}
    return (session.get("enter", []) + way["commands"] + session.get("commit", [])
            + session.get("leave", []))


def line(host, command, records=(), unread=(), error=None):
    return {"host": host["host"], "vendor": host["vendor"], "firmware": host["firmware"],
            "command": command, "via": "cli", "records": list(records),
            "unread": list(unread), "error": error}


class Session:
    """One netmiko login to one host, made when first needed."""

    def __init__(self, host, args, password):
        self.host = host
        self.args = args
        self.password = password
        self.connection = None
        self.prompt_text = None
        self.prompt = None

    def connect(self):
        if self.connection is not None:
            return
        import netmiko  # only a real run needs it: --dry-run works without
        device_type = DEVICE_TYPES.get(self.host["vendor"])
        if device_type is None:
            raise NoSession("%s has no CLI over SSH" % self.host["vendor"])
        if device_type not in netmiko.platforms:
            raise NoSession("netmiko %s has no driver %s" % (netmiko.__version__, device_type))
        options = {"device_type": device_type, "host": self.host["host"],
                   "username": self.args.username, "port": self.host["ports"]["ssh"],
                   "timeout": self.args.timeout, "auth_timeout": self.args.timeout,
                   "banner_timeout": self.args.timeout, "fast_cli": True}
        if self.args.key_file:
            options.update(use_keys=True, key_file=self.args.key_file, allow_agent=False)
        else:
            options.update(password=self.password, use_keys=False, allow_agent=False)
        try:
            self.connection = netmiko.ConnectHandler(**options)
            self.prompt_text = self.connection.find_prompt().strip()
            # The prompt at the very end of what was read ends an answer, even
            # when the answer itself mentions the host name.
            self.prompt = re.escape(self.prompt_text) + r"\s*$"
        except Exception as error:  # netmiko raises many kinds; all mean no session
            raise NoSession("login to %s failed: %s" % (self.host["host"], one_line(error)))

    def read(self, command):
        # netmiko waits for the prompt up to the session's timeout.
        try:
            return self.connection.send_command(command, expect_string=self.prompt)
        except Exception as error:
            raise Failure("%r: %s" % (command, one_line(error)))

    def configure(self, way):
        """The device's text for a configuration way: its lines sent in
        configuration mode, committed where the session commits. Each part
        ends with the prompt the next part's first line follows."""
        commits = bool((way.get("session") or {}).get("commit"))
        try:
            # The prompt before the session's first line went with the
            # previous answer; put back, the text reads as the device printed it.
            text = self.prompt_text + self.connection.send_config_set(
                way["commands"], exit_config_mode=not commits)
            if commits:
                text += self.commit()
                text += self.connection.exit_config_mode()
        except Exception as error:  # a lost session or a prompt that never came
            raise Failure("configuration session: %s" % one_line(error))
        return text

    def commit(self):
        try:
            return self.connection.commit()
        except ValueError as error:
            # A refused commit: netmiko's own line, then the device's text.
            return str(error).split(NETMIKO_COMMIT_FAILED, 1)[-1].lstrip("\n")

    def close(self):
        if self.connection is not None:
            try:
                self.connection.disconnect()
            except Exception:
                pass  # the session is over either way


def one_line(error):
    return " ".join(str(error).split()) or type(error).__name__


def refusal(vendor, answer):
    """The device's refusal line in an answer to a read, or None."""
    pattern = REFUSED.get(vendor)
    for text in answer.splitlines():
        if pattern and pattern.match(text.strip()):
            return text.strip()
    return None


def collect_type(catalog, session, host, command, row):
    way = cli_way(host, row)
    session.connect()
    if way["mode"] == "config":
        # A write's answers are read together into one record: the whole
        # session's text is one answer.
        answers = [session.configure(way)]
    else:
        answers = []
        for text in way["commands"]:
            answer = session.read(text)
            refused = refusal(host["vendor"], answer)
            if refused and command not in WRITE_TYPES:
                raise Failure("%r refused: %s" % (text, refused))
            answers.append(answer)
    document = ov.parse(catalog, host["vendor"], host["firmware"], command, *answers)
    error = None
    if document["status"] != "text":
        error = "no parser: %s" % document["status"]
    elif command in WRITE_TYPES and document["records"] and not document["records"][0]["ok"]:
        error = "refused: " + "; ".join(document["records"][0]["messages"])
    return line(host, command, document["records"], document["unread"], error)


def collect_host(catalog, host, args, password):
    """The host's lines, one per requested command type."""
    rows = {row["type"]: row for row in host["plan"]}
    session = Session(host, args, password)
    lines = []
    try:
        for index, command in enumerate(args.command):
            try:
                lines.append(collect_type(catalog, session, host, command, rows[command]))
            except NoSession as failure:
                return lines + [line(host, other, error=str(failure))
                                for other in args.command[index:]]
            except Failure as failure:
                lines.append(line(host, command, error=str(failure)))
    finally:
        session.close()
    return lines


def dry_run_lines(host, args):
    rows = {row["type"]: row for row in host["plan"]}
    for command in args.command:
        entry = {"host": host["host"], "vendor": host["vendor"], "firmware": host["firmware"],
                 "command": command, "via": "cli", "mode": None, "lines": [], "error": None}
        try:
            way = cli_way(host, rows[command])
            entry.update(mode=way["mode"], lines=session_lines(way))
        except Failure as failure:
            entry["error"] = str(failure)
        yield entry


def main(argv):
    args = parse_arguments(argv)
    try:
        with open(args.inventory, newline="") as f:
            inventory = f.read()
    except OSError as error:
        print("collect: %s: %s" % (args.inventory, error.strerror), file=sys.stderr)
        return 2
    catalog = ov.Catalog.load_bundled()
    # Every row is checked (vendor, firmware, values) before any host is
    # probed, a bad one named by file, line and column; then the hosts are
    # probed at once, each on its vendor's ports.
    try:
        ov.read_inventory(catalog, inventory, name=args.inventory)
        hosts = list(ov.plan(catalog, inventory=inventory, commands=args.command,
                             ports=args.ports, timeout_seconds=args.timeout, jobs=args.jobs))
    except ValueError as error:
        print("collect: %s" % error.args[0], file=sys.stderr)
        return 2
    failed = False
    if args.dry_run:
        for host in hosts:
            for entry in dry_run_lines(host, args):
                failed |= entry["error"] is not None
                print(json.dumps(entry), flush=True)
        return 1 if failed else 0
    password = None
    if not args.key_file:
        password = os.environ.get("VANTREL_PASSWORD")
        if password is None:
            try:
                password = getpass.getpass("password for %s: " % args.username)
            except EOFError:
                print("collect: no password: set VANTREL_PASSWORD or give --key-file",
                      file=sys.stderr)
                return 2
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        futures = [pool.submit(collect_host, catalog, host, args, password) for host in hosts]
        for future in futures:  # inventory order, each as soon as those before are done
            for entry in future.result():
                failed |= entry["error"] is not None
                print(json.dumps(entry), flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
