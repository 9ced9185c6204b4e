"""The command lookup written plainly in Python over PyYAML data.

This is the baseline that the native ``Catalog.cli`` is measured against: the
same version grammar, range grammar, prefix gate and specificity rule, with
the same messages, over the same vendor files. Ranges are parsed on every
lookup, as the lookup is defined; ``PreparsedCatalog`` keeps them parsed
instead, for a second, kinder comparison.
"""

import pathlib
import re

import yaml

# Unicode White_Space.
WHITE_SPACE = (
    "\t\n\v\f\r \x85\xa0\u1680"
    "\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008\u2009\u200a"
    "\u2028\u2029\u202f\u205f\u3000"
)
PLATFORM_PREFIXES = ("FL", "GL", "LL", "ML", "DL", "PL", "QL")
NUMERIC_HEAD = re.compile(r"[0-9.]*")
MAX_COMPONENT = 0xFFFFFFFF
OPERATORS = (
    (">=", lambda order: order >= 0),
    ("<=", lambda order: order <= 0),
    (">", lambda order: order > 0),
    ("<", lambda order: order < 0),
    ("=", lambda order: order == 0),
)
EQUAL = OPERATORS[4][1]
NOT_SUPPORTED = "NOT_SUPPORTED"


class LookupFailure(ValueError):
    """A lookup failure; the argument is the message."""


class NoBlock(KeyError):
    """The vendor has no block of the command type."""


def display_name(command):
    return "".join(word.capitalize() for word in command.split("_"))


def debug_quoted(text):
    escapes = {'"': '\\"', "\\": "\\\\", "\0": "\\0", "\t": "\\t", "\r": "\\r", "\n": "\\n"}
    out = []
    for ch in text:
        if ch in escapes:
            out.append(escapes[ch])
        elif ch.isprintable():
            out.append(ch)
        else:
            out.append("\\u{%x}" % ord(ch))
    return '"' + "".join(out) + '"'


def parse_version(text):
    """Returns (prefix, (major, minor, patch, build)) or raises LookupFailure."""
    rest = text.strip(WHITE_SPACE)
    if not rest:
        raise LookupFailure(f"invalid firmware version '{text}'")
    prefix = None
    if len(rest) >= 3 and rest[2] == "." and rest[:2] in PLATFORM_PREFIXES:
        prefix, rest = rest[:2], rest[3:]
    rest = rest.replace("(", ".").replace(")", "")
    head = NUMERIC_HEAD.match(rest).group()
    if len(head) < len(rest):
        head = head.rstrip(".")
    pieces = head.split(".")[:4]
    if not pieces[0] or not all(pieces) or any(int(p) > MAX_COMPONENT for p in pieces):
        raise LookupFailure(f"invalid firmware version '{text}'")
    numbers = tuple(int(p) for p in pieces) + (0,) * (4 - len(pieces))
    return prefix, numbers


def parse_comparator(text):
    text = text.strip(WHITE_SPACE)
    test = EQUAL
    for spelling, accepts in OPERATORS:
        if text.startswith(spelling):
            test, text = accepts, text[len(spelling):]
            break
    text = text.strip(WHITE_SPACE)
    try:
        return test, parse_version(text)
    except LookupFailure as error:
        raise LookupFailure(f"can't parse '{text}': {error.args[0]}") from None


def parse_range(raw):
    """Returns None for "*", else a list of alternatives of comparators."""
    text = raw.strip(WHITE_SPACE)
    if text == "*":
        return None
    try:
        return [
            [parse_comparator(piece) for piece in alternative.split(",")]
            for alternative in text.split("||")
        ]
    except LookupFailure as error:
        raise LookupFailure(f"invalid version range '{raw}': {error.args[0]}") from None


def holds(comparator, firmware):
    test, (prefix, numbers) = comparator
    firmware_prefix, firmware_numbers = firmware
    if prefix and firmware_prefix and prefix != firmware_prefix:
        return False
    order = (firmware_numbers > numbers) - (firmware_numbers < numbers)
    return test(order)


def matches(alternatives, firmware):
    if alternatives is None:
        return True
    return any(all(holds(c, firmware) for c in alternative) for alternative in alternatives)


def specificity(alternatives):
    return 0 if alternatives is None else sum(len(alternative) for alternative in alternatives)


class _TextLoader(yaml.SafeLoader):
    """Reads every scalar as text except null, as the vendor files are read."""


_TextLoader.yaml_implicit_resolvers = {
    first: [(tag, rx) for tag, rx in resolvers if tag == "tag:yaml.org,2002:null"]
    for first, resolvers in yaml.SafeLoader.yaml_implicit_resolvers.items()
}


def load_dir(path):
    """Maps vendor identifier to the vendor file's data, files in name order."""
    vendors = {}
    for file in sorted(pathlib.Path(path).glob("*.yaml")):
        data = yaml.load(file.read_text(encoding="utf-8"), Loader=_TextLoader)
        vendors[data["vendor"]] = data
    return vendors


class PurePythonCatalog:
    def __init__(self, vendors):
        self._vendors = vendors

    def _entries(self, vendor, command):
        """The (range, entry) pairs of the first block of `command`."""
        for block in self._vendors[vendor].get("commands") or ():
            if block["type"] == command:
                return [(entry["applies_to"], entry) for entry in block.get("versions") or ()]
        return None

    def _range(self, applies_to):
        return parse_range(applies_to)

    def cli(self, vendor, firmware, command):
        if vendor not in self._vendors:
            raise LookupFailure(f"unknown vendor: {vendor}")
        version = parse_version(firmware)
        entries = self._entries(vendor, command)
        if entries is None:
            raise NoBlock(f"no entry for {vendor} {display_name(command)}")
        choice, best = None, -1
        for applies_to, entry in entries:
            alternatives = self._range(applies_to)
            if matches(alternatives, version) and specificity(alternatives) > best:
                choice, best = entry, specificity(alternatives)
        if choice is None:
            raise LookupFailure(
                f"no entry for {vendor} Some({debug_quoted(firmware)}) {display_name(command)}"
            )
        if choice["cli"] == NOT_SUPPORTED:
            notes = choice.get("notes") or ""
            raise LookupFailure(f"{display_name(command)} is not supported on {vendor}: {notes}")
        return choice["cli"]


class PreparsedCatalog(PurePythonCatalog):
    """As PurePythonCatalog, with every range parsed once and kept."""

    def __init__(self, vendors):
        super().__init__(vendors)
        self._parsed = {}

    def _range(self, applies_to):
        try:
            result = self._parsed[applies_to]
        except KeyError:
            try:
                result = self._parsed[applies_to] = parse_range(applies_to)
            except LookupFailure as error:
                result = self._parsed[applies_to] = error
        if isinstance(result, LookupFailure):
            raise result
        return result
