"""Object and data property values of named individuals."""

import pytest

import kelmon
from kelmon import _native as native
from short_names import XSD, short

STRING = XSD + "string"
INTEGER = XSD + "integer"
LANG_STRING = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString"


def triples(text):
    """'a.p.b c.q.d' -> [('a', 'p', 'b'), ('c', 'q', 'd')]."""
    return [tuple(t.split(".")) for t in text.split()]


def declared(*names):
    return " ".join(f"Declaration(ObjectProperty(:{n}))" for n in names)


@pytest.mark.parametrize("axioms, expected", [
    ("InverseObjectProperties(:p :q) ObjectPropertyAssertion(:p :a :b)", "a.p.b b.q.a"),
    ("SubObjectPropertyOf(ObjectInverseOf(:p) :q) ObjectPropertyAssertion(:p :a :b)", "a.p.b b.q.a"),
    ("SubObjectPropertyOf(:p owl:topObjectProperty) ObjectPropertyAssertion(:p :a :b)", "a.p.b"),
    ("SubObjectPropertyOf(ObjectPropertyChain(:p :q) :r) ObjectPropertyAssertion(:p :a :b) "
     "ObjectPropertyAssertion(:q :b :c)", "a.p.b a.r.c b.q.c"),
    # Three links: conversion's internal roles for the inner links never show.
    ("SubObjectPropertyOf(ObjectPropertyChain(:r1 :r2 :r3) :s) ObjectPropertyAssertion(:r1 :a :b) "
     "ObjectPropertyAssertion(:r2 :b :c) ObjectPropertyAssertion(:r3 :c :d)", "a.r1.b a.s.d b.r2.c c.r3.d"),
    ("TransitiveObjectProperty(:q) SubObjectPropertyOf(:p :q) ObjectPropertyAssertion(:p :a :b) "
     "ObjectPropertyAssertion(:p :b :c)", "a.p.b a.q.b a.q.c b.p.c b.q.c"),
    ("ObjectPropertyAssertion(:p :a _:x) ObjectPropertyAssertion(:p _:x :b)", ""),
    ("ClassAssertion(:A :a)", ""),
], ids=["inverse", "inverse-sub-property", "top-property", "chain", "long-chain", "transitive-super-property",
        "anonymous", "no-edges"])
def test_materialized_property_assertions(write_document, axioms, expected):
    assert short(native.materialize_inferred_property_assertions(write_document(axioms))) == triples(expected)


@pytest.mark.parametrize("axioms, expected, incomplete", [
    # The reverse candidate (b, p, a) is tested: the flag is set although the test finds a model.
    (declared("p") + " ObjectPropertyAssertion(:p :a :b)", "a.p.b", True),
    # Symmetry gives (b, p, a) from saturation, so no test runs.
    (declared("p") + " SymmetricObjectProperty(:p) ObjectPropertyAssertion(:p :a :b)", "a.p.b b.p.a", False),
    (declared("p") + " ObjectPropertyAssertion(:p :a :a)", "a.p.a", False),
    # Undeclared properties are never candidates.
    ("InverseObjectProperties(:p :q) ObjectPropertyAssertion(:p :a :b)", "a.p.b b.q.a", False),
    (declared("p"), "", False),
    (declared("p") + " FunctionalObjectProperty(:p)", "", True),
    # Only a test proves p(a, b): either way a reaches b over a sub-property of p.
    (declared("p", "q", "r", "s") + " SubObjectPropertyOf(:q :p) SubObjectPropertyOf(:r :p) "
     "ClassAssertion(ObjectUnionOf(ObjectSomeValuesFrom(:q ObjectOneOf(:b)) ObjectSomeValuesFrom(:r ObjectOneOf(:b)))"
     " :a) ObjectPropertyAssertion(:s :a :b)", "a.p.b a.s.b", True),
    # A transitive role composes the edge to an anonymous witness with one to c:
    # r(a, c) is entailed but no saturation edge connects a and c, so the answer is flagged.
    (declared("r") + " TransitiveObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:r :B)) "
     "SubClassOf(:B ObjectSomeValuesFrom(:r ObjectOneOf(:c))) ClassAssertion(:A :a)", "", True),
    # Likewise r(a, a) through a witness and back.
    (declared("r") + " SymmetricObjectProperty(:r) TransitiveObjectProperty(:r) "
     "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) ClassAssertion(:A :a)", "", True),
    # Transitive and symmetric over asserted edges only: saturation has all of it.
    (declared("r") + " TransitiveObjectProperty(:r) SymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)",
     "a.r.a a.r.b b.r.a b.r.b", False),
], ids=["reverse-candidate", "symmetric", "self-edge", "undeclared", "no-individuals", "not-simple", "proven-by-test",
        "transitive-through-witness", "symmetric-transitive-witness", "transitive-symmetric-asserted"])
