"""class_expression_satisfiable, class_expression_entailed_subclass and class_expression_instances:
answers and incompleteness flags over small documents, probe collisions, argument and parse errors."""

import warnings

import pytest

import kelmon
import kelmon._native as native

X = "http://x/"
PROBE_Q = "urn:kelmon-ce-probe:q"
PROBE_Q2 = "urn:kelmon-ce-probe:q2"

EL = "SubClassOf(:A :B) SubClassOf(:B ObjectSomeValuesFrom(:r :C)) DisjointClasses(:C :D)"
CASE_SPLIT = "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D) Declaration(Class(:E))"


# (document, expression, (satisfiable, incomplete)); incomplete unless saturation answered
# inside the fragment where it is complete.
SATISFIABLE = [
    ("el-conjunction", EL, "A and B", (True, False)),
    ("el-existential", EL, "r some (C and B)", (True, False)),
    ("el-disjoint", EL, "C and D", (False, False)),
    ("el-existential-disjoint", EL, "r some (C and D)", (False, False)),
    ("complement-contradiction", EL, "A and not A", (False, True)),
    ("case-split-satisfiable", CASE_SPLIT, "A and not B", (True, True)),
    ("case-split-contradiction", CASE_SPLIT, "A and not D", (False, True)),
]


@pytest.mark.parametrize("body,ce,expected", [c[1:] for c in SATISFIABLE], ids=[c[0] for c in SATISFIABLE])
def test_class_expression_satisfiable(write_document, body, ce, expected):
    assert native.class_expression_satisfiable(write_document(body), ce) == expected


# (document, sub, sup, (entailed, incomplete))
ENTAILED = [
    ("el-told", EL, "A", "B", (True, False)),
    ("el-converse", EL, "B", "A", (False, False)),
    ("el-existential", EL, "A", "r some C", (True, False)),
    ("el-conjunction-below-part", EL, "A and D", "D", (True, False)),
    ("equal-expressions", EL, "r some (C and B)", "r some (C and B)", (True, False)),
    ("case-split", CASE_SPLIT, "A", "D", (True, True)),
    ("case-split-not-one-branch", CASE_SPLIT, "A", "B", (False, True)),
    ("complement-sup", CASE_SPLIT, "A and not D", "E", (True, True)),
]


@pytest.mark.parametrize("body,sub,sup,expected", [c[1:] for c in ENTAILED], ids=[c[0] for c in ENTAILED])
def test_class_expression_entailed_subclass(write_document, body, sub, sup, expected):
    assert native.class_expression_entailed_subclass(write_document(body), sub, sup) == expected


# Conversion drops a restriction to binary values, so the probe stays an unconstrained
# class: whatever comes back, the question was never asked, and the answer says so.
UNCONVERTED = "d some xsd:hexBinary"


@pytest.mark.parametrize("function,args,expected", [
    ("class_expression_satisfiable", (f"({UNCONVERTED}) and not ({UNCONVERTED})",), (True, True)),
    ("class_expression_entailed_subclass", (UNCONVERTED, UNCONVERTED), (False, True)),
    ("class_expression_entailed_subclass", (f"A and {UNCONVERTED}", "A"), (False, True)),
    ("class_expression_instances", (f"A or {UNCONVERTED}",), ([], True)),
])
def test_an_expression_that_conversion_drops_is_answered_incomplete(write_document, function, args, expected):
    path = write_document("Declaration(DataProperty(:d)) SubClassOf(:A :B)")
    assert getattr(native, function)(path, *args) == expected


def test_expressions_resolve_the_documents_prefixes(tmp_path):
    path = tmp_path / "prefixes.ofn"
    path.write_text("Prefix(ex:=<http://example.org/>)\nPrefix(:=<http://x/>)\n"
                    "Ontology(<http://x/o> SubClassOf(ex:A :B))\n", encoding="utf-8")
    for sub, sup in (("ex:A", "B"), ("<http://example.org/A>", ":B"), ("ex:A", "<http://x/B>")):
        assert native.class_expression_entailed_subclass(str(path), sub, sup) == (True, False)
    assert native.class_expression_entailed_subclass(str(path), "A", "B") == (False, False)


