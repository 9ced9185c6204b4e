"""Vendor command knowledge and a device probe for network automation."""
from orvane_vantrel._native import Catalog, __version__, probe_device

__all__ = ["Catalog", "probe_device", "__version__"]
