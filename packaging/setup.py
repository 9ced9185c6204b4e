"""The package's files, and the mark that the distribution holds a compiled
module, so that the wheel is tagged for the platform and the stable ABI
instead of as pure Python. Metadata is in pyproject.toml."""
from setuptools import setup
from setuptools.dist import Distribution


class PrebuiltModuleDistribution(Distribution):
    def has_ext_modules(self):
        return True


setup(
    distclass=PrebuiltModuleDistribution,
    packages=["orvane_vantrel"],
    package_data={"orvane_vantrel": ["_native.abi3.so", "_native.pyi", "_api.abi3.so", "_api.pyi",
                                    "py.typed"]},
    include_package_data=False,
)