def test_object_property_values(write_document, axioms, expected, incomplete):
    assert short(native.object_property_values(write_document(axioms))) == (triples(expected), incomplete)


def test_object_property_values_wrapper_warns_when_incomplete(write_document):
    path = write_document(declared("p") + " ObjectPropertyAssertion(:p :a :b)")
    with pytest.warns(kelmon.IncompleteQueryWarning, match="object_property_values"):
        assert short(kelmon.object_property_values(path)) == triples("a.p.b")


def records(*rows):
    return [tuple(r) for r in rows]


@pytest.mark.parametrize("axioms, expected", [
    ('DataPropertyAssertion(:p :a "5")', records(("a", "p", "5", STRING, ""))),
    ('DataPropertyAssertion(:p :a "05"^^xsd:integer) DataPropertyAssertion(:p :a "5"^^xsd:integer)',
     records(("a", "p", "05", INTEGER, ""), ("a", "p", "5", INTEGER, ""))),
    ('DataPropertyAssertion(:p :a "hello"@en) DataPropertyAssertion(:p :a "Hi"@EN-gb)',
     records(("a", "p", "Hi", LANG_STRING, "EN-gb"), ("a", "p", "hello", LANG_STRING, "en"))),
    ('SameIndividual(:a :b) SameIndividual(:c :b) DataPropertyAssertion(:p :b "v")',
     records(*[(s, "p", "v", STRING, "") for s in "abc"])),
    ('SubDataPropertyOf(:p :q) SubDataPropertyOf(:q :r) DataPropertyAssertion(:p :a "v")',
     records(*[("a", p, "v", STRING, "") for p in "pqr"])),
    ('EquivalentDataProperties(:q :p) DataPropertyAssertion(:p :a "v")',
     records(*[("a", p, "v", STRING, "") for p in "pq"])),
    ('SubDataPropertyOf(:p owl:topDataProperty) DataPropertyAssertion(:p :a "v")',
     records(("a", "http://www.w3.org/2002/07/owl#topDataProperty", "v", STRING, ""), ("a", "p", "v", STRING, ""))),
    ('DataPropertyAssertion(:p _:x "v") SameIndividual(:a _:x)', []),
    ("ClassAssertion(:A :a)", []),
], ids=["plain", "typed-not-normalised", "language-tagged", "same-individual-chain", "sub-properties", "equivalent",
        "top-data-property", "anonymous-subject", "no-values"])
def test_data_property_values(write_document, axioms, expected):
    path = write_document(axioms)
    assert short(native.data_property_values(path)) == expected
    assert short(native.materialize_inferred_data_property_assertions(path)) == expected


@pytest.mark.parametrize("name, text", [
    ("object_property_values",
     "Inferred object property values `(subject, property, object)` over named\n"
     "individuals, plus a completeness flag. Bounded by a 1s per-pair deadline.\n"
     "See `disjoint_classes` for the tuple/wrapper convention."),
    ("data_property_values",
     "Inferred data property values `(subject, property, lexical, datatype, lang)`\nover named individuals."),
    ("materialize_inferred_property_assertions",
     "Returns every inferred object property assertion `(subject, property, object)`\n"
     "entailed over named individuals (asserted + derived via property hierarchy /\n"
     "inverse / symmetric / role chains / transitivity). Sound under-approximation\n"
     "(no anonymous-witness or disjunctive-derived edges). Raises if the ontology is\n"
     "inconsistent."),
    ("materialize_inferred_data_property_assertions",
     "Returns every inferred data property assertion as a 5-tuple\n"
     "`(subject, property, lexical, datatype, lang)` entailed over named individuals\n"
     "(asserted + derived via sub-data-property hierarchy / equivalent-data-properties).\n"
     "`lang` is \"\" except for language-tagged literals. Sound under-approximation\n"
     "(no `SameIndividual` / class-axiom-derived assertions). Raises if inconsistent."),
])
def test_docstrings(name, text):
    fn = getattr(native, name)
    assert fn.__doc__ == text
    assert fn.__text_signature__ == "(path)"
