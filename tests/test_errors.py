"""Reasoner errors become the module's exceptions; invariant failures become the internal-failure class."""

import pytest

import kelmon
import kelmon._native as native


@pytest.mark.parametrize(
    "variant, detail, cls, message",
    [
        ("UnsupportedConcept", "ObjectHasSelf(p)", "UnsupportedAxiomError", "unsupported concept: ObjectHasSelf(p)"),
        ("UnsupportedAxiom", "HasKey", "UnsupportedAxiomError", "unsupported axiom: HasKey"),
        ("AnonymousIndividual", "", "UnsupportedAxiomError", "anonymous individuals are not supported"),
        ("UnsupportedDataRange", "", "UnsupportedAxiomError", "data ranges and data properties are not supported"),
        ("UnknownClass", "http://example.org/A", "UnknownClassError", "http://example.org/A"),
        ("UnknownIndividual", "http://example.org/a", "UnknownClassError",
         "individual IRI not in ontology: http://example.org/a"),
        ("NoVerdict", "", "KelmonError", "internal: tableau returned NoVerdict (please file a bug)"),
        ("RoleChainTooLong", "", "UnsupportedAxiomError", "role chain longer than length 2 (unsupported)"),
        ("Inconsistent", "", "KelmonError", "ontology is inconsistent; every assertion is trivially entailed"),
    ],
)
def test_every_reasoner_error_maps_to_its_class_and_message(variant, detail, cls, message):
    with pytest.raises(native.KelmonError) as info:
        native._raise_reasoner_error(variant, detail)
    assert type(info.value) is getattr(native, cls)
    assert info.value.args == (message,)
    assert str(info.value) == message


def test_unknown_class_message_is_the_iri_alone_even_with_odd_characters():
    iri = "  urn:x:ä b  "
    with pytest.raises(native.UnknownClassError) as info:
        native._raise_reasoner_error("UnknownClass", iri)
    assert str(info.value) == iri


def test_invariant_failure_surfaces_as_base_exception_and_interpreter_stays_usable():
    with pytest.raises(BaseException) as info:
        native._fail_invariant("class count fits in u32")
    failure = type(info.value)
    assert not issubclass(failure, Exception)
    assert issubclass(failure, BaseException)
    assert not issubclass(failure, native.KelmonError)
    assert str(info.value) == "class count fits in u32"
    assert failure.__name__ not in native.__all__
    # the next call works normally, and the class is the same one every time
    assert native._bind_probe("p", [])[0] == "p"
    with pytest.raises(BaseException) as again:
        native._fail_invariant("TableauContext: branch id counter overflowed u32 — pathological search tree")
    assert type(again.value) is failure
    assert str(again.value).endswith("pathological search tree")


@pytest.mark.parametrize("on", ["worker", "thread"])
def test_invariant_failure_off_the_calling_thread_reaches_python_with_its_message(on):
    with pytest.raises(kelmon.InternalFailure, match="^role count fits in u32$"):
        native._fail_invariant("role count fits in u32", on=on)
    # the pool and the process survive: the same call fails the same way again
    with pytest.raises(kelmon.InternalFailure, match="^again$"):
        native._fail_invariant("again", on=on)


@pytest.mark.parametrize("name", [n for n in native.__all__ if callable(getattr(native, n))
                                  and not isinstance(getattr(native, n), type)])
def test_functions_of_unbuilt_subsystems_refuse_instead_of_answering(name):
    fn = getattr(native, name)
    try:
        fn("/nonexistent/x.ofn")
    except NotImplementedError as e:
        assert str(e) == f"{name} is not available yet"
    except (TypeError, kelmon.KelmonError, ValueError):
        pass  # built: it checks its arguments or reports the missing file
    else:
        pytest.fail(f"{name} answered for a file that does not exist")


READER_DOCUMENTS = [
    ("ofn", b"Ontology(<http://x/o> SubClassOf(<http://x/A> <http://x/B>))"),
    ("owx", b'<?xml version="1.0"?>\n<Ontology xmlns="http://www.w3.org/2002/07/owl#" ontologyIRI="http://x/o">'
            b'<SubClassOf><Class IRI="http://x/A"/><Class IRI="http://x/B"/></SubClassOf></Ontology>'),
    ("rdf-xml", b'<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" '
                b'xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#" xmlns:owl="http://www.w3.org/2002/07/owl#">'
                b'<owl:Class rdf:about="http://x/A"><rdfs:subClassOf rdf:resource="http://x/B"/></owl:Class>'
                b'</rdf:RDF>'),
    ("omn", b"Ontology: <http://x/o>\nClass: <http://x/A>\n  SubClassOf: <http://x/B>\n"),
]


@pytest.mark.parametrize("fmt, data", READER_DOCUMENTS, ids=[f for f, _ in READER_DOCUMENTS])
def test_invariant_failure_inside_a_reader_is_an_internal_failure_not_a_parse_error(fmt, data):
    def classify():
        return native.classify_bytes(data, format=fmt, saturation_only=True)

    assert classify().is_subclass("http://x/A", "http://x/B")
    with pytest.raises(kelmon.InternalFailure) as info:
        native._call_with_reader_fault(classify)
    assert not isinstance(info.value, native.ParseError)
    assert str(info.value) == "reader fault set by a test"
    assert classify().is_subclass("http://x/A", "http://x/B")
