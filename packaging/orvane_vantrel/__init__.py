"""Vendor command knowledge and a device probe for network automation."""
from orvane_vantrel._native import Catalog, __version__, probe_device
from orvane_vantrel._api import (
    Template,
    check,
    expand_targets,
    lookup,
    matrix,
    parse,
    plan,
    probe_many,
    read_inventory,
    schema,
    show,
    table,
    vendors,
)

__all__ = [
    "Catalog",
    "probe_device",
    "__version__",
    "lookup",
    "show",
    "table",
    "vendors",
    "matrix",
    "schema",
    "check",
    "expand_targets",
    "probe_many",
    "plan",
    "read_inventory",
    "parse",
    "Template",
]
