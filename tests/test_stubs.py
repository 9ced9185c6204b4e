"""_native.pyi, read with `ast` as 3.9 reads it, names exactly the module's
names and signatures; wherever the package is imported from."""
import ast
import copy
import inspect
import pathlib
import unittest

import orvane_vantrel._api as api
import orvane_vantrel._native as native

PACKAGE = pathlib.Path(native.__file__).parent
STUB = PACKAGE / "_native.pyi"


def stub_signature(function):
    """The parameters as inspect prints them, without annotations."""
    args = copy.deepcopy(function.args)
    for arg in args.posonlyargs + args.args + args.kwonlyargs + [args.vararg, args.kwarg]:
        if arg is not None:
            arg.annotation = None
    return "(%s)" % ast.unparse(args).replace("=...", "=Ellipsis")


def decorators(node):
    return [ast.unparse(d) for d in node.decorator_list]


def runtime_signature(callable_):
    # A receiver reads as positional-only `$self`; to a type checker a
    # stub's plain `self` is the same thing.
    return str(inspect.signature(callable_)).replace("self, /", "self")


class StubFileTest(unittest.TestCase):
    def setUp(self):
        tree = ast.parse(STUB.read_text(encoding="utf-8"), str(STUB), feature_version=(3, 9))
        self.top = {}
        for node in tree.body:
            if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
                self.top[node.name] = node
            elif isinstance(node, (ast.AnnAssign, ast.Assign)):
                self.top[(node.target if isinstance(node, ast.AnnAssign)
                          else node.targets[0]).id] = node

    def test_names_and_signatures_are_those_of_the_module(self):
        self.assertTrue((PACKAGE / "py.typed").is_file())
        self.assertEqual(ast.literal_eval(self.top["__all__"].value), native.__all__)
        self.assertEqual(set(self.top) - {"__all__", "ProbeReport"}, set(native.__all__))
        self.assertEqual(ast.unparse(self.top["__version__"].annotation), "Final[str]")
        self.assertEqual(stub_signature(self.top["probe_device"]),
                         runtime_signature(native.probe_device))

    def test_catalog_methods_and_kinds(self):
        stub = self.top["Catalog"]
        self.assertIn("final", decorators(stub))
        methods = {node.name: node for node in stub.body if isinstance(node, ast.FunctionDef)}
        runtime = {name: value for name, value in vars(native.Catalog).items()
                   if not name.startswith("_")}
        self.assertEqual(list(methods), list(runtime))
        for name, node in methods.items():
            with self.subTest(method=name):
                self.assertEqual("staticmethod" in decorators(node),
                                 isinstance(runtime[name], staticmethod))
                self.assertEqual(stub_signature(node),
                                 runtime_signature(getattr(native.Catalog, name)))

    def test_report_typed_dict_has_the_keys_of_a_real_report(self):
        report_class = self.top["ProbeReport"]
        self.assertEqual(decorators(report_class), ["type_check_only"])
        self.assertFalse(hasattr(native, "ProbeReport"))
        report = native.probe_device("h", "lab", 1.0, ["ssh", "netconf", "gnmi", "restconf"])
        self.assertEqual([node.target.id for node in report_class.body
                          if isinstance(node, ast.AnnAssign)], list(report))


class ApiStubTest(unittest.TestCase):
    def test_functions_and_signatures_are_those_of_the_module(self):
        stub = PACKAGE / "_api.pyi"
        tree = ast.parse(stub.read_text(encoding="utf-8"), str(stub), feature_version=(3, 9))
        functions = {node.name: node for node in tree.body if isinstance(node, ast.FunctionDef)}
        classes = {node.name for node in tree.body if isinstance(node, ast.ClassDef)
                   and "type_check_only" not in decorators(node)}
        runtime = {name: value for name, value in vars(api).items()
                   if not name.startswith("_") and callable(value)}
        self.assertEqual(set(functions) | classes, set(runtime))
        for name, node in functions.items():
            with self.subTest(function=name):
                self.assertEqual(stub_signature(node), runtime_signature(runtime[name]))


if __name__ == "__main__":
    unittest.main()
