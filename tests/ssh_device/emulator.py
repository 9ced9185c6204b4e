"""A switch's command line on standard input and output: the program an SSH
login on the test server runs. It reads a device file (written by device.py
from the catalog) and then answers line by line, as the vendor's CLI does:
its prompts, configuration mode entered and left, each read command of the
catalog answered with the entry's sample output, unknown commands refused
in the vendor's words, and an interface it does not have refused when
configured. It stops at end of input or at exit, logout or quit.

    emulator.py DEVICE_FILE [SESSIONS_DIR]

SESSIONS_DIR, when given, holds a file named after the process id while the
session runs, so the server can end sessions that outlive it."""
import json
import os
import re
import signal
import sys
import termios

PAGING = {
    "terminal length 0", "terminal width 511", "terminal pager 0", "no page",
    "set cli screen-length 0", "set cli screen-width 511", "set cli complete-on-space off",
    "terminal dont-ask", "terminal no monitor", "enable",
}
LEAVE_SESSION = {"exit", "logout", "quit"}


def words(line):
    """The words of a line with their columns."""
    return [(match.group(), match.start()) for match in re.finditer(r"\S+", line)]


def abbreviates(given, full, shortest):
    """True iff `given` abbreviates the keyword list `full`, each word at least
    its shortest unambiguous prefix, as IOS and EOS accept them."""
    given = given.lower().split()
    return len(given) == len(full) and all(
        len(word) >= min(least, len(keyword)) and keyword.startswith(word)
        for word, keyword, least in zip(given, full, shortest))


def failing_column(line, known):
    """Where a device's parser stops on `line`: the column of its first word
    that no known command continues with."""
    parts = words(line)
    candidates = [k.split() for k in known]
    for depth, (word, column) in enumerate(parts):
        candidates = [c for c in candidates if len(c) > depth and c[depth] == word]
        if not candidates:
            return column
    return parts[-1][1] if parts else 0


def unknown_name_column(name, names):
    """The column in `name` where it parts from the closest known name."""
    best = 0
    for known in names:
        same = 0
        while same < min(len(name), len(known)) and name[same].lower() == known[same].lower():
            same += 1
        best = max(best, same)
    return best


class Cli:
    """What every vendor's session shares: the device file, output, the loop."""

    def __init__(self, device, out):
        self.device = device
        self.out = out
        self.host = device["hostname"]
        self.interfaces = {name.lower(): name for name in device["interfaces"]}
        self.running = True

    def write(self, text):
        self.out.write(text)
        self.out.flush()

    def answer(self, line):
        """The device's text for a read command, or None."""
        return self.device["answers"].get(" ".join(line.split()))

    def run(self, lines):
        self.write("\n" + self.prompt())
        for raw in lines:
            line = raw.rstrip("\r\n")
            # The terminal's own echo is off: the device echoes the line.
            self.write(line + "\n")
            self.handle(line.strip())
            if not self.running:
                return
            self.write(self.prompt())