def test_the_python_layer_returns_the_answer_and_warns_when_incomplete(write_document):
    el, alc = write_document(EL, "el.ofn"), write_document(CASE_SPLIT, "alc.ofn")
    with warnings.catch_warnings():
        warnings.simplefilter("error", kelmon.IncompleteQueryWarning)
        assert kelmon.class_expression_satisfiable(el, "A and B") is True
        assert kelmon.class_expression_entailed_subclass(el, "A", "B") is True
    with pytest.warns(kelmon.IncompleteQueryWarning, match="class_expression_entailed_subclass"):
        assert kelmon.class_expression_entailed_subclass(alc, "A", "D") is True


# (document naming a probe IRI, functions that fail, the probe named in the message)
COLLISIONS = [
    ("declared-q", f"Declaration(Class(<{PROBE_Q}>)) SubClassOf(:A :B)", PROBE_Q,
     ["class_expression_satisfiable", "class_expression_entailed_subclass", "class_expression_instances"]),
    ("q-in-a-filler", f"SubClassOf(:A ObjectSomeValuesFrom(:r ObjectComplementOf(<{PROBE_Q}>)))", PROBE_Q,
     ["class_expression_satisfiable", "class_expression_entailed_subclass", "class_expression_instances"]),
    ("q-in-an-assertion", f"ClassAssertion(ObjectUnionOf(:A <{PROBE_Q}>) :a)", PROBE_Q,
     ["class_expression_satisfiable", "class_expression_entailed_subclass", "class_expression_instances"]),
    ("q2-only", f"SubClassOf(:A <{PROBE_Q2}>)", PROBE_Q2, ["class_expression_entailed_subclass"]),
    ("q2-as-domain", f"ObjectPropertyDomain(:r <{PROBE_Q2}>) SubClassOf(:A :B)", PROBE_Q2,
     ["class_expression_entailed_subclass"]),
]
CE_FUNCTIONS = {
    "class_expression_satisfiable": ("A",),
    "class_expression_entailed_subclass": ("A", "B"),
    "class_expression_instances": ("A",),
}


@pytest.mark.parametrize("body,probe,failing", [c[1:] for c in COLLISIONS], ids=[c[0] for c in COLLISIONS])
@pytest.mark.parametrize("function", sorted(CE_FUNCTIONS))
def test_a_document_naming_a_probe_as_class_cannot_be_queried(write_document, body, probe, failing, function):
    path = write_document(body + " Declaration(Class(:A)) Declaration(Class(:B))")
    call = getattr(native, function)
    if function not in failing:
        call(path, *CE_FUNCTIONS[function])
        return
    with pytest.raises(kelmon.UnknownClassError) as raised:
        call(path, *CE_FUNCTIONS[function])
    assert str(raised.value) == f"probe IRI {probe} collides with a declared class"


@pytest.mark.parametrize("function", sorted(CE_FUNCTIONS))
def test_a_probe_iri_used_as_individual_or_property_does_not_collide(write_document, function):
    path = write_document(f"ClassAssertion(:A <{PROBE_Q}>) ObjectPropertyAssertion(<{PROBE_Q2}> :a :b) SubClassOf(:A :B)"
                 f" ObjectPropertyDomain(<{PROBE_Q}> ObjectOneOf(<{PROBE_Q2}>))")
    getattr(native, function)(path, *CE_FUNCTIONS[function])


# (expression, what the message says after "class expression: line 1, column N: ")
BAD_EXPRESSIONS = [
    ("A and", "expected a class expression, found end of input"),
    ("", "empty class expression"),
    ("   ", "empty class expression"),
    ("A or or B", "expected a class expression, found 'or'"),
    ("undefined:A", "unknown prefix 'undefined:'"),
    ("Class: A", "expected a class expression, found 'Class:'"),
]


