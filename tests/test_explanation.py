"""Justifications, repairs, diagnosis and the PreparedOntology class."""

import functools
import os
import threading

import pytest

import kelmon
import kelmon._native as native
from shared_paths import CORPUS

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
ABOX_CLASH = os.path.join(DATA, "abox_clash.ofn")
EXPLAIN_UNSAT = os.path.join(DATA, "explain_unsat.ofn")
X = "http://x/"

# The clash of abox_clash.ofn as ABox saturation finds it, in axiom order.
CLASH = [
    "<http://x/Puppy> SubClassOf <http://x/Dog>",
    "<http://x/Cat> DisjointWith <http://x/Dog>",
    "<http://x/felix> Type <http://x/Cat>",
    "<http://x/felix> Type <http://x/Puppy>",
]

USAGE = (
    "usage: justify <file> (subclass S T | equivalent A B | disjoint A B | unsat C | instance I C | "
    "inconsistent | subproperty P Q | equiv-property P Q | disjoint-property P Q | property A P B | "
    "same A B | different A B | subdata-property DP DQ | equiv-data-property DP DQ | "
    "disjoint-data-property DP DQ | data-value A DP V)"
)


def prepared_from_bytes(path):
    with open(path, "rb") as f:
        return native.prepare_bytes(f.read(), format="ofn")


# Every way of asking for justifications of one query, each giving the same list of justifications.
ASKERS = {
    "justify": lambda path, q, m: [native.justify(path, q)],
    "justify_all": lambda path, q, m: native.justify_all(path, q, m),
    "prepared.justify": lambda path, q, m: [native.prepare(path).justify(q)],
    "prepared.justify_all": lambda path, q, m: native.prepare(path).justify_all(q, max=m),
    "prepare_bytes.justify_all": lambda path, q, m: prepared_from_bytes(path).justify_all(q, m),
}


@pytest.mark.parametrize("asker", sorted(ASKERS))
def test_an_abox_clash_is_justified_by_the_four_axioms_that_make_it(asker):
    assert ASKERS[asker](ABOX_CLASH, ["inconsistent"], 10) == [CLASH]


@pytest.mark.parametrize("call", [
    lambda: native.justify_all(ABOX_CLASH, ["inconsistent"], 0),
    lambda: native.justify_all(ABOX_CLASH, ["inconsistent"], max=0),
    lambda: native.prepare(ABOX_CLASH).justify_all(["inconsistent"], max=0),
    lambda: native.repair(ABOX_CLASH, ["inconsistent"], 0),
])
def test_max_zero_gives_no_answers(call):
    assert call() == []


def test_prepared_ontology_answers_the_same_on_every_call():
    p = native.prepare(ABOX_CLASH)
    first = p.justify(["inconsistent"])
    assert [p.justify(["inconsistent"]) for _ in range(3)] == [first] * 3
    assert p.justify_all(["inconsistent"]) == [first]
    assert first == native.justify(ABOX_CLASH, ["inconsistent"])


DIAGNOSES = [
    ("family_small.ofn", (True, [], [])),
    ("abox_clash.ofn", (False, [], [])),  # found by the ABox pre-check
    ("inconsistent.ofn", (False, [], [])),  # owl:Thing below owl:Nothing: found by the classification
    ("explain_unsat.ofn", (True, [X + "Ham", X + "Impossible"],
                           [(X + "AlsoImpossible", [X + "Impossible"]), (X + "OddPizza", [X + "Ham"])])),
    # ∀ gives no edge, ∃ through an intersection does; an equivalence cycle is a root unless it leaves for one.
    ("diagnose_edges.ofn", (True, [X + "A1", X + "B1", X + "E1", X + "E2", X + "G"],
                            [(X + "F1", [X + "G"]), (X + "F2", [X + "G"]), (X + "S1", [X + "B1"])])),
]


@pytest.mark.parametrize("name, expected", DIAGNOSES, ids=[d[0] for d in DIAGNOSES])
def test_diagnose_splits_unsatisfiable_classes_into_roots_and_derived(name, expected):
    assert native.diagnose(os.path.join(DATA, name)) == expected