class CiscoLike(Cli):
    """IOS, NX-OS and EOS: exec, configuration and its sub-modes, one prompt each."""

    def __init__(self, device, out):
        super().__init__(device, out)
        self.mode = None  # None in exec; "config", or a sub-mode's prompt suffix
        self.handlers = [
            (lambda l: l in LEAVE_SESSION and self.mode is None, self.leave_session),
            (lambda l: l in PAGING and self.mode is None, lambda l: None),
            (lambda l: self.mode is None and abbreviates(l, ["configure", "terminal"], [4, 1]),
             self.enter_config),
            (lambda l: self.mode is None and abbreviates(l, ["configure"], [4]), self.enter_config),
            (lambda l: self.mode is not None and l == "end", self.end),
            (lambda l: self.mode is not None and l == "exit", self.exit_level),
            (lambda l: self.mode is not None and l.lower().startswith("interface "),
             self.interface),
            (lambda l: self.mode is not None and l.lower().startswith("vlan "), self.vlan),
            (lambda l: self.mode is not None and l.lower().startswith("do "),
             lambda l: self.exec_line(l[3:].strip())),
            (lambda l: self.mode is not None, lambda l: None),
            (lambda l: True, self.exec_line),
        ]

    def prompt(self):
        if self.mode is None:
            return self.host + "#"
        return "%s(%s)#" % (self.host, self.mode)

    def handle(self, line):
        if not line:
            return
        for applies, act in self.handlers:
            if applies(line):
                act(line)
                return

    def leave_session(self, line):
        self.running = False

    def enter_config(self, line):
        self.write(self.entering_text())
        self.mode = "config"

    def end(self, line):
        self.mode = None

    def exit_level(self, line):
        self.mode = None if self.mode == "config" else "config"

    def exec_line(self, line):
        text = self.answer(line)
        if text is None:
            text = self.device.get("exec_writes", {}).get(" ".join(line.split()))
        if text is None:
            self.refuse(line, failing_column(line, self.device["answers"]), "command")
            return
        self.write(text if text.endswith("\n") or not text else text + "\n")

    def interface(self, line):
        name = line.split(None, 1)[1].strip()
        known = self.interfaces.get(name.lower().replace(" ", ""))
        if known is None:
            start = line.index(name)
            self.refuse(line, start + unknown_name_column(name, self.interfaces.values()),
                        "interface")
            return
        self.mode = self.interface_mode(known)

    def vlan(self, line):
        self.mode = self.vlan_mode(line.split()[1])


class Ios(CiscoLike):
    ENTERING = "Enter configuration commands, one per line.  End with CNTL/Z.\n"
    # What the device says under the caret, by what it could not read.
    REFUSALS = {"command": "% Invalid input detected at '^' marker.\n\n",
                "interface": "% Invalid input detected at '^' marker.\n\n"}
    CARET = True

    def entering_text(self):
        return self.ENTERING

    def interface_mode(self, name):
        return "config-if"

    def vlan_mode(self, vlan):
        return "config-vlan"

    def refuse(self, line, column, what):
        # The caret stands under the column where parsing stopped, counting
        # the prompt the line was typed after.
        caret = " " * (len(self.prompt()) + column) + "^\n" if self.CARET else ""
        self.write(caret + self.REFUSALS[what])


class Nxos(Ios):
    ENTERING = ""
    REFUSALS = {"command": "% Invalid command at '^' marker.\n",
                "interface": "% Invalid interface format at '^' marker.\n"}

    def prompt(self):
        return super().prompt() + " "


class Eos(Ios):
    ENTERING = ""
    REFUSALS = {"command": "% Invalid input\n", "interface": "% Invalid input\n"}
    CARET = False
    SHORT = {"ethernet": "Et", "port-channel": "Po", "vlan": "Vl", "management": "Ma",
             "loopback": "Lo"}

    def interface_mode(self, name):
        kind = name.rstrip("0123456789/").lower()
        return "config-if-%s%s" % (self.SHORT.get(kind, name[:2]), name[len(kind):])

    def vlan_mode(self, vlan):
        return "config-vlan-" + vlan


