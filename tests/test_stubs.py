"""The type stubs beside the module describe exactly its names and signatures.

Reads _native.pyi with `ast` (as 3.9 reads it), compares it with the module
through `inspect`, and checks the report TypedDict against a real report.
Runs wherever the package is imported from: the build folder or a wheel.
"""
import ast
import inspect
import pathlib
import unittest

import orvane_vantrel._native as native

PACKAGE = pathlib.Path(native.__file__).parent
STUB = PACKAGE / "_native.pyi"
BASETYPE = 1 << 10  # Py_TPFLAGS_BASETYPE


def stub_module():
    return ast.parse(STUB.read_text(encoding="utf-8"), str(STUB), feature_version=(3, 9))


def decorators(node):
    return {ast.unparse(d) for d in node.decorator_list}


def stub_parameters(function):
    """(name, kind, default) per parameter; default is None when there is none."""
    args = function.args
    positional = args.posonlyargs + args.args
    defaults = [None] * (len(positional) - len(args.defaults)) + args.defaults
    rows = []
    for index, (arg, default) in enumerate(zip(positional, defaults)):
        kind = ("POSITIONAL_ONLY" if index < len(args.posonlyargs)
                else "POSITIONAL_OR_KEYWORD")
        rows.append((arg.arg, kind, None if default is None else ast.literal_eval(default)))
    if args.vararg:
        rows.append((args.vararg.arg, "VAR_POSITIONAL", None))
    for arg, default in zip(args.kwonlyargs, args.kw_defaults):
        rows.append((arg.arg, "KEYWORD_ONLY",
                     None if default is None else ast.literal_eval(default)))
    if args.kwarg:
        rows.append((args.kwarg.arg, "VAR_KEYWORD", None))
    return rows


def runtime_parameters(callable_):
    rows = []
    for p in inspect.signature(callable_).parameters.values():
        default = None if p.default is inspect.Parameter.empty else p.default
        rows.append((p.name, p.kind.name, default))
    return rows


def matches(annotation, value):
    """Whether `value` has the type an annotation of the stub names."""
    if isinstance(annotation, ast.BinOp) and isinstance(annotation.op, ast.BitOr):
        return matches(annotation.left, value) or matches(annotation.right, value)
    if isinstance(annotation, ast.Constant) and annotation.value is None:
        return value is None
    if isinstance(annotation, ast.Subscript) and ast.unparse(annotation.value) == "list":
        return isinstance(value, list) and all(matches(annotation.slice, v) for v in value)
    if isinstance(annotation, ast.Name):
        kinds = {"str": str, "int": int, "bool": bool, "float": float}
        if annotation.id == "int" and isinstance(value, bool):
            return False
        return isinstance(value, kinds[annotation.id])
    raise AssertionError("annotation the check cannot read: " + ast.unparse(annotation))


class StubFileTest(unittest.TestCase):
    def setUp(self):
        self.tree = stub_module()
        self.top = {}
        for node in self.tree.body:
            if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
                self.top[node.name] = node
            elif isinstance(node, ast.AnnAssign):
                self.top[node.target.id] = node
            elif isinstance(node, ast.Assign):
                self.top[node.targets[0].id] = node

    def test_package_is_marked_typed(self):
        self.assertTrue((PACKAGE / "py.typed").is_file())

    def test_names_are_those_of_the_module(self):
        self.assertEqual(ast.literal_eval(self.top["__all__"].value), native.__all__)
        declared = {name for name, node in self.top.items()
                    if name != "__all__" and "type_check_only" not in
                    (decorators(node) if isinstance(node, ast.ClassDef) else set())}
        self.assertEqual(declared, set(native.__all__))
        self.assertEqual(ast.unparse(self.top["__version__"].annotation), "Final[str]")
        self.assertIsInstance(native.__version__, str)

    def test_functions_have_the_module_signatures(self):
        functions = [name for name in native.__all__ if inspect.isbuiltin(getattr(native, name))]
        self.assertEqual(functions, ["probe_device"])
        for name in functions:
            with self.subTest(function=name):
                self.assertIsInstance(self.top[name], ast.FunctionDef)
                self.assertEqual(stub_parameters(self.top[name]),
                                 runtime_parameters(getattr(native, name)))

    def test_catalog_methods_and_kinds(self):
        stub = self.top["Catalog"]
        self.assertIn("final", decorators(stub))
        self.assertFalse(native.Catalog.__flags__ & BASETYPE)
        methods = {node.name: node for node in stub.body if isinstance(node, ast.FunctionDef)}
        runtime = {name: value for name, value in vars(native.Catalog).items()
                   if not name.startswith("_")}
        self.assertEqual(list(methods), list(runtime))
        for name, node in methods.items():
            with self.subTest(method=name):
                static = isinstance(runtime[name], staticmethod)
                self.assertEqual("staticmethod" in decorators(node), static)
                stub, actual = (stub_parameters(node),
                                runtime_parameters(getattr(native.Catalog, name)))
                if not static:
                    # The receiver: `$self` reads as positional-only, a stub's
                    # plain `self` is the same thing to a type checker.
                    self.assertEqual((stub[0][0], actual[0][0]), ("self", "self"))
                    stub, actual = stub[1:], actual[1:]
                self.assertEqual(stub, actual)
        self.assertEqual(ast.unparse(methods["vendors"].returns), "list[str]")
        self.assertEqual(ast.unparse(methods["cli"].returns), "str")

    def test_report_typed_dict_matches_a_real_report(self):
        report_class = self.top["ProbeReport"]
        self.assertEqual([ast.unparse(b) for b in report_class.bases], ["TypedDict"])
        fields = [(node.target.id, node.annotation) for node in report_class.body
                  if isinstance(node, ast.AnnAssign)]
        self.assertEqual(ast.unparse(self.top["probe_device"].returns), "ProbeReport")
        self.assertFalse(hasattr(native, "ProbeReport"))
        # SSH and NETCONF skipped: two refused or accepted connects, no banner wait.
        report = native.probe_device("127.0.0.1", "lab", 1.0, ["ssh", "netconf"])
        self.assertEqual([name for name, _ in fields], list(report))
        for name, annotation in fields:
            with self.subTest(key=name):
                self.assertTrue(matches(annotation, report[name]),
                                "%s: %r is no %s" % (name, report[name], ast.unparse(annotation)))


if __name__ == "__main__":
    unittest.main()
