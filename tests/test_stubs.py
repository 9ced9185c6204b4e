"""The type stubs beside the module describe exactly its names and signatures.

Reads _native.pyi with `ast` (as 3.9 reads it), compares it with the module
through `inspect`, and checks the report TypedDict against a real report.
Runs wherever the package is imported from: the build folder or a wheel.
"""
import ast
import copy
import inspect
import pathlib
import unittest

import orvane_vantrel._native as native

PACKAGE = pathlib.Path(native.__file__).parent
STUB = PACKAGE / "_native.pyi"
BASETYPE = 1 << 10  # Py_TPFLAGS_BASETYPE


def stub_signature(function):
    """The parameters as inspect prints them, without annotations."""
    args = copy.deepcopy(function.args)
    for arg in args.posonlyargs + args.args + args.kwonlyargs:
        arg.annotation = None
    return "(%s)" % ast.unparse(args).replace("=...", "=Ellipsis")


def runtime_signature(callable_):
    # A receiver reads as positional-only `$self`; to a type checker a
    # stub's plain `self` is the same thing.
    return str(inspect.signature(callable_)).replace("self, /", "self")


def matches(annotation, value):
    """Whether `value` has the type an annotation of the stub names."""
    if isinstance(annotation, ast.BinOp):
        return matches(annotation.left, value) or matches(annotation.right, value)
    if isinstance(annotation, ast.Constant):
        return value is None
    if isinstance(annotation, ast.Subscript):
        return isinstance(value, list) and all(matches(annotation.slice, v) for v in value)
    kinds = {"str": str, "int": int, "bool": bool}
    return isinstance(value, kinds[annotation.id]) and (annotation.id != "int"
                                                        or not isinstance(value, bool))


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
        self.assertIn("final", [ast.unparse(d) for d in stub.decorator_list])
        self.assertFalse(native.Catalog.__flags__ & BASETYPE)
        methods = {node.name: node for node in stub.body if isinstance(node, ast.FunctionDef)}
        runtime = {name: value for name, value in vars(native.Catalog).items()
                   if not name.startswith("_")}
        self.assertEqual(list(methods), list(runtime))
        for name, node in methods.items():
            with self.subTest(method=name):
                self.assertEqual("staticmethod" in [ast.unparse(d) for d in node.decorator_list],
                                 isinstance(runtime[name], staticmethod))
                self.assertEqual(stub_signature(node),
                                 runtime_signature(getattr(native.Catalog, name)))

    def test_report_typed_dict_matches_a_real_report(self):
        report_class = self.top["ProbeReport"]
        self.assertEqual([ast.unparse(d) for d in report_class.decorator_list],
                         ["type_check_only"])
        self.assertFalse(hasattr(native, "ProbeReport"))
        fields = [(node.target.id, node.annotation) for node in report_class.body
                  if isinstance(node, ast.AnnAssign)]
        # SSH and NETCONF skipped: two refused or accepted connects, no banner wait.
        report = native.probe_device("127.0.0.1", "lab", 1.0, ["ssh", "netconf"])
        self.assertEqual([name for name, _ in fields], list(report))
        for name, annotation in fields:
            with self.subTest(key=name):
                self.assertTrue(matches(annotation, report[name]),
                                "%s: %r is no %s" % (name, report[name], ast.unparse(annotation)))


if __name__ == "__main__":
    unittest.main()