class Junos(Cli):
    """Operational mode `user@host>`, configuration mode `user@host#` under an
    `[edit]` line; statements wait in the candidate until a commit checks
    them."""

    OPERATIONAL = ["show", "set", "configure", "exit", "quit", "request", "clear", "ping",
                   "file", "help", "monitor", "restart", "start", "test", "traceroute"]
    CONFIGURATION = ["set", "delete", "commit", "exit", "quit", "run", "show", "edit", "top",
                     "up", "rollback", "status", "activate", "deactivate", "annotate"]

    def __init__(self, device, out):
        super().__init__(device, out)
        self.user = device.get("user", "admin")
        self.configuring = False
        self.candidate = []  # interface names of statements not yet committed
        self.asking = False

    def prompt(self):
        if self.configuring:
            return "\n[edit]\n%s@%s# " % (self.user, self.host)
        return "\n%s@%s> " % (self.user, self.host)

    def handle(self, line):
        if self.asking:
            self.asking = False
            if line in ("", "yes"):
                self.leave_configuration()
            return
        if not line:
            return
        (self.configuration if self.configuring else self.operational)(line)

    def operational(self, line):
        first = line.split()[0]
        if line in LEAVE_SESSION:
            self.running = False
        elif line in PAGING:
            pass
        elif first == "configure" and line.split()[1:] in ([], ["private"], ["exclusive"]):
            self.write("Entering configuration mode\n")
            self.configuring = True
        elif self.answer(line) is not None:
            text = self.answer(line)
            self.write(text if text.endswith("\n") or not text else text + "\n")
        elif first not in self.OPERATIONAL:
            self.refuse(line, 0, "unknown command.")
        else:
            self.refuse(line, failing_column(line, self.device["answers"]),
                        "syntax error, expecting <command>.")

    def configuration(self, line):
        parts = line.split()
        if parts[0] not in self.CONFIGURATION:
            self.refuse(line, 0, "unknown command.")
        elif parts[0] in ("set", "delete"):
            if len(parts) < 3:
                self.refuse(line, len(line) + 1, "syntax error.")
            elif parts[1] == "interfaces":
                self.candidate.append(parts[2])
            elif parts[0] == "set":
                self.candidate.append(None)
        elif parts[0] == "commit":
            self.commit(parts[1:])
        elif parts[0] == "run":
            self.operational(line[len("run"):].strip())
        elif line in ("exit configuration-mode", "quit configuration-mode"):
            if self.candidate:
                self.write("The configuration has been changed but not committed\n")
            self.leave_configuration()
        elif line in ("exit", "quit"):
            if self.candidate:
                self.write("The configuration has been changed but not committed\n"
                           "Exit with uncommitted changes? [yes,no] (yes) ")
                self.asking = True
                return
            self.leave_configuration()

    def commit(self, options):
        missing = [name for name in self.candidate
                   if name is not None and name.split(".")[0].lower() not in self.interfaces]
        if missing:
            name = missing[0]
            self.write("[edit interfaces]\n  '%s'\n    error: device %s not found\n"
                       "error: configuration check-out failed\n" % (name, name.split(".")[0]))
            return
        self.candidate = []
        self.write("commit complete\n")
        if options == ["and-quit"]:
            self.leave_configuration()

    def leave_configuration(self):
        self.write("Exiting configuration mode\n")
        self.configuring = False
        self.candidate = []

    def refuse(self, line, column, message):
        # The caret counts the prompt's last line, which the line follows.
        prompt = self.prompt().rsplit("\n", 1)[-1]
        self.write(" " * (len(prompt) + column) + "^\n" + message + "\n")


STYLES = {"cisco_ios": Ios, "cisco_nxos": Nxos, "arista_eos": Eos, "juniper_junos": Junos}


def quiet_terminal():
    """Turns the terminal's own echo off, as a device's CLI does, so each line
    is echoed once, by the device."""
    if not os.isatty(0):
        return  # a pipe: nothing echoes
    attributes = termios.tcgetattr(0)
    attributes[3] &= ~(termios.ECHO | termios.ECHONL)
    termios.tcsetattr(0, termios.TCSANOW, attributes)


def main(argv):
    with open(argv[1]) as f:
        device = json.load(f)
    marker = None
    if len(argv) > 2:
        marker = os.path.join(argv[2], str(os.getpid()))
        open(marker, "w").close()
    # A hang-up (the client went) or a stop ends the session through the
    # finally below, so no marker outlives its process.
    for number in (signal.SIGHUP, signal.SIGTERM):
        signal.signal(number, lambda *_: sys.exit(0))
    try:
        quiet_terminal()
        STYLES[device["vendor"]](device, sys.stdout).run(sys.stdin)
    finally:
        if marker:
            os.unlink(marker)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
