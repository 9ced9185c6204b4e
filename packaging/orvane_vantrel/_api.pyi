# Types of the compiled module orvane_vantrel._api: the package's functions,
# each giving the document of the matching `vantrel ... --json`.
from typing import Any, Iterable, Iterator, Literal, Mapping, TypedDict, type_check_only

from orvane_vantrel._native import Catalog, ProbeReport

Status = Literal["text", "no_block", "no_entry", "not_supported", "invalid_range"]

@type_check_only
class LookupDocument(TypedDict):
    vendor: str
    firmware: str
    firmware_used: str
    command: str
    status: Status
    applies_to: str | None
    cli: str | None
    placeholders: list[str]
    reason: str | None

@type_check_only
class Alternatives(TypedDict):
    netconf: dict[str, Any] | None
    restconf: dict[str, Any] | None
    gnmi: dict[str, Any] | None
    eapi: dict[str, Any] | None
    rest_api: dict[str, Any] | None
    snmp: dict[str, Any] | None
    dashboard_api: dict[str, Any] | None

@type_check_only
class ShowDocument(LookupDocument):
    sample_output: str | None
    parser_notes: str | None
    config_required: str | None
    notes: str | None
    unverified: bool | None
    description: str | None
    alternatives: Alternatives

@type_check_only
class TableRow(TypedDict):
    type: str
    status: Status
    cli: str | None
    reason: str | None

@type_check_only
class TableDocument(TypedDict):
    vendor: str
    firmware: str
    firmware_used: str
    commands: list[TableRow]

@type_check_only
class InventoryRow(TypedDict):
    line: int
    host: str
    vendor: str
    firmware: str
    values: dict[str, str]

@type_check_only
class VendorRow(TypedDict):
    vendor: str
    display_name: str
    manufacturer: str
    product_family: str
    commands: int

@type_check_only
class AliasRow(TypedDict):
    alias: str
    vendor: str

@type_check_only
class Finding(TypedDict):
    file: str | None
    severity: Literal["error", "warning"]
    kind: str
    path: str | None
    line: int | None
    column: int | None
    message: str

@type_check_only
class CheckDocument(TypedDict):
    directory: str
    files: list[str]
    errors: int
    warnings: int
    findings: list[Finding]

@type_check_only
class ConfigSession(TypedDict):
    enter: list[str]
    commit: list[str]
    leave: list[str]

@type_check_only
class ExcludedWay(TypedDict):
    via: str
    firmware_required: str

@type_check_only
class PlanRow(TypedDict):
    type: str
    status: Status
    cli: str | None
    # Each way: {"via": "netconf" | "restconf" | "gnmi" | "eapi", the fields of the
    # catalog's alternative, "firmware_checked": bool}; {"via": "cli", "cli": str,
    # "mode": "exec" | "config", "commands": list[str], "session": ConfigSession | None,
    # "unfilled": list[str]}; {"via": "dashboard_api", "call": str, "unfilled": list[str]}.
    ways: list[dict[str, Any]]
    excluded: list[ExcludedWay]

@type_check_only
class HostPlan(ProbeReport):
    ports: dict[str, int]
    plan: list[PlanRow]

@type_check_only
class FleetIterator(Iterator[Any]):
    def close(self) -> None: ...

@type_check_only
class ReportIterator(FleetIterator, Iterator[ProbeReport]):
    def __next__(self) -> ProbeReport: ...

@type_check_only
class PlanIterator(FleetIterator, Iterator[HostPlan]):
    def __next__(self) -> HostPlan: ...

@type_check_only
class ParserUsed(TypedDict):
    template: str
    applies_to: str

@type_check_only
class UnreadLine(TypedDict):
    answer: int
    line: int
    text: str

@type_check_only
class ParseDocument(TypedDict):
    vendor: str
    firmware: str
    firmware_used: str
    command: str
    status: Literal["text", "no_block", "no_entry", "not_supported", "invalid_range", "no_parser"]
    parsers: list[ParserUsed]
    records: list[dict[str, Any]]
    unread: list[UnreadLine]

class Template:
    """A TextFSM template, compiled once."""

    def __init__(self, text: str) -> None: ...
    @property
    def header(self) -> list[str]:
        """The Value names, in the template's order."""
    def parse(self, output: str) -> list[dict[str, Any]]:
        """The records of `output`, as ParseTextToDicts gives them."""

def parse(
    catalog: Catalog | None,
    vendor: str,
    firmware: str,
    command: str,
    *answers: str,
    exact_firmware: bool = False,
) -> ParseDocument: ...
def lookup(
    catalog: Catalog | None,
    vendor: str,
    firmware: str,
    command: str,
    *,
    settings: Mapping[str, str] | None = None,
    exact_firmware: bool = False,
) -> LookupDocument: ...
def show(
    catalog: Catalog | None,
    vendor: str,
    firmware: str,
    command: str,
    *,
    settings: Mapping[str, str] | None = None,
    exact_firmware: bool = False,
) -> ShowDocument: ...
def table(
    catalog: Catalog | None,
    vendor: str,
    firmware: str,
    *,
    settings: Mapping[str, str] | None = None,
    exact_firmware: bool = False,
) -> TableDocument: ...
def vendors(catalog: Catalog | None = None, *, aliases: bool = False) -> list[Any]: ...
def matrix(catalog: Catalog | None = None) -> dict[str, Any]: ...
def schema() -> dict[str, Any]: ...
def check(path: str) -> CheckDocument: ...
def expand_targets(lines: Iterable[str]) -> list[str]: ...
def read_inventory(
    catalog: Catalog | None,
    text: str,
    *,
    name: str = "inventory",
    exact_firmware: bool = False,
) -> list[InventoryRow]: ...
def probe_many(
    hosts: Iterable[str] | None = None,
    *,
    vendor: str | None = None,
    timeout_seconds: float = 5.0,
    skip: Iterable[str] = (),
    jobs: int | None = None,
    ports: Mapping[str, int] | None = None,
    inventory: str | None = None,
) -> ReportIterator: ...
def plan(
    catalog: Catalog | None,
    hosts: Iterable[str] | None = None,
    vendor: str | None = None,
    firmware: str | None = None,
    *,
    inventory: str | None = None,
    commands: Iterable[str] | None = None,
    ports: Mapping[str, int] | None = None,
    timeout_seconds: float = 5.0,
    jobs: int | None = None,
    exact_firmware: bool = False,
) -> PlanIterator: ...
