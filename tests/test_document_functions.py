"""render_manchester and dropped_axioms, and the loading messages they raise."""

import os
import shutil

import pytest

import kelmon

DATA = os.path.join(os.path.dirname(__file__), "data")
from shared_paths import CORPUS as _SHARED_CORPUS

CORPUS = os.path.join(_SHARED_CORPUS, "ontologies")
FAMILY = os.path.join(DATA, "family_small.ofn")
F = "http://example.org/family#"
DASH = "\u2014"


def test_render_manchester_gives_one_line_per_logical_axiom():
    lines = sorted(kelmon.render_manchester(FAMILY))
    assert lines == sorted([
        f"<{F}Parent> SubClassOf <{F}Person>",
        f"<{F}Parent> EquivalentTo <{F}hasChild> some <{F}Person>",
        f"<{F}Person> DisjointWith <{F}Place>, <{F}Event>",
        f"<{F}hasChild> o <{F}hasChild> SubPropertyOf <{F}hasGrandchild>",
        f"<{F}ann> not <{F}hasChild> <{F}bob>",
        f"HasKey(<{F}Person> () (<{F}ssn>))",
        f"HasKey(<{F}Place> () (<{F}code>))",
    ])


def test_dropped_axioms_counts_by_text_in_byte_order():
    assert kelmon.dropped_axioms(FAMILY) == {"HasKey: unsupported axiom (HasKey)": 2}
    assert kelmon.dropped_axioms(path=FAMILY) == {"HasKey: unsupported axiom (HasKey)": 2}


def test_declarations_only_give_empty_results(tmp_path):
    p = tmp_path / "decl.ofn"
    p.write_text("Ontology(<http://x/o> Declaration(Class(<http://x/A>)) Declaration(ObjectProperty(<http://x/r>)))")
    assert kelmon.render_manchester(str(p)) == []
    assert kelmon.dropped_axioms(str(p)) == {}


@pytest.mark.parametrize("name", ["pizza.ofn", "wine.ofn", "bfo-core.ofn"])
def test_corpus_documents_load_and_render(name):
    path = os.path.join(CORPUS, name)
    lines = kelmon.render_manchester(path)
    assert lines and all("\n" not in line for line in lines)
    assert isinstance(kelmon.dropped_axioms(path), dict)


def copy_as(tmp_path, name, content=None):
    p = tmp_path / name
    if content is None:
        shutil.copy(FAMILY, p)
    else:
        p.write_bytes(content)
    return str(p)


@pytest.mark.parametrize("name", ["x.OFN", "x.Ofn"])
def test_extensions_are_lowercased(tmp_path, name):
    assert kelmon.dropped_axioms(copy_as(tmp_path, name)) == {"HasKey: unsupported axiom (HasKey)": 2}


@pytest.mark.parametrize(
    "name, message",
    [
        ("x.ttl", f"unknown extension `.ttl` {DASH} pass format= explicitly via classify_bytes() or rename file to "
                  ".ofn / .owx / .rdf / .omn"),
        ("x.TTL", f"unknown extension `.ttl` {DASH} pass format= explicitly via classify_bytes() or rename file to "
                  ".ofn / .owx / .rdf / .omn"),
        ("x.manchester", f"unknown extension `.manchester` {DASH} pass format= explicitly via classify_bytes() or "
                         "rename file to .ofn / .owx / .rdf / .omn"),
        ("noext", f"no extension on `{{path}}` {DASH} pass format= explicitly via classify_bytes()"),
        (".ofn", f"no extension on `{{path}}` {DASH} pass format= explicitly via classify_bytes()"),
    ],
)
def test_extension_messages(tmp_path, name, message):
    path = copy_as(tmp_path, name)
    for fn in (kelmon.dropped_axioms, kelmon.render_manchester):
        with pytest.raises(kelmon.ParseError) as info:
            fn(path)
        assert str(info.value) == message.format(path=path)


def test_missing_file_reports_the_read_before_the_extension():
    with pytest.raises(kelmon.ParseError) as info:
        kelmon.dropped_axioms("/nonexistent/dir/x.ttl")
    assert str(info.value) == "read /nonexistent/dir/x.ttl: No such file or directory (os error 2)"


def test_file_that_is_not_utf8_fails_the_read(tmp_path):
    path = copy_as(tmp_path, "x.ofn", b"Ontology(<http://x/\xff>)")
    with pytest.raises(kelmon.ParseError) as info:
        kelmon.render_manchester(path)
    assert str(info.value) == f"read {path}: stream did not contain valid UTF-8"


def test_reader_failure_names_the_format(tmp_path):
    path = copy_as(tmp_path, "x.ofn", b"Ontology(<http://x/o> SubClassOf(<http://x/A>)")
    with pytest.raises(kelmon.ParseError) as info:
        kelmon.dropped_axioms(path)
    assert str(info.value).startswith("parse ofn: line 1, column ")


MISLABELLED = [
    ("ofn", "OWL functional syntax",
     b"Prefix(:=<http://x/>)\nOntology(<http://x/o>\n  SubClassOf(:A :B)\n)\n"),
    ("owx", "OWL/XML",
     b'<?xml version="1.0"?>\n<Ontology xmlns="http://www.w3.org/2002/07/owl#" ontologyIRI="http://x/o">\n'
     b'  <SubClassOf><Class IRI="http://x/A"/><Class IRI="http://x/B"/></SubClassOf>\n</Ontology>\n'),
    ("omn", "Manchester syntax", b"Prefix: : <http://x/>\nOntology: <http://x/o>\nClass: :A\n  SubClassOf: :B\n"),
]


