"""Property hierarchies, entailed sub-property pairs and told-disjoint properties."""

import os

import pytest

import kelmon

DATA = os.path.join(os.path.dirname(__file__), "data")
HIERARCHY = os.path.join(DATA, "property_hierarchy.ofn")
ABOX_CLASH = os.path.join(DATA, "abox_clash.ofn")
X = "http://x/"
OWL = "http://www.w3.org/2002/07/owl#"
INCONSISTENT = "ontology is inconsistent; every assertion is trivially entailed"

PROPERTY_FUNCTIONS = [
    "object_property_hierarchy",
    "data_property_hierarchy",
    "materialize_inferred_subobjectproperty_axioms",
    "materialize_inferred_subdataproperty_axioms",
    "disjoint_object_properties",
    "disjoint_data_properties",
]
# Every function of the property and pair services runs the same consistency
# gate and takes the same one argument.
GATED_FUNCTIONS = PROPERTY_FUNCTIONS + [
    "object_property_values",
    "data_property_values",
    "materialize_inferred_property_assertions",
    "materialize_inferred_data_property_assertions",
    "disjoint_classes",
    "same_individuals",
    "different_individuals",
]


def pairs(text):
    """'a<b c<d' -> [(X+a, X+b), (X+c, X+d)]."""
    return [tuple(X + name for name in pair.split("<")) for pair in text.split()]


def groups(text):
    """'a,b c,d' -> [[X+a, X+b], [X+c, X+d]]."""
    return [[X + name for name in group.split(",")] for group in text.split()]


def document(tmp_path, axioms):
    p = tmp_path / "o.ofn"
    p.write_text(f"Prefix(:=<{X}>) Prefix(owl:=<{OWL}>) Ontology(<{X}o> {axioms})")
    return str(p)


def test_object_property_hierarchy_of_the_fixture():
    assert kelmon.object_property_hierarchy(HIERARCHY) == (
        groups("acquaintedWith,knows childOf,offspringOf"),
        pairs("bestFriendOf<friendOf friendOf<acquaintedWith motherOf<parentOf"),
    )


def test_inferred_subobjectproperty_axioms_of_the_fixture():
    # Inverses give equivalences and named sub-properties; an inverse on one side,
    # a chain or the top property give nothing.
    assert kelmon.materialize_inferred_subobjectproperty_axioms(HIERARCHY) == pairs(
        "acquaintedWith<knows bestFriendOf<acquaintedWith bestFriendOf<friendOf bestFriendOf<knows "
        "childOf<offspringOf friendOf<acquaintedWith friendOf<knows knows<acquaintedWith motherOf<parentOf "
        "offspringOf<childOf")


def test_data_property_hierarchy_and_pairs_of_the_fixture():
    assert kelmon.data_property_hierarchy(HIERARCHY) == (groups("label,name"),
                                                         pairs("firstName<label nickName<firstName"))
    assert kelmon.materialize_inferred_subdataproperty_axioms(path=HIERARCHY) == pairs(
        "firstName<label firstName<name label<name name<label nickName<firstName nickName<label nickName<name")


def test_told_disjoint_properties_of_the_fixture():
    # The inverse member is dropped, sub-properties inherit nothing, (p, p) stays.
    assert kelmon.disjoint_object_properties(HIERARCHY) == pairs("childOf<parentOf friendOf<parentOf")
    assert kelmon.disjoint_data_properties(path=HIERARCHY) == pairs("age<age age<name")


@pytest.mark.parametrize("axioms, expected_groups, expected_direct, expected_all", [
    ("Declaration(ObjectProperty(:p))", "", "", ""),
    ("EquivalentObjectProperties(:q :p)", "p,q", "", "p<q q<p"),
    ("SubObjectPropertyOf(:p :q) SubObjectPropertyOf(:q :r)", "", "p<q q<r", "p<q p<r q<r"),
    ("EquivalentObjectProperties(:b :a) SubObjectPropertyOf(:c :b)", "a,b", "c<a", "a<b b<a c<a c<b"),
    ("InverseObjectProperties(:p :q) InverseObjectProperties(:p :r)", "q,r", "", "q<r r<q"),
    ("SubObjectPropertyOf(ObjectInverseOf(:p) ObjectInverseOf(:q))", "", "p<q", "p<q"),
    ("SubObjectPropertyOf(ObjectInverseOf(:p) :q)", "", "", ""),
    ("SubObjectPropertyOf(ObjectPropertyChain(:p :q) :r)", "", "", ""),
    ("SubObjectPropertyOf(:p owl:topObjectProperty) SubObjectPropertyOf(owl:bottomObjectProperty :p)", "", "", ""),
], ids=["none", "equivalence", "chain-of-two", "representative", "inverses", "inverse-both-sides",
        "inverse-one-side", "property-chain", "top-and-bottom"])
def test_object_property_hierarchy_cases(tmp_path, axioms, expected_groups, expected_direct, expected_all):
    path = document(tmp_path, axioms)
    assert kelmon.object_property_hierarchy(path) == (groups(expected_groups), pairs(expected_direct))
    assert kelmon.materialize_inferred_subobjectproperty_axioms(path) == pairs(expected_all)


@pytest.mark.parametrize("name", GATED_FUNCTIONS)
def test_asserted_facts_that_clash_raise_inconsistent(name):
    with pytest.raises(kelmon.KelmonError) as info:
        getattr(kelmon, name)(ABOX_CLASH)
    assert str(info.value) == INCONSISTENT
    assert type(info.value) is kelmon.KelmonError


@pytest.mark.parametrize("name", GATED_FUNCTIONS)
def test_missing_document_raises_parse_error(name):
    with pytest.raises(kelmon.ParseError):
        getattr(kelmon, name)("/nonexistent/x.ofn")


@pytest.mark.parametrize("name", GATED_FUNCTIONS)
def test_path_argument_is_checked(name):
    fn = getattr(kelmon, name)
    with pytest.raises(TypeError, match="path"):
        fn(42)
    with pytest.raises(TypeError):
        fn()
    with pytest.raises(TypeError):
        fn(HIERARCHY, HIERARCHY)


@pytest.mark.parametrize("name, text", [
    ("object_property_hierarchy",
     "Inferred object property hierarchy: `(equivalent_groups, direct_subsumptions)`."),
    ("data_property_hierarchy",
     "Inferred data property hierarchy: `(equivalent_groups, direct_subsumptions)`."),
    ("materialize_inferred_subobjectproperty_axioms",
     "Returns every inferred object property subsumption `(sub, sup)` over named object\n"
     "properties (told + equivalent + inverse closure). Raises if inconsistent."),
    ("materialize_inferred_subdataproperty_axioms",
     "Returns every inferred data property subsumption `(sub, sup)` over named data\n"
     "properties (told + equivalent closure). Raises if inconsistent."),
    ("disjoint_object_properties", "Told-disjoint object property pairs `(a, b)`."),
    ("disjoint_data_properties", "Told-disjoint data property pairs `(a, b)`."),
])
def test_docstrings(name, text):
    fn = getattr(kelmon, name)
    assert fn.__doc__ == text
    assert fn.__text_signature__ == "(path)"
