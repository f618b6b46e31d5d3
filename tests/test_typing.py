"""The shipped stubs: mypy --strict accepts the public API as documented, and every native name is typed."""

import ast
import inspect
import os
import subprocess
import sys

import pytest

import kelmon
import kelmon._native as native

HERE = os.path.dirname(os.path.abspath(__file__))
STUBS = os.path.join(os.path.dirname(kelmon.__file__), "__init__.pyi")


@pytest.fixture(scope="module")
def mypy_cache(tmp_path_factory):
    return tmp_path_factory.mktemp("mypy-cache")


def run_mypy(cwd, cache, *files):
    # Against the installed package, so the check covers what a user gets (stubs and py.typed).
    return subprocess.run(
        [sys.executable, "-m", "mypy", "--strict", "--no-error-summary", "--cache-dir", str(cache), *files],
        capture_output=True, text=True, cwd=cwd,
    )


def test_mypy_strict_accepts_every_public_name_used_as_documented(tmp_path, mypy_cache):
    result = run_mypy(tmp_path, mypy_cache, os.path.join(HERE, "typecheck", "public_api.py"))
    assert result.returncode == 0, result.stdout + result.stderr


def test_mypy_strict_rejects_a_wrong_use(tmp_path, mypy_cache):
    wrong = tmp_path / "wrong.py"
    wrong.write_text(
        "import kelmon\n"
        "c = kelmon.classify('x.ofn', saturation_only=1.5)\n"
        "n: str = c.timed_out_pairs\n"
        "kelmon.classify_bytes(b'', 'ofn')\n"
    )
    result = run_mypy(tmp_path, mypy_cache, str(wrong))
    assert result.returncode == 1
    lines = [line for line in result.stdout.splitlines() if ": error:" in line]
    assert [line.split(":")[1] for line in lines] == ["2", "3", "4"], result.stdout


def stub_tree():
    with open(STUBS, encoding="utf-8") as f:
        return ast.parse(f.read())


def stub_parameters(fn, skip_self):
    """(name, kind, default) for each parameter of a stub def, as inspect names the kinds."""
    a = fn.args
    positional = a.posonlyargs + a.args
    defaults = [None] * (len(positional) - len(a.defaults)) + list(a.defaults)
    out = [(p.arg, "POSITIONAL_OR_KEYWORD", d) for p, d in zip(positional, defaults)]
    out += [(p.arg, "KEYWORD_ONLY", d) for p, d in zip(a.kwonlyargs, a.kw_defaults)]
    out = [(name, kind, inspect.Parameter.empty if d is None else ast.literal_eval(d)) for name, kind, d in out]
    return out[1:] if skip_self else out


def runtime_parameters(fn):
    params = inspect.signature(fn).parameters.values()
    return [(p.name, p.kind.name, p.default) for p in params if p.kind is not p.POSITIONAL_ONLY]


STUB_DEFS = {node.name: node for node in stub_tree().body if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
NATIVE_FUNCTIONS = [n for n in native.__all__ if inspect.isbuiltin(getattr(native, n))]
NATIVE_CLASSES = [n for n in native.__all__ if isinstance(getattr(native, n), type)]


def test_stubs_declare_exactly_the_public_names():
    declared = {node.target.id for node in stub_tree().body if isinstance(node, ast.AnnAssign)} | set(STUB_DEFS)
    assert declared == set(kelmon.__all__)


@pytest.mark.parametrize("name", NATIVE_FUNCTIONS)
def test_stub_signature_matches_the_registered_function(name):
    stub = STUB_DEFS[name]
    assert isinstance(stub, ast.FunctionDef)
    assert stub.returns is not None
    assert stub_parameters(stub, skip_self=False) == runtime_parameters(getattr(native, name))


@pytest.mark.parametrize("name", NATIVE_CLASSES + ["IncompleteQueryWarning", "InternalFailure"])
def test_stub_class_has_the_runtime_bases_and_every_public_member(name):
    cls, stub = getattr(kelmon, name), STUB_DEFS[name]
    assert [ast.unparse(b) for b in stub.bases] == [b.__name__ for b in cls.__bases__ if b is not object]
    members = {node.name: node for node in stub.body if isinstance(node, ast.FunctionDef)}
    public = sorted(m for m in vars(cls) if not m.startswith("_"))
    assert sorted(members) == public
    for member in public:
        value, node = vars(cls)[member], members[member]
        is_property = any(ast.unparse(d) == "property" for d in node.decorator_list)
        assert is_property == inspect.isgetsetdescriptor(value), member
        if not is_property:
            assert stub_parameters(node, skip_self=True) == runtime_parameters(getattr(cls, member)), member
