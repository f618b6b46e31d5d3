"""is_consistent, is_subclass_of and is_class_satisfiable over small fixture ontologies,
in this process and under the engine switches (which must not change any answer)."""

import json
import os
import subprocess
import sys
import warnings

import pytest

import kelmon
import kelmon._native as native
from kernel_cases import CASES, document, run_case, write_documents

HERE = os.path.dirname(os.path.abspath(__file__))


@pytest.fixture(scope="module")
def documents(tmp_path_factory):
    return write_documents(str(tmp_path_factory.mktemp("kernel")))


@pytest.mark.parametrize("name,axioms,function,args,expected", CASES, ids=[c[0] for c in CASES])
def test_answer(documents, name, axioms, function, args, expected):
    with warnings.catch_warnings():
        warnings.simplefilter("error", kelmon.IncompleteQueryWarning)
        assert run_case(native, documents[name], function, args) == expected


SWITCH_SETTINGS = [
    {},
    {"KELMON_HYPERTABLEAU": "0"},
    {"KELMON_WEDGE_CONSISTENCY": "0"},
    {"KELMON_ABOX_SATURATION": "0"},
    {"KELMON_ABOX_CHECK": "0"},
    {"KELMON_TABLEAU_ITERATIVE_DEEPENING": "1"},
    {"KELMON_ANYWHERE_BLOCKING": "0"},
    {"KELMON_ANYWHERE_BLOCKING": "1"},
]

# Answers known to be wrong under a setting, with the fault behind them; the
# test fails once they come right, so that the entry goes.
KNOWN_WRONG: dict[str, dict[str, str]] = {}


def setting_id(setting):
    return ",".join(f"{k}={v}" for k, v in setting.items()) or "default"


_CHILD = """
import json, sys, warnings
sys.path.insert(0, {here!r})
import kelmon, kelmon._native as native
from kernel_cases import CASES, run_case
paths = json.loads(sys.argv[1])
out = {{}}
with warnings.catch_warnings():
    warnings.simplefilter("error", kelmon.IncompleteQueryWarning)
    for name, _, function, args, _ in CASES:
        out[name] = run_case(native, paths[name], function, args)
print(json.dumps(out))
"""


@pytest.mark.parametrize("setting", SWITCH_SETTINGS, ids=setting_id)
def test_answers_do_not_depend_on_engine_switches(documents, setting):
    env = {k: v for k, v in os.environ.items() if not k.startswith("KELMON_")}
    env.update(setting)
    done = subprocess.run([sys.executable, "-c", _CHILD.format(here=HERE), json.dumps(documents)], env=env,
                          capture_output=True, text=True, timeout=600, check=False)
    assert done.returncode == 0, done.stderr[-2000:]
    answers = json.loads(done.stdout.strip().splitlines()[-1])
    wrong = {name: (answers[name], expected) for name, _, _, _, expected in CASES if answers[name] != expected}
    assert set(wrong) == set(KNOWN_WRONG.get(setting_id(setting), {})), wrong


def test_docstrings_and_signatures():
    assert native.is_consistent.__doc__ == "True iff the ontology at `path` is consistent."
    assert native.is_subclass_of.__doc__ == "True iff `sub ⊑ sup` is entailed."
    assert native.is_class_satisfiable.__doc__ == "True iff `class_iri` is satisfiable (not ⊑ ⊥)."
    assert native.is_subclass_of.__text_signature__ == "(path, sub, sup)"
    assert native.is_class_satisfiable.__text_signature__ == "(path, class_iri)"


@pytest.mark.parametrize("call", [
    lambda p: native.is_consistent(),
    lambda p: native.is_consistent(p, p),
    lambda p: native.is_subclass_of(p, "http://x/A"),
    lambda p: native.is_subclass_of(p, "http://x/A", sup=3),
    lambda p: native.is_class_satisfiable(path=p, class_iri=b"http://x/A"),
    lambda p: native.is_class_satisfiable(p, "http://x/A", class_iri="http://x/A"),
])
def test_bad_arguments_raise_type_error(documents, call):
    with pytest.raises(TypeError):
        call(documents["subclass-told"])


def test_keywords_are_accepted(documents):
    assert native.is_subclass_of(path=documents["subclass-told"], sub="http://x/A", sup="http://x/B") is True
    assert native.is_class_satisfiable(documents["subclass-told"], class_iri="http://x/A") is True


def test_unreadable_documents_raise_parse_error(tmp_path):
    odd = tmp_path / "x.unknown"
    odd.write_text(document("SubClassOf(:A :B)"))
    with pytest.raises(kelmon.ParseError):
        native.is_consistent(str(odd))
    with pytest.raises(kelmon.ParseError):
        native.is_subclass_of(str(tmp_path / "missing.ofn"), "http://x/A", "http://x/B")


def test_an_undecided_consistency_answer_warns(tmp_path, set_switch):
    # A wedge that cannot finish (no budget) and a fall-through with no time: undecided.
    path = tmp_path / "hard.ofn"
    path.write_text(document(
        "SubClassOf(owl:Thing ObjectUnionOf(:A :B)) SubClassOf(:A ObjectSomeValuesFrom(:R :A))"
        "SubClassOf(:B ObjectSomeValuesFrom(:R :B)) ClassAssertion(:C :a)"))
    set_switch("KELMON_CONSISTENCY_FALLBACK_MS", "0")
    with pytest.warns(kelmon.IncompleteQueryWarning, match="is_consistent"):
        assert kelmon.is_consistent(str(path)) is True


@pytest.mark.parametrize("wedge", ["1", "0"])
def test_a_class_defined_by_two_enumerations_keeps_both(set_switch, wedge):
    # {T, F} = {p, m} with T and F different: T cannot equal both p and m.
    set_switch("KELMON_WEDGE_CONSISTENCY", wedge)
    with warnings.catch_warnings():
        warnings.simplefilter("error", kelmon.IncompleteQueryWarning)
        assert kelmon.is_consistent(os.path.join(HERE, "data", "owl1_enumerations.rdf")) is False


def test_wine_consistency_is_decided():
    # Nominals, functional roles and at-least restrictions over some 200
    # individuals: the whole-ontology run must backjump precisely to find its
    # model rather than run out of time and default to consistent.
    from shared_paths import CORPUS

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always", kelmon.IncompleteQueryWarning)
        assert kelmon.is_consistent(os.path.join(CORPUS, "ontologies", "wine.rdf")) is True
    undecided = [str(w.message) for w in caught if "a bound stopped" in str(w.message)]
    assert undecided == []
