"""materialize_inferred_subclass_axioms, materialize_inferred_class_assertions and
materialize_existential_successors over small documents: exact lists in their order."""

import pytest

import kelmon
import kelmon._native as native

X = "http://x/"
THING = "http://www.w3.org/2002/07/owl#Thing"
NOTHING = "http://www.w3.org/2002/07/owl#Nothing"


def iris(*names):
    return tuple(X + n for n in names)


# (document, the pairs in order, as local names)
SUBCLASS_CASES = [
    ("chain-in-declaration-order",
     "Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) SubClassOf(:B :C) SubClassOf(:A :B)",
     [("A", "B"), ("A", "C"), ("B", "C")]),
    ("equivalent-both-ways",
     "Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) EquivalentClasses(:A :B) SubClassOf(:B :C)",
     [("A", "B"), ("A", "C"), ("B", "A"), ("B", "C")]),
    ("unsatisfiable-sub-left-out",
     "Declaration(Class(:A)) Declaration(Class(:U)) SubClassOf(:U :A) SubClassOf(:U :H) DisjointClasses(:A :H)", []),
    ("equal-to-thing-never-paired-with-it", "SubClassOf(owl:Thing :A) SubClassOf(:B :C)",
     [("B", "A"), ("B", "C"), ("C", "A")]),
    ("existential-subsumption",
     "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) EquivalentClasses(:C ObjectSomeValuesFrom(:r owl:Thing))",
     [("A", "C")]),
    ("case-split-by-the-tableau",
     "Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) Declaration(Class(:D))"
     "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D)",
     [("A", "D"), ("B", "D"), ("C", "D")]),
    ("no-classes", "Declaration(NamedIndividual(:a))", []),
]


@pytest.mark.parametrize("body,expected", [c[1:] for c in SUBCLASS_CASES], ids=[c[0] for c in SUBCLASS_CASES])
def test_materialize_inferred_subclass_axioms(write_document, body, expected):
    got = native.materialize_inferred_subclass_axioms(write_document(body))
    assert got == [iris(a, b) for a, b in expected]
    for sub, sup in got:
        assert sub != sup and not {sub, sup} & {THING, NOTHING}


def test_subclass_materialization_errors(tmp_path):
    with pytest.raises(kelmon.ParseError):
        native.materialize_inferred_subclass_axioms(str(tmp_path / "missing.ofn"))
    with pytest.raises(TypeError, match="path"):
        native.materialize_inferred_subclass_axioms(path=1)


ROUTES = pytest.mark.parametrize("route", [None, "0"], ids=["default-route", "tableau-route"])
INDIVIDUALS = "Declaration(NamedIndividual(:a)) Declaration(NamedIndividual(:b)) Declaration(NamedIndividual(:c))"
DATA_KEYS = ("DataPropertyAssertion(:d :a \"3\"^^xsd:integer)"
             "SubClassOf(DataSomeValuesFrom(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer)) :P)")

# (document, the (class, individual) pairs in order, as local names)
ASSERTION_CASES = [
    ("most-specific-only", INDIVIDUALS + "SubClassOf(:A :B) ClassAssertion(:A :a) ClassAssertion(:C :b)",
     [("A", "a"), ("C", "b")]),
    ("equivalent-types-both-kept", INDIVIDUALS + "Declaration(Class(:A)) Declaration(Class(:B))"
     "EquivalentClasses(:A :B) SubClassOf(:B :C) ClassAssertion(:A :a)",
     [("A", "a"), ("B", "a")]),
    ("grouped-by-individual-in-id-order", INDIVIDUALS + "ClassAssertion(:B :c) ClassAssertion(:A :a)"
     "ClassAssertion(:A :c)", [("A", "a"), ("A", "c"), ("B", "c")]),
    ("anonymous-never-listed", INDIVIDUALS + "ClassAssertion(:A _:x) ObjectPropertyAssertion(:r _:x :a)"
     "ObjectPropertyRange(:r :B)", [("B", "a")]),
    ("data-keys-never-listed", INDIVIDUALS + DATA_KEYS, [("P", "a")]),
    ("through-a-universal", INDIVIDUALS + "SubClassOf(:A ObjectAllValuesFrom(:r :C)) ClassAssertion(:A :a)"
     "ObjectPropertyAssertion(:r :a :b)", [("A", "a"), ("C", "b")]),
    ("case-split", INDIVIDUALS + "SubClassOf(owl:Thing ObjectUnionOf(:A :B))"
     "ClassAssertion(ObjectComplementOf(:B) :a)", [("A", "a")]),
]