def test_diagnose_without_the_abox_pre_check_still_finds_the_clash():
    import subprocess
    import sys

    code = f"import kelmon._native as n; print(n.diagnose({ABOX_CLASH!r}))"
    env = dict(os.environ, KELMON_ABOX_SATURATION="0")
    out = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, check=True)
    assert out.stdout.strip() == "(False, [], [])"


# A ⊑ E needs a case split (C ⊔ D) at an r-successor, so saturation cannot
# decide it and the tableau needs a second node.
UNION_CHAIN = """Prefix(:=<http://x/>)
Ontology(<http://x/o>
SubClassOf(:A ObjectSomeValuesFrom(:r ObjectUnionOf(:C :D)))
SubClassOf(:C :B)
SubClassOf(:D :B)
EquivalentClasses(:E ObjectSomeValuesFrom(:r :B))
)
"""
GALEN_OWX = os.path.join(CORPUS, "ontologies", "galen.owx")
GALEN = "http://ex.test/galen#"
UNDECIDED = {
    # The tableau stops on its node limit (the hypertableau off).
    "node-limit": (lambda tmp: str(tmp / "union.ofn"), ["subclass", X + "A", X + "E"],
                   {"KELMON_HYPERTABLEAU": "0", "KELMON_MAX_NODES": "1"}),
    # Each oracle call has its own time bound: 1 ms is spent before the first
    # engine starts on a GALEN candidate, so the first subset saturation
    # cannot settle stops the search.
    "oracle-bound": (lambda tmp: GALEN_OWX, ["subclass", GALEN + "MedialTibialEpicondyle", GALEN + "SolidStructure"],
                     {"KELMON_JUSTIFY_ORACLE_MS": "1"}),
}


@pytest.mark.parametrize("case, function", [
    ("node-limit", "justify"), ("node-limit", "justify_all"), ("node-limit", "repair"),
    ("oracle-bound", "justify_all"),
])
def test_an_oracle_call_that_cannot_decide_ends_the_search_with_an_error(tmp_path, case, function):
    import subprocess
    import sys

    make_path, query, switches = UNDECIDED[case]
    path = make_path(tmp_path)
    if case == "oracle-bound" and not os.path.exists(path):
        pytest.skip("needs the corpus")
    (tmp_path / "union.ofn").write_text(UNION_CHAIN)
    code = (
        "import kelmon\n"
        "try:\n"
        f"    print('answer', kelmon.{function}({path!r}, {query!r}))\n"
        "except kelmon.KelmonError as e:\n"
        "    print('error', e)\n"
    )
    env = dict(os.environ, **switches)
    out = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=600)
    assert out.stdout.strip() == f"error {function}: the reasoner could not decide every entailment this needs"


BAD_QUERIES = [
    [], ["bogus"], ["subclass", X + "A"], ["subclass", X + "A", X + "B", X + "C"], ["inconsistent", X + "A"],
    ["unsat"], ["instance", X + "a"], ["property", X + "a", X + "p"], ["data-value", X + "a", X + "dp"],
    ["Subclass", X + "A", X + "B"],
]


@pytest.mark.parametrize("query", BAD_QUERIES, ids=repr)
@pytest.mark.parametrize("asker", ["justify", "justify_all", "repair", "prepared"])
def test_a_malformed_query_raises_the_usage_text(asker, query):
    call = {
        "justify": lambda: native.justify(ABOX_CLASH, query),
        "justify_all": lambda: native.justify_all(ABOX_CLASH, query),
        "repair": lambda: native.repair(ABOX_CLASH, query),
        "prepared": lambda: native.prepare(ABOX_CLASH).justify(query),
    }[asker]
    with pytest.raises(ValueError) as e:
        call()
    assert str(e.value) == USAGE