@pytest.mark.parametrize("fmt, syntax, data", MISLABELLED, ids=[m[0] for m in MISLABELLED])
def test_mislabelled_owl_file_names_its_syntax_and_the_call_that_reads_it(tmp_path, fmt, syntax, data):
    path = copy_as(tmp_path, "x.owl", data)
    with pytest.raises(kelmon.ParseError) as info:
        kelmon.classify(path, saturation_only=True)
    message = str(info.value)
    assert message.startswith("parse rdf-xml: ")
    assert message.endswith(f' {DASH} the document looks like {syntax}; classify_bytes(data, format="{fmt}") reads it')
    # and the advice holds
    assert kelmon.classify_bytes(data, format=fmt, saturation_only=True).is_subclass("http://x/A", "http://x/B")


def test_rdf_xml_failing_as_rdf_xml_gets_no_note(tmp_path):
    path = copy_as(tmp_path, "x.owl", b'<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><broken')
    with pytest.raises(kelmon.ParseError) as info:
        kelmon.classify(path, saturation_only=True)
    assert "looks like" not in str(info.value)


@pytest.mark.parametrize("fn", [kelmon.dropped_axioms, kelmon.render_manchester])
def test_path_argument_errors(fn):
    with pytest.raises(TypeError, match="argument 'path'"):
        fn(3)
    with pytest.raises(TypeError, match=fn.__name__):
        fn()
    with pytest.raises(TypeError, match=fn.__name__):
        fn(FAMILY, FAMILY)



@pytest.mark.parametrize("ext", ["owx", "omn", "rdf"])
def test_the_fixture_in_another_syntax_gives_the_same_report_and_rendering(ext):
    other = os.path.join(DATA, f"family_small.{ext}")
    assert kelmon.dropped_axioms(other) == kelmon.dropped_axioms(FAMILY)
    assert sorted(kelmon.render_manchester(other)) == sorted(kelmon.render_manchester(FAMILY))


def write(tmp_path, name, body):
    p = tmp_path / name
    p.write_text("Prefix(:=<http://x/>)\nPrefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"
                 "Prefix(rdfs:=<http://www.w3.org/2000/01/rdf-schema#>)\nOntology(<http://x/o>\n" + body + "\n)\n")
    return str(p)


def test_identical_axioms_merge_but_annotated_copies_count_apart(tmp_path):
    same = write(tmp_path, "same.ofn", "HasKey(:A (:r) ())\nHasKey(:A (:r) ())")
    assert kelmon.dropped_axioms(same) == {"HasKey: unsupported axiom (HasKey)": 1}
    annotated = write(tmp_path, "annotated.ofn",
                      "HasKey(:A (:r) ())\nHasKey(Annotation(rdfs:comment \"why\") :A (:r) ())")
    assert kelmon.dropped_axioms(annotated) == {"HasKey: unsupported axiom (HasKey)": 2}
    assert len(kelmon.render_manchester(annotated)) == 2


@pytest.mark.parametrize(
    "body, text",
    [
        ("DatatypeDefinition(:d xsd:integer)", "DatatypeDefinition: unsupported data range"),
        ("SubClassOf(:A DataAllValuesFrom(:p DataIntersectionOf(xsd:string xsd:integer)))",
         "SubClassOf: unsupported data range"),
    ],
)
def test_unsupported_kinds_are_reported(tmp_path, body, text):
    assert kelmon.dropped_axioms(write(tmp_path, "k.ofn", body)) == {text: 1}


def test_data_switch_is_read_on_every_call(tmp_path, set_switch):
    path = write(tmp_path, "data.ofn",
                 "FunctionalDataProperty(:p)\nDataPropertyAssertion(:p :i \"1\"^^xsd:integer)\n"
                 "SubDataPropertyOf(:p :q)")
    assert kelmon.dropped_axioms(path) == {}
    set_switch("KELMON_DATA_PROPERTIES", "0")
    assert kelmon.dropped_axioms(path) == {
        "DataPropertyAssertion: unsupported data range": 1,
        "FunctionalDataProperty: unsupported data range": 1,
        "SubDataPropertyOf: unsupported data range": 1,
    }
    set_switch("KELMON_DATA_PROPERTIES", "false")
    assert kelmon.dropped_axioms(path) == {}


def test_deep_nesting_reaches_the_reader_limit_cleanly(tmp_path):
    deep = "ObjectComplementOf(" * 9000 + ":A" + ")" * 9000
    path = write(tmp_path, "deep.ofn", f"SubClassOf(:B {deep})")
    assert kelmon.dropped_axioms(path) == {}
    (line,) = kelmon.render_manchester(path)
    assert line.count("not ") == 9000
    too_deep = "ObjectComplementOf(" * 100000 + ":A" + ")" * 100000
    with pytest.raises(kelmon.ParseError):
        kelmon.dropped_axioms(write(tmp_path, "too_deep.ofn", f"SubClassOf(:B {too_deep})"))
