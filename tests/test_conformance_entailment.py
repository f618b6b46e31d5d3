"""The W3C OWL 2 conformance entailment cases of the DL species, asked through `justify_all`:
a positive case must give a justification for every conclusion axiom, a negative case none
for at least one of its axioms. Only cases whose conclusion axioms all map to justification
queries are asked; the kinds that do not map are listed in UNMAPPED. A case the reasoner
cannot decide in time is skipped; it must never answer wrongly."""

import json
import os
import re
import subprocess
import sys

import pytest

import kelmon
import kelmon._native as native
from conformance_cases import dl_cases

# Each case runs in a child process: a search that does not finish in this time
# counts as undecided (no answer, so no wrong one).
CASE_SECONDS = 30

OWL = "http://www.w3.org/2002/07/owl#"
XSD = "http://www.w3.org/2001/XMLSchema#"

# Why a conclusion axiom cannot be asked, by the kind of axiom (its Manchester rendering decides).
UNMAPPED = {
    "ClassAssertion of a class expression",
    "SubClassOf with a class expression",
    "EquivalentClasses with a class expression",
    "ObjectPropertyAssertion with an anonymous individual",
    "ClassAssertion of an anonymous individual",
    "ObjectPropertyRange",
    "TransitiveObjectProperty",
    "no logical axiom (declarations only)",
    "premise imports another document",
}

_IRI = r"<([^>]+)>"
_LITERAL = r'"([^"\\]*)"(?:\^\^<([^>]+)>)?'
_PATTERNS = [
    (re.compile(rf"^{_IRI} Type {_IRI}$"), "Type"),
    (re.compile(rf"^{_IRI} {_IRI} {_IRI}$"), "Fact"),
    (re.compile(rf"^{_IRI} {_IRI} {_LITERAL}$"), "DataFact"),
    (re.compile(rf"^{_IRI} SameAs {_IRI}$"), "same"),
    (re.compile(rf"^{_IRI} DifferentFrom {_IRI}$"), "different"),
    (re.compile(rf"^{_IRI} SubClassOf {_IRI}$"), "SubClassOf"),
    (re.compile(rf"^{_IRI} EquivalentTo {_IRI}$"), "EquivalentTo"),
    (re.compile(rf"^{_IRI} DisjointWith {_IRI}$"), "DisjointWith"),
    (re.compile(rf"^{_IRI} SubPropertyOf {_IRI}$"), "SubPropertyOf"),
]
_CHARACTERISTIC = re.compile(rf"^{_IRI} Characteristics: (\w+)$")


def unmapped_kind(rendering):
    """The kind of a conclusion axiom that no justification query asks."""
    if "_:" in rendering:
        return ("ClassAssertion of an anonymous individual" if " Type " in rendering
                else "ObjectPropertyAssertion with an anonymous individual")
    characteristic = _CHARACTERISTIC.match(rendering)
    if characteristic:
        return f"{characteristic.group(2)}ObjectProperty"
    for word, kind in ((" Type ", "ClassAssertion of a class expression"),
                       (" SubClassOf ", "SubClassOf with a class expression"),
                       (" EquivalentTo ", "EquivalentClasses with a class expression"),
                       (" Range ", "ObjectPropertyRange"), (" Domain ", "ObjectPropertyDomain")):
        if word in rendering:
            return kind
    return f"unrecognised rendering {rendering!r}"


class Premise:
    """What the premise says about a name: a class, a data property, or something else."""

    def __init__(self, path):
        self.classes = set(kelmon.classify(path, saturation_only=True).classes) | {OWL + "Thing", OWL + "Nothing"}
        renderings = native.render_manchester(path)
        # A data property is followed by a literal in an assertion or by a datatype in a restriction.
        self.data_properties = {m for r in renderings
                                for m in re.findall(rf'<([^>]+)> (?:"|(?:some|only|min \d+|max \d+|exactly \d+) <{XSD})', r)}

    def property_query(self, object_kind, data_kind, p, q):
        return [data_kind if p in self.data_properties else object_kind, p, q]


