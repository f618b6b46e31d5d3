"""Module start-up: version, exception classes, registered names and signatures."""

import inspect
import os
import shutil
import subprocess
import sys
import tomllib

import pytest

import kelmon
import kelmon._native as native

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

EXPECTED_ALL = [
    "__version__", "KelmonError", "ParseError", "UnsupportedAxiomError", "UnknownClassError",
    "Classification", "classify", "classify_bytes", "is_consistent", "is_class_satisfiable",
    "is_subclass_of", "is_instance_of", "instances_of", "realize", "disjoint_classes",
    "disjoint_object_properties", "disjoint_data_properties", "object_property_hierarchy",
    "data_property_hierarchy", "same_individuals", "different_individuals",
    "object_property_values", "data_property_values", "class_expression_satisfiable",
    "class_expression_entailed_subclass", "class_expression_instances", "dropped_axioms",
    "materialize_inferred_subclass_axioms", "materialize_inferred_class_assertions",
    "materialize_inferred_property_assertions", "materialize_inferred_data_property_assertions",
    "materialize_inferred_subobjectproperty_axioms", "materialize_inferred_subdataproperty_axioms",
    "materialize_existential_successors", "justify", "justify_all", "diagnose", "repair",
    "render_manchester", "PreparedOntology", "prepare", "prepare_bytes",
]

SIGNATURES = {
    "classify": "(path, *, per_pair_timeout_ms=100, global_deadline_ms=60000, saturation_only=False)",
    "classify_bytes": "(data, *, format, per_pair_timeout_ms=100, global_deadline_ms=60000, saturation_only=False)",
    "is_consistent": "(path)",
    "is_class_satisfiable": "(path, class_iri)",
    "is_subclass_of": "(path, sub, sup)",
    "is_instance_of": "(path, class_iri, individual_iri)",
    "class_expression_entailed_subclass": "(path, sub_ce, sup_ce)",
    "justify": "(path, query)",
    "justify_all": "(path, query, max=10)",
    "repair": "(path, query, max=10)",
    "render_manchester": "(path)",
    "prepare_bytes": "(data, *, format)",
}


def test_version_is_the_one_written_in_pyproject():
    with open(os.path.join(ROOT, "pyproject.toml"), "rb") as f:
        written = tomllib.load(f)["project"]["version"]
    assert native.__version__ == written
    assert kelmon.__version__ == written


def test_all_lists_the_42_names_in_registration_order():
    assert native.__all__ == EXPECTED_ALL
    for name in EXPECTED_ALL:
        assert hasattr(native, name), name


@pytest.mark.parametrize(
    "name, doc",
    [
        ("KelmonError", "Base exception for all kelmon errors."),
        ("ParseError", "OWL parser failure."),
        ("UnsupportedAxiomError", "Axiom or class expression kelmon can't represent."),
        ("UnknownClassError", "Class IRI not declared in the ontology."),
    ],
)
def test_exception_classes_have_their_names_docs_and_bases(name, doc):
    cls = getattr(native, name)
    assert cls.__module__ == "kelmon"
    assert cls.__name__ == name
    assert cls.__doc__ == doc
    if name == "KelmonError":
        assert cls.__bases__ == (Exception,)
    else:
        assert cls.__bases__ == (native.KelmonError,)


def test_exception_classes_are_created_once_per_process():
    import importlib.util
    import sys

    spec = importlib.util.find_spec("kelmon._native")
    second = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(second)
    assert second.KelmonError is native.KelmonError
    assert second.Classification is native.Classification
    assert second.__all__ == EXPECTED_ALL
    assert "kelmon._native" in sys.modules


@pytest.mark.parametrize("name, sig", sorted(SIGNATURES.items()))
def test_functions_carry_their_signature(name, sig):
    fn = getattr(native, name)
    assert str(inspect.signature(fn)) == sig
    assert fn.__module__ == "kelmon._native"
    # the Python layer keeps the native signature, wrapped or not
    assert str(inspect.signature(getattr(kelmon, name))) == sig


def test_manchester_and_dropped_axiom_docs_are_exact():
    assert native.render_manchester.__doc__ == (
        "Every logical axiom of the ontology at `path`, rendered as Manchester\n"
        "syntax strings (declarations, imports, and ontology annotations are\n"
        "skipped as non-logical noise). Same renderer `justify` uses."
    )
    assert native.dropped_axioms.__doc__.startswith("Kinds and counts of axioms conversion could not represent (a sound\n")