@pytest.mark.parametrize("call, error, names", [
    (lambda: native.justify(ABOX_CLASH, "inconsistent"), TypeError, "query"),
    (lambda: native.justify(ABOX_CLASH, ["inconsistent", 1]), TypeError, "query"),
    (lambda: native.justify(ABOX_CLASH, None), TypeError, "query"),
    (lambda: native.justify(1, ["inconsistent"]), TypeError, "path"),
    (lambda: native.justify_all(ABOX_CLASH, ["inconsistent"], max="3"), TypeError, "max"),
    (lambda: native.justify_all(ABOX_CLASH, ["inconsistent"], max=-1), OverflowError, ""),
    (lambda: native.repair(ABOX_CLASH, ["inconsistent"], max=1.0), TypeError, "max"),
    (lambda: native.prepare(ABOX_CLASH).justify("inconsistent"), TypeError, "query"),
    (lambda: native.prepare(ABOX_CLASH).justify_all(["inconsistent"], -1), OverflowError, ""),
    (lambda: native.prepare_bytes("text", format="ofn"), TypeError, "data"),
    (lambda: native.prepare_bytes(b"", format=1), TypeError, "format"),
    (lambda: native.prepare_bytes(b"Ontology()"), TypeError, "prepare_bytes"),
    (lambda: native.prepare_bytes(b"Ontology()", "ofn"), TypeError, "prepare_bytes"),
    (lambda: native.justify(ABOX_CLASH), TypeError, "justify"),
    (lambda: native.justify(ABOX_CLASH, ["inconsistent"], 3), TypeError, "justify"),
    (lambda: native.prepare(ABOX_CLASH).justify(), TypeError, "justify"),
], ids=range(16))
def test_argument_errors(call, error, names):
    with pytest.raises(error) as e:
        call()
    assert type(e.value) is error
    assert names in str(e.value)


def test_the_document_is_loaded_before_the_query_is_read():
    with pytest.raises(kelmon.ParseError):
        native.justify(os.path.join(DATA, "missing.ofn"), ["bogus"])
    with pytest.raises(kelmon.ParseError):
        native.prepare_bytes(b"Ontology(", format="ofn")
    with pytest.raises(kelmon.ParseError):
        native.prepare_bytes(b"Ontology()", format="turtle")


def test_prepared_ontology_is_bound_to_its_creating_thread():
    p = native.prepare(ABOX_CLASH)
    caught = []

    def use():
        for call in (lambda: p.justify(["inconsistent"]), lambda: p.justify_all(["bogus"])):
            try:
                call()
            except BaseException as e:  # noqa: BLE001 - the failure class derives from BaseException
                caught.append(e)

    t = threading.Thread(target=use)
    t.start()
    t.join()
    assert [type(e) for e in caught] == [kelmon.InternalFailure] * 2
    assert {str(e) for e in caught} == {"kelmon::explain::PyPreparedOntology is unsendable, but sent to another thread"}
    assert p.justify(["inconsistent"]) == CLASH  # still fine where it belongs


def test_a_prepared_ontology_dropped_on_another_thread_is_reported_not_freed(monkeypatch):
    import sys

    reported = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: reported.append(str(u.exc_value)))
    box = [native.prepare(ABOX_CLASH)]
    t = threading.Thread(target=box.clear)
    t.start()
    t.join()
    assert reported == ["kelmon::explain::PyPreparedOntology is unsendable, but is being dropped on another thread"]


def test_prepared_ontology_is_made_only_by_prepare():
    assert native.PreparedOntology.__module__ == "kelmon"
    with pytest.raises(TypeError):
        native.PreparedOntology()
    assert isinstance(native.prepare(ABOX_CLASH), native.PreparedOntology)


@pytest.mark.parametrize("method, doc", [
    ("justify", "justify($self, query)\n--\n\nOne minimal justification for a query (CLI-style tokens; see `justify`).\n"
                "Empty list if not entailed."),
    ("justify_all", "justify_all($self, query, max=10)\n--\n\nAll minimal justifications (capped by `max`)."),
])
def test_prepared_ontology_method_signatures(method, doc):
    import inspect

    fn = getattr(native.PreparedOntology, method)
    assert fn.__doc__ == doc.split("\n--\n\n", 1)[1]
    assert fn.__text_signature__ == doc.split("\n", 1)[0][len(method):]


# --- Queries answered by the kernel's consistency, subsumption and satisfiability tests.

CHAIN = os.path.join(DATA, "explain_chain.ofn")
A_B = "<http://x/A> SubClassOf <http://x/B>"
B_C = "<http://x/B> SubClassOf <http://x/C>"