@pytest.mark.parametrize("body,expected", [c[1:] for c in ASSERTION_CASES], ids=[c[0] for c in ASSERTION_CASES])
@ROUTES
def test_materialize_inferred_class_assertions(write_document, set_switch, route, body, expected):
    set_switch("KELMON_REALIZE_SATURATION", route)
    got = native.materialize_inferred_class_assertions(write_document(body))
    assert got == [iris(c, i) for c, i in expected]


SUCCESSOR_CASES = [
    ("one-witness", "SubClassOf(:A ObjectSomeValuesFrom(:R :B)) ClassAssertion(:A :a)", [("a", "R", "B")]),
    ("two-in-property-order",
     "SubClassOf(:A ObjectSomeValuesFrom(:S :D)) SubClassOf(:C ObjectSomeValuesFrom(:R :B))"
     "ClassAssertion(:A :a) ClassAssertion(:C :a)", [("a", "R", "B"), ("a", "S", "D")]),
    ("inherited-type", "SubClassOf(:A :A2) SubClassOf(:A2 ObjectSomeValuesFrom(:R :B)) ClassAssertion(:A :a)",
     [("a", "R", "B")]),
    ("subjects-in-byte-order", "Declaration(NamedIndividual(:z)) SubClassOf(:A ObjectSomeValuesFrom(:R :B))"
     "ClassAssertion(:A :z) ClassAssertion(:A :a)", [("a", "R", "B"), ("z", "R", "B")]),
    ("stated-twice-emitted-once",
     "SubClassOf(:A ObjectSomeValuesFrom(:R :B)) EquivalentClasses(:A ObjectSomeValuesFrom(:R :B))"
     "ClassAssertion(:A :a)", [("a", "R", "B")]),
    ("through-equivalence-and-conjunction",
     "EquivalentClasses(:A ObjectIntersectionOf(:E ObjectSomeValuesFrom(:R :B) ObjectSomeValuesFrom(:R :C)))"
     "ClassAssertion(:A :a)", [("a", "R", "B"), ("a", "R", "C")]),
    ("inverse-or-complex-filler-ignored",
     "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:R) :B))"
     "SubClassOf(:A ObjectSomeValuesFrom(:R ObjectIntersectionOf(:B :C)))"
     "SubClassOf(:A ObjectUnionOf(:E ObjectSomeValuesFrom(:R :B))) ClassAssertion(:A :a)", []),
    ("anonymous-subject-ignored", "SubClassOf(:A ObjectSomeValuesFrom(:R :B)) ClassAssertion(:A _:x)", []),
    ("no-existential", "SubClassOf(:A :B) ClassAssertion(:A :a)", []),
]


@pytest.mark.parametrize("body,expected", [c[1:] for c in SUCCESSOR_CASES], ids=[c[0] for c in SUCCESSOR_CASES])
@ROUTES
def test_materialize_existential_successors(write_document, set_switch, route, body, expected):
    set_switch("KELMON_REALIZE_SATURATION", route)
    got = native.materialize_existential_successors(write_document(body))
    assert got == [(X + s, X + p, f"_:b{n}", X + f) for n, (s, p, f) in enumerate(expected)]


INCONSISTENT = "ontology is inconsistent; every assertion is trivially entailed"
# (document, the functions that raise the inconsistency error)
INCONSISTENT_CASES = [
    ("unsatisfiable-type-with-existential",
     "SubClassOf(:A owl:Nothing) SubClassOf(:A ObjectSomeValuesFrom(:r :B)) ClassAssertion(:A :a)",
     ["materialize_inferred_class_assertions", "materialize_existential_successors"]),
    ("disjoint-asserted-types", "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)",
     ["materialize_inferred_class_assertions", "materialize_existential_successors"]),
    ("thing-below-nothing", "SubClassOf(owl:Thing owl:Nothing) Declaration(NamedIndividual(:a))",
     ["materialize_inferred_class_assertions"]),
]


@pytest.mark.parametrize("body,raising", [c[1:] for c in INCONSISTENT_CASES], ids=[c[0] for c in INCONSISTENT_CASES])
@pytest.mark.parametrize("function", ["materialize_inferred_class_assertions", "materialize_existential_successors"])
@ROUTES
def test_a_known_inconsistency_raises(write_document, set_switch, route, function, body, raising):
    set_switch("KELMON_REALIZE_SATURATION", route)
    path = write_document(body)
    if function not in raising:
        getattr(native, function)(path)
        return
    with pytest.raises(kelmon.KelmonError) as raised:
        getattr(native, function)(path)
    assert str(raised.value) == INCONSISTENT