@pytest.mark.parametrize(
    "name, doc",
    [
        ("is_class_satisfiable", "True iff `class_iri` is satisfiable (not ⊑ ⊥)."),
        ("justify", "One minimal justification for a query (CLI-style tokens, e.g.\n"
                    '`["subclass", sub, sup]`, `["unsat", c]`, `["inconsistent"]`) as Manchester\n'
                    "axiom strings. Empty list if not entailed."),
        ("prepare_bytes", "`kelmon.prepare_bytes(data, *, format)` — same, from in-memory bytes.\n"
                          "`format` is required and keyword-only (as on `classify_bytes`): one of\n"
                          '`"ofn"`, `"owx"`, `"rdf-xml"`, `"omn"`.'),
        ("materialize_inferred_subclass_axioms", "Returns every (sub, sup) class IRI pair `(sub, sup)` such that\n"
                                                 "`sub ⊑ sup` is entailed. Excludes:\n"
                                                 "- Reflexive pairs (`sub == sup`)\n"
                                                 "- Pairs involving `owl:Thing` or `owl:Nothing`\n"
                                                 "- Pairs from unsatisfiable classes (which trivially subsume all)"),
    ],
)
def test_function_docs_keep_their_exact_text(name, doc):
    assert getattr(native, name).__doc__ == doc


@pytest.mark.parametrize("cls", ["Classification", "PreparedOntology"])
def test_classes_are_heap_types_that_cannot_be_called(cls):
    t = getattr(native, cls)
    assert isinstance(t, type)
    assert t.__module__ == "kelmon"
    with pytest.raises(TypeError):
        t()


def test_python_layer_reexports_everything_and_adds_the_warning_class():
    for name in EXPECTED_ALL:
        assert hasattr(kelmon, name)
    assert issubclass(kelmon.IncompleteQueryWarning, UserWarning)
    assert "IncompleteQueryWarning" in kelmon.__all__


# Raptor (and the ~35 libraries it links) is loaded on the first RDF/XML read, never at import.
RAPTOR_PROBE = """
import sys, kelmon
def raptor_loaded():
    with open("/proc/self/maps") as maps:
        return "libraptor2" in maps.read()
owx, rdf, how = sys.argv[1:]
seen = [raptor_loaded()]
before = kelmon.classify(owx, saturation_only=True)
seen.append(raptor_loaded())
if how == "path":
    after = kelmon.classify(rdf, saturation_only=True)
else:
    with open(rdf, "rb") as f:
        after = kelmon.classify_bytes(f.read(), format="rdf-xml", saturation_only=True)
seen.append(raptor_loaded())
print(seen, sorted(before.classes) == sorted(after.classes) and len(after.classes) > 3)
"""


@pytest.mark.skipif(not os.path.exists("/proc/self/maps"), reason="needs /proc/self/maps")
@pytest.mark.parametrize("how", ["path", "bytes"])
def test_raptor_is_loaded_only_when_rdf_xml_is_read(how):
    data = os.path.join(ROOT, "tests", "data")
    done = subprocess.run([sys.executable, "-c", RAPTOR_PROBE, os.path.join(data, "family_small.owx"),
                           os.path.join(data, "family_small.rdf"), how], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert done.stdout.split("\n")[0] == "[False, False, True] True"


def test_missing_rdf_xml_parser_library_is_a_parse_error_naming_it(tmp_path):
    # The package copied without its parser library: other formats still read.
    package = os.path.dirname(kelmon.__file__)
    shutil.copytree(package, tmp_path / "kelmon", ignore=shutil.ignore_patterns("libkelmon_rdf_xml*"))
    data = os.path.join(ROOT, "tests", "data")
    probe = (
        "import sys, kelmon\n"
        "print(len(kelmon.classify(sys.argv[1], saturation_only=True).classes))\n"
        "try:\n"
        "    kelmon.classify(sys.argv[2], saturation_only=True)\n"
        "except kelmon.ParseError as e:\n"
        "    print(e)\n"
    )
    env = dict(os.environ, PYTHONPATH=str(tmp_path))
    done = subprocess.run([sys.executable, "-c", probe, os.path.join(data, "family_small.owx"),
                           os.path.join(data, "family_small.rdf")], capture_output=True, text=True, env=env)
    assert done.returncode == 0, done.stderr
    classes, message = done.stdout.strip().split("\n")
    assert int(classes) > 3
    assert message.startswith("parse rdf-xml: cannot load the RDF/XML parser library: ")
    assert str(tmp_path / "kelmon" / "libkelmon_rdf_xml.so") in message