def conclusion_query(rendering, premise):
    """The justification query for one conclusion axiom, or the unmapped kind as a str."""
    for pattern, kind in _PATTERNS:
        m = pattern.match(rendering)
        if not m:
            continue
        a, b = m.group(1), m.group(2)
        if kind == "Type":
            return ["instance", a, b]
        if kind == "Fact":
            return ["property", a, b, m.group(3)]
        if kind == "DataFact":
            lexical, datatype = m.group(3), m.group(4)
            return ["data-value", a, b, lexical if datatype is None else f"{lexical}^^<{datatype}>"]
        if kind in ("same", "different"):
            return [kind, a, b]
        if kind == "SubClassOf":
            return ["subclass", a, b]
        classes = a in premise.classes and b in premise.classes
        if kind == "EquivalentTo":
            return ["equivalent", a, b] if classes else premise.property_query("equiv-property", "equiv-data-property", a, b)
        if kind == "DisjointWith":
            return ["disjoint", a, b] if classes else premise.property_query(
                "disjoint-property", "disjoint-data-property", a, b)
        return premise.property_query("subproperty", "subdata-property", a, b)
    return unmapped_kind(rendering)


def read_cases():
    out = []
    for folder, meta, kind in dl_cases(("PositiveEntailmentTest", "NegativeEntailmentTest")):
        positive = kind == "PositiveEntailmentTest"
        conclusion = meta["docs"]["conclusion" if positive else "nonconclusion"][0]
        for document in meta["docs"]["premise"]:
            out.append(pytest.param(os.path.join(folder, document), os.path.join(folder, conclusion), positive,
                                    bool(meta.get("imports")), id=f"{os.path.basename(folder)}/{document}"))
    return out


CASES = read_cases()


def case_queries(premise, conclusion, imports):
    """The queries of a case, or the set of kinds that keep it from being asked."""
    if imports:
        return {"premise imports another document"}
    renderings = native.render_manchester(conclusion)
    if not renderings:
        return {"no logical axiom (declarations only)"}
    facts = Premise(premise)
    queries = [conclusion_query(r, facts) for r in renderings]
    kinds = {q for q in queries if isinstance(q, str)}
    return kinds or queries


# For each query, in order, until the first one without a justification: "yes" when
# `justify_all` found one, "no" when it found none, "undecided" when the reasoner gave up,
# "unsupported" when conversion cannot represent what the query asks.
_CHILD = """
import json, sys
import kelmon
import kelmon._native as native
for query in json.loads(sys.argv[2]):
    try:
        found = native.justify_all(sys.argv[1], query, 1)
    except kelmon.UnsupportedAxiomError as e:
        print("unsupported", flush=True)
        break
    except kelmon.KelmonError as e:
        if type(e) is not kelmon.KelmonError or "could not decide" not in str(e):
            raise
        print("undecided", flush=True)
        break
    print("yes" if found else "no", flush=True)
    if not found:
        break
"""


def test_the_cases_are_present():
    assert len(CASES) > 30


def test_the_unmapped_kinds_are_the_known_ones():
    seen = set()
    for case in CASES:
        answer = case_queries(*case.values[:2], case.values[3])
        if isinstance(answer, set):
            seen |= answer
    assert seen == UNMAPPED


@pytest.mark.parametrize("premise, conclusion, positive, imports", CASES)
def test_entailment_verdict(premise, conclusion, positive, imports):
    queries = case_queries(premise, conclusion, imports)
    if isinstance(queries, set):
        pytest.skip("cannot ask: " + ", ".join(sorted(queries)))
    try:
        done = subprocess.run([sys.executable, "-c", _CHILD, premise, json.dumps(queries)], capture_output=True,
                              text=True, timeout=CASE_SECONDS, check=False)
    except subprocess.TimeoutExpired:
        pytest.skip(f"undecided (no answer within {CASE_SECONDS} s)")
    assert done.returncode == 0, done.stderr[-2000:]
    answers = done.stdout.split()
    if answers[-1] in ("undecided", "unsupported"):
        pytest.skip(f"{answers[-1]}: {queries[len(answers) - 1]}")
    if positive:
        assert answers == ["yes"] * len(queries), list(zip(queries, answers))
    else:
        assert answers[-1] == "no", list(zip(queries, answers))