def test_a_chain_of_undeclared_classes_is_justified_and_repaired():
    assert sorted(native.justify(CHAIN, ["subclass", X + "A", X + "C"])) == sorted([A_B, B_C])
    assert [sorted(j) for j in native.justify_all(CHAIN, ["subclass", X + "A", X + "C"])] == [sorted([A_B, B_C])]
    assert sorted(native.repair(CHAIN, ["subclass", X + "A", X + "C"])) == [[A_B], [B_C]]
    assert native.justify(CHAIN, ["subclass", X + "A", X + "Z"]) == []
    assert native.justify_all(CHAIN, ["subclass", X + "A", X + "Z"]) == []
    with pytest.raises(kelmon.UnknownClassError):
        native.justify(CHAIN, ["subclass", X + "A", X + "Nowhere"])


def test_a_query_the_declarations_alone_entail_has_an_empty_justification():
    assert native.justify(CHAIN, ["subclass", X + "A", X + "A"]) == []
    assert native.justify_all(CHAIN, ["subclass", X + "A", X + "A"]) == [[]]


@functools.lru_cache(maxsize=None)
def ofn_lines_by_rendering(path):
    """The prefix lines, the declarations and each logical axiom line of an OFN document
    with one axiom per line, the latter keyed by its Manchester rendering."""
    with open(path, encoding="utf-8") as f:
        lines = [line for line in f.read().splitlines() if line.strip()]
    head = [line for line in lines if line.startswith("Prefix(")]
    declarations = [line for line in lines if line.startswith("Declaration(")]
    skip = ("Prefix(", "Ontology(", "Annotation(", "AnnotationAssertion(", "Declaration(")
    out = {}
    for line in lines:
        if line.startswith(skip) or line == ")":
            continue
        rendered = on_document(head, [line], native.render_manchester)
        assert len(rendered) == 1, line
        out[rendered[0]] = line
    return head, declarations, out


def on_document(head, lines, check):
    import tempfile

    with tempfile.NamedTemporaryFile("w", suffix=".ofn", delete=False) as f:
        f.write("\n".join(head + ["Ontology(<http://x/subset>"] + lines + [")"]))
    try:
        return check(f.name)
    finally:
        os.unlink(f.name)


def unsat(c):
    return [], lambda p: not kelmon.is_class_satisfiable(p, c)


def subclass(a, b):
    return [], lambda p: kelmon.is_subclass_of(p, a, b)


def inconsistent_with(*probe):
    """Entailed exactly when the probe axioms make the document inconsistent."""
    return list(probe), lambda p: not kelmon.is_consistent(p)


PIZZA_OFN = os.path.join(CORPUS, "ontologies", "pizza.ofn")
PIZZA = "http://www.co-ode.org/ontologies/pizza/pizza.owl#"
INDIVIDUALS = os.path.join(DATA, "explain_individuals.ofn")
# Within the fragment where instance questions are read off the saturation;
# felix is both a cat and a dog, which are disjoint.
INCONSISTENT_ABOX = os.path.join(DATA, "explain_inconsistent_abox.ofn")
INTEGER = "http://www.w3.org/2001/XMLSchema#integer"

# (document, query, how the test itself decides the entailment on a written document)
MINIMAL = [
    (EXPLAIN_UNSAT, ["unsat", X + "Ham"], unsat(X + "Ham")),
    (EXPLAIN_UNSAT, ["unsat", X + "OddPizza"], unsat(X + "OddPizza")),
    (EXPLAIN_UNSAT, ["subclass", X + "AlsoImpossible", X + "Meat"], subclass(X + "AlsoImpossible", X + "Meat")),
    (os.path.join(DATA, "inconsistent.ofn"), ["inconsistent"], inconsistent_with()),
    (PIZZA_OFN, ["unsat", PIZZA + "CheeseyVegetableTopping"], unsat(PIZZA + "CheeseyVegetableTopping")),
    (PIZZA_OFN, ["unsat", PIZZA + "IceCream"], unsat(PIZZA + "IceCream")),
    (INDIVIDUALS, ["instance", X + "felix", X + "Animal"], inconsistent_with("ClassAssertion(ObjectComplementOf(:Animal) :felix)")),
    (INCONSISTENT_ABOX, ["instance", X + "rex", X + "Robot"],
     inconsistent_with("ClassAssertion(ObjectComplementOf(:Robot) :rex)")),
    (INDIVIDUALS, ["property", X + "ann", X + "sharesHomeWith", X + "felix"],
     inconsistent_with("NegativeObjectPropertyAssertion(:sharesHomeWith :ann :felix)")),
    (INDIVIDUALS, ["same", X + "ann", X + "anna"], inconsistent_with("DifferentIndividuals(:ann :anna)")),
    (INDIVIDUALS, ["different", X + "felix", X + "anna"], inconsistent_with("SameIndividual(:felix :anna)")),
    (INDIVIDUALS, ["data-value", X + "felix", X + "years", "3^^xsd:integer"],
     inconsistent_with('NegativeDataPropertyAssertion(:years :felix "3"^^xsd:integer)')),
]


