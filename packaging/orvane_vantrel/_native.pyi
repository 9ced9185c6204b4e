# Types of the compiled module orvane_vantrel._native.
from typing import Final, Sequence, TypedDict, final, type_check_only

__all__ = ["Catalog", "probe_device", "__version__"]

__version__: Final[str]

@final
class Catalog:
    """Python-facing catalog handle."""

    # Not constructible: Catalog() raises TypeError "No constructor defined".
    # Every catalog comes from one of the two static methods.
    @staticmethod
    def load_bundled() -> Catalog:
        """Load the bundled catalog files."""
    @staticmethod
    def load_dir(path: str) -> Catalog:
        """Load every `*.yaml` file in `path`."""
    def vendors(self) -> list[str]:
        """All vendor identifiers."""
    def cli(self, vendor: str, firmware: str, command: str) -> str:
        """Look up `(vendor, firmware, command)`. Returns the CLI string or
        raises ValueError if the entry is missing / NOT_SUPPORTED."""

# The dict probe_device returns, its keys in this order. Not a runtime name.
@type_check_only
class ProbeReport(TypedDict):
    host: str
    vendor: str
    netconf_available: bool | None
    gnmi_available: bool | None
    restconf_available: bool | None
    ssh_banner: str | None
    firmware: None
    diagnostics: list[str]
    elapsed_ms: int

def probe_device(
    host: str, vendor: str, timeout_seconds: float = 5.0, skip: Sequence[str] = ...
) -> ProbeReport:
    """Run the protocol-capability probe against `host`. Returns a dict
    mirroring the probe's report."""