@pytest.mark.parametrize("ce,reason", BAD_EXPRESSIONS)
@pytest.mark.parametrize("function", sorted(CE_FUNCTIONS))
def test_an_unparsable_expression_raises_value_error(write_document, function, ce, reason):
    path = write_document(EL)
    arity = len(CE_FUNCTIONS[function])
    with pytest.raises(ValueError, match=r"^class expression: line 1, column \d+: ") as raised:
        getattr(native, function)(path, *([ce] * arity))
    assert str(raised.value).endswith(reason)


def test_the_sub_expression_is_parsed_before_the_sup_expression(write_document):
    with pytest.raises(ValueError) as raised:
        native.class_expression_entailed_subclass(write_document(EL), "A and", "B or or")
    assert "column 6" in str(raised.value)


def test_errors_come_in_order_document_then_expression_then_probe(write_document, tmp_path):
    colliding = write_document(f"Declaration(Class(<{PROBE_Q}>))")
    with pytest.raises(kelmon.ParseError):
        native.class_expression_satisfiable(str(tmp_path / "missing.ofn"), "A and")
    with pytest.raises(ValueError):
        native.class_expression_satisfiable(colliding, "A and")
    with pytest.raises(TypeError, match="ce"):
        native.class_expression_satisfiable(colliding, 3)
    with pytest.raises(TypeError, match="sup_ce"):
        native.class_expression_entailed_subclass(colliding, "A", None)


INSTANCES_EL = (
    "Declaration(NamedIndividual(:z)) Declaration(NamedIndividual(:m)) SubClassOf(:A :B)"
    "ClassAssertion(:A :z) ClassAssertion(:B :m) ClassAssertion(:C :c) ObjectPropertyAssertion(:r :m :c)"
    "ClassAssertion(:A _:anon) ClassAssertion(:A <urn:kelmon-ce-probe:x>)"
)
INSTANCES_CASE_SPLIT = (
    "SubClassOf(owl:Thing ObjectUnionOf(:A :B)) ClassAssertion(ObjectComplementOf(:B) :a) ClassAssertion(:B :b)"
    "Declaration(NamedIndividual(:c))"
)

# (document, expression, (individuals as local names, sorted by IRI, incomplete)). Assertions
# put an ontology outside the fragment where saturation is complete, so only an ontology
# without them gets an answer marked complete.
INSTANCES = [
    ("no-assertions", EL, "A", ([], False)),
    ("sorted-not-in-document-order", INSTANCES_EL, "B", (["m", "z"], True)),
    ("existential-over-an-edge", INSTANCES_EL, "r some C", (["m"], True)),
    ("conjunction", INSTANCES_EL, "B and r some C", (["m"], True)),
    ("none", INSTANCES_EL, "C and r some C", ([], True)),
    ("contradiction", INSTANCES_EL, "A and not A", ([], True)),
    ("case-split", INSTANCES_CASE_SPLIT, "A", (["a"], True)),
    ("case-split-union", INSTANCES_CASE_SPLIT, "A or B", (["a", "b", "c"], True)),
]


@pytest.mark.parametrize("body,ce,expected", [c[1:] for c in INSTANCES], ids=[c[0] for c in INSTANCES])
@pytest.mark.parametrize("route", [None, "0"], ids=["default-route", "tableau-route"])
def test_class_expression_instances(write_document, set_switch, route, body, ce, expected):
    set_switch("KELMON_REALIZE_SATURATION", route)
    names, incomplete = expected
    assert native.class_expression_instances(write_document(body), ce) == ([X + n for n in names], incomplete)


def test_instances_never_name_anonymous_individuals_or_probes(write_document):
    found, _ = native.class_expression_instances(write_document(INSTANCES_EL), "A")
    assert found == [X + "z"]
    with pytest.warns(kelmon.IncompleteQueryWarning):
        assert kelmon.class_expression_instances(write_document(INSTANCES_CASE_SPLIT, "alc.ofn"), "A") == [X + "a"]