@pytest.mark.parametrize("path, query, decide", MINIMAL,
                         ids=[f"{os.path.basename(m[0])} {' '.join(q.split('#')[-1].split('/')[-1] for q in m[1])}"
                              for m in MINIMAL])
def test_every_justification_entails_and_no_proper_subset_does(path, query, decide):
    probe, holds = decide
    head, declarations, line_of = ofn_lines_by_rendering(path)

    def entailed(lines):
        try:
            return on_document(head, declarations + lines + probe, holds)
        except kelmon.UnknownClassError:
            return False  # the subset no longer mentions the class at all

    found = native.justify_all(path, query)
    assert found and all(found)
    assert native.justify(path, query) in found
    for j in found:
        lines = [line_of[r] for r in j]
        assert entailed(lines), j
        for i in range(len(lines)):
            assert not entailed(lines[:i] + lines[i + 1:]), (j, i)


def test_pizza_unsatisfiable_classes_have_their_textbook_justifications():
    def name(c):
        return f"<{PIZZA}{c}>"

    # pizza.ofn states the disjointness of the two toppings twice, once in each order.
    parents = [f"{name('CheeseyVegetableTopping')} SubClassOf {name('CheeseTopping')}",
               f"{name('CheeseyVegetableTopping')} SubClassOf {name('VegetableTopping')}"]
    assert native.justify_all(PIZZA_OFN, ["unsat", PIZZA + "CheeseyVegetableTopping"]) == [
        parents + [f"{name('CheeseTopping')} DisjointWith {name('VegetableTopping')}"],
        parents + [f"{name('VegetableTopping')} DisjointWith {name('CheeseTopping')}"],
    ]
    # Ice cream has a topping, so it is a pizza (the domain of hasTopping, or the range of its
    # inverse), which it is disjoint with (stated twice): four justifications.
    found = native.justify_all(PIZZA_OFN, ["unsat", PIZZA + "IceCream"])
    some_topping = f"{name('IceCream')} SubClassOf {name('hasTopping')} some {name('FruitTopping')}"
    domain = [f"{name('hasTopping')} Domain {name('Pizza')}"]
    inverse_range = [f"{name('hasTopping')} InverseOf {name('isToppingOf')}", f"{name('isToppingOf')} Range {name('Pizza')}"]
    disjoint = [f"{name('IceCream')} DisjointWith {name('Pizza')}", f"{name('Pizza')} DisjointWith {name('IceCream')}"]
    assert sorted(sorted(j) for j in found) == sorted(
        sorted([some_topping, d] + why) for d in disjoint for why in (domain, inverse_range))


# Mend of undeclared names: every candidate declares the query's names that some axiom uses.
CHAIN = os.path.join(DATA, "explain_chain.ofn")
A_B = "<http://x/A> SubClassOf <http://x/B>"
B_C = "<http://x/B> SubClassOf <http://x/C>"


def test_a_chain_of_undeclared_classes_is_justified_and_repaired():
    assert native.justify(CHAIN, ["subclass", X + "A", X + "C"]) == [A_B, B_C]
    assert native.justify_all(CHAIN, ["subclass", X + "A", X + "C"]) == [[A_B, B_C]]
    assert native.repair(CHAIN, ["subclass", X + "A", X + "C"]) == [[A_B], [B_C]]
    assert native.justify(CHAIN, ["subclass", X + "A", X + "Z"]) == []
    assert native.justify_all(CHAIN, ["subclass", X + "A", X + "Z"]) == []
    assert native.repair(CHAIN, ["subclass", X + "A", X + "Z"]) == []
    with pytest.raises(kelmon.UnknownClassError):
        native.justify(CHAIN, ["subclass", X + "A", X + "Nowhere"])


