"""Entailed disjoint classes, same individuals and different individuals."""

import os

import pytest

import kelmon
from kelmon import _native as native
from short_names import INCONSISTENT, short, strings

DATA = os.path.join(os.path.dirname(__file__), "data")
INTERNAL_NAMES = os.path.join(DATA, "internal_names.ofn")
PAIR_FUNCTIONS = ["disjoint_classes", "same_individuals", "different_individuals"]


def pairs(text):
    """'a,b c,d' -> [('a', 'b'), ('c', 'd')]."""
    return [tuple(p.split(",")) for p in text.split()]


def groups(text):
    """'a,b,c d,e' -> [['a', 'b', 'c'], ['d', 'e']]."""
    return [g.split(",") for g in text.split()]


@pytest.mark.parametrize("axioms, expected, incomplete", [
    ("", "", False),
    ("Declaration(Class(:A))", "", False),
    # Told: smaller IRI first whatever the axiom's order.
    ("DisjointClasses(:B :A)", "A,B", False),
    # A and B are disjoint only through their superclasses: a test decides.
    ("SubClassOf(:A :C) SubClassOf(:B :D) DisjointClasses(:C :D)", "A,B A,D B,C C,D", False),
    ("SubClassOf(:A ObjectSomeValuesFrom(:r :C)) SubClassOf(:B ObjectAllValuesFrom(:r ObjectComplementOf(:C)))",
     "A,B", True),
    # A is unsatisfiable: disjoint from everything, yet in no pair.
    ("SubClassOf(:A :B) SubClassOf(:A :C) DisjointClasses(:B :C)", "B,C", False),
    # Asserted facts put the classification outside the fragment saturation decides.
    ("DisjointClasses(:B :A) ClassAssertion(:A :a)", "A,B", True),
], ids=["empty", "one-class", "told", "decided", "decided-outside-el", "unsatisfiable-class", "with-abox"])
def test_disjoint_classes(write_document, axioms, expected, incomplete):
    assert short(native.disjoint_classes(write_document(axioms))) == (pairs(expected), incomplete)


def test_disjoint_classes_refuses_an_ontology_whose_top_is_empty(write_document):
    # No asserted fact clashes, but owl:Thing ⊑ owl:Nothing leaves no model at all.
    path = write_document("Declaration(Class(:A)) Declaration(Class(:B)) SubClassOf(owl:Thing owl:Nothing)")
    with pytest.raises(kelmon.KelmonError, match=INCONSISTENT):
        native.disjoint_classes(path)


@pytest.mark.parametrize("axioms, expected, incomplete", [
    ("ClassAssertion(:A :a)", "", False),
    ("SameIndividual(:a :b) SameIndividual(:b :c)", "a,b,c", False),
    # d must be tested against the group.
    ("SameIndividual(:a :b) SameIndividual(:b :c) ClassAssertion(:A :d)", "a,b,c", True),
    # A functional property forces a = b without a test (x is anonymous, so no other pair exists).
    ("FunctionalObjectProperty(:p) ObjectPropertyAssertion(:p _:x :a) ObjectPropertyAssertion(:p _:x :b)", "a,b",
     False),
    ("InverseFunctionalObjectProperty(:p) ObjectPropertyAssertion(:p :a :x) ObjectPropertyAssertion(:p :b :x)",
     "a,b", True),
    # An at-most restriction forces the same; only a test sees it.
    ("ClassAssertion(ObjectMaxCardinality(1 :p) _:x) ObjectPropertyAssertion(:p _:x :a) "
     "ObjectPropertyAssertion(:p _:x :b)", "a,b", True),
    # An anonymous individual links two named ones and is itself left out.
    ("SameIndividual(:a _:x) SameIndividual(_:x :b)", "a,b", False),
    ("DifferentIndividuals(:a :b)", "", True),
], ids=["one-individual", "same-individual-chain", "chain-and-another", "functional", "inverse-functional",
        "at-most-one", "anonymous-link", "different"])
def test_same_individuals(write_document, axioms, expected, incomplete):
    assert short(native.same_individuals(write_document(axioms))) == (groups(expected), incomplete)


@pytest.mark.parametrize("axioms, expected", [
    ("ClassAssertion(:A :a)", ""),
    ("DifferentIndividuals(:c :b :a)", "a,b a,c b,c"),
    ("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :b) ClassAssertion(:A :c)", "a,b b,c"),
    # Differences carry over to the same individuals.
    ("SameIndividual(:a :b) DifferentIndividuals(:c :b) ClassAssertion(:A :d)", "a,c b,c"),
    # Nothing forces a difference without the unique name assumption.
    ("ClassAssertion(:A :a) ClassAssertion(:B :b)", ""),
], ids=["one-individual", "told", "disjoint-types", "through-same", "no-unique-names"])
def test_different_individuals(write_document, axioms, expected):
    assert short(native.different_individuals(write_document(axioms))) == (pairs(expected), False)


ALL_NEW_FUNCTIONS = PAIR_FUNCTIONS + ["object_property_values", "data_property_values",
                                      "materialize_inferred_property_assertions",
                                      "materialize_inferred_data_property_assertions"]


@pytest.mark.parametrize("name", ALL_NEW_FUNCTIONS)
def test_no_answer_names_an_internal_name(name):
    # Long chains, anonymous individuals and data ranges all make internal names.
    answer = getattr(native, name)(INTERNAL_NAMES)
    assert not [s for s in strings(answer) if s.startswith("urn:kelmon-")]


def test_internal_names_fixture_answers():
    assert short(native.materialize_inferred_property_assertions(INTERNAL_NAMES)) == [
        ("a", "r1", "b"), ("a", "s", "d"), ("b", "r2", "c"), ("c", "r3", "d")]
    assert short(native.disjoint_classes(INTERNAL_NAMES))[0] == [("Adult", "Child")]


@pytest.mark.parametrize("name", PAIR_FUNCTIONS)
def test_wrapper_returns_the_answer_and_warns_when_incomplete(write_document, name):
    path = write_document("SameIndividual(:a :b) ClassAssertion(:A :c) ClassAssertion(ObjectComplementOf(:A) :d)")
    answer, incomplete = getattr(native, name)(path)
    if incomplete:
        with pytest.warns(kelmon.IncompleteQueryWarning, match=name):
            assert getattr(kelmon, name)(path) == answer
    else:
        assert getattr(kelmon, name)(path) == answer


@pytest.mark.parametrize("name, text", [
    ("disjoint_classes",
     "Entailed disjoint named-class pairs `(c, d)` — `C ⊓ D` is proven\n"
     "unsatisfiable — plus a completeness flag. Bounded by a 1s per-pair\n"
     "deadline.\n"),
    ("same_individuals",
     "Entailed same-individual equivalence groups (asserted + functional-forced\n"
     "+ entailed), plus a completeness flag. Bounded by a 1s per-pair deadline.\n"
     "See `disjoint_classes` for the tuple/wrapper convention."),
    ("different_individuals",
     "Entailed different-individual pairs `(a, b)` — `{a} ⊓ {b}` is proven\n"
     "unsatisfiable — plus a completeness flag. Bounded by a 1s per-pair\n"
     "deadline. See `disjoint_classes` for the tuple/wrapper convention."),
])
def test_docstrings(name, text):
    fn = getattr(native, name)
    assert fn.__doc__.startswith(text)
    assert fn.__text_signature__ == "(path)"
