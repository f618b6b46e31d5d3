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
