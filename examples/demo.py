"""Shows what the native module offers: its version and exported names."""

import orvane_vantrel._native as native

print(f"orvane_vantrel._native {native.__version__}")
print(native.__doc__)
for name in native.__all__:
    print(f"  {name}: {type(getattr(native, name)).__name__}")