@pytest.mark.parametrize("query, expected", [
    # felix and Cat are never declared; two ways lead to Animal.
    (["instance", X + "felix", X + "Animal"], [
        ["<http://x/Cat> SubClassOf <http://x/Animal>", "<http://x/felix> Type <http://x/Cat>"],
        ["<http://x/Mammal> SubClassOf <http://x/Animal>", "<http://x/Cat> SubClassOf <http://x/Mammal>",
         "<http://x/felix> Type <http://x/Cat>"],
    ]),
    (["instance", X + "felix", X + "Robot"], []),
    (["instance", X + "rex", X + "Animal"], []),
])
def test_instance_queries_on_undeclared_names(query, expected):
    assert sorted(native.justify_all(INDIVIDUALS, query)) == sorted(expected)


CAT_DOG_CLASH = ["<http://x/Cat> DisjointWith <http://x/Dog>", "<http://x/felix> Type <http://x/Cat>",
                 "<http://x/felix> Type <http://x/Dog>"]


@pytest.mark.parametrize("query, expected", [
    # Every assertion follows from an inconsistent ABox, by the clash alone ...
    (["instance", X + "rex", X + "Robot"], [CAT_DOG_CLASH]),
    (["instance", X + "felix", "http://www.w3.org/2002/07/owl#Nothing"], [CAT_DOG_CLASH]),
    # ... and a told type also by itself.
    (["instance", X + "rex", X + "Animal"],
     [CAT_DOG_CLASH, ["<http://x/Dog> SubClassOf <http://x/Animal>", "<http://x/rex> Type <http://x/Dog>"]]),
])
def test_instance_queries_on_an_inconsistent_abox(query, expected):
    assert sorted(map(sorted, native.justify_all(INCONSISTENT_ABOX, query))) == sorted(map(sorted, expected))


@pytest.mark.parametrize("query, unknown", [
    (["instance", X + "felix", X + "Nowhere"], X + "Nowhere"),
    (["instance", X + "nobody", X + "Animal"], X + "nobody"),
])
def test_an_instance_query_naming_what_no_axiom_uses_raises(query, unknown):
    with pytest.raises(kelmon.UnknownClassError) as e:
        native.justify(INDIVIDUALS, query)
    assert unknown in str(e.value)


def test_a_query_the_declarations_alone_entail_has_an_empty_justification():
    assert native.justify(CHAIN, ["subclass", X + "A", X + "A"]) == []
    assert native.justify_all(CHAIN, ["subclass", X + "A", X + "A"]) == [[]]
    assert native.repair(CHAIN, ["subclass", X + "A", X + "A"]) == []


# Mend of the data-property probe: one probe value per value family, none of them a literal of the ontology.
DATA_PROPERTIES = [
    # The range excludes 0, so a single probe "0" would hide the told sub-property.
    ('DataPropertyRange(:dp DatatypeRestriction(xsd:integer xsd:minInclusive "1"^^xsd:integer))\n'
     "SubDataPropertyOf(:dp :dq)", ["subdata-property", X + "dp", X + "dq"],
     ["<http://x/dp> SubPropertyOf <http://x/dq>"]),
    # Only the value 0 is carried over: not a sub-property.
    ('SubClassOf(DataHasValue(:dp "0"^^xsd:integer) DataHasValue(:dq "0"^^xsd:integer))',
     ["subdata-property", X + "dp", X + "dq"], []),
    ('DataPropertyRange(:dp xsd:string)\nDataPropertyRange(:dq xsd:integer)',
     ["disjoint-data-property", X + "dp", X + "dq"], None),
    ('DataPropertyRange(:dp xsd:integer)\nDataPropertyRange(:dq xsd:integer)',
     ["disjoint-data-property", X + "dp", X + "dq"], []),
]


@pytest.mark.parametrize("axioms, query, expected", DATA_PROPERTIES, ids=range(len(DATA_PROPERTIES)))
def test_data_property_queries_probe_every_value_family(tmp_path, axioms, query, expected):
    path = tmp_path / "data.ofn"
    path.write_text("Prefix(:=<http://x/>)\nPrefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"
                    f"Ontology(<http://x/data>\n{axioms}\n)\n")
    found = native.justify(str(path), query)
    if expected is None:  # both ranges are needed
        assert len(found) == 2
    else:
        assert found == expected
