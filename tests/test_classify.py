"""classify / classify_bytes with saturation_only, and the Classification class."""

import os
import threading

import numpy as np
import pytest

import kelmon
from taxonomy_lines import CORPUS, reference_lines, taxonomy_lines

DATA = os.path.join(os.path.dirname(__file__), "data")
TAXONOMY = os.path.join(DATA, "taxonomy.ofn")
X = "http://x/"


def x(*names):
    return [X + n for n in names]


@pytest.fixture(scope="module")
def taxonomy():
    return kelmon.classify(TAXONOMY, saturation_only=True)


def test_classes_follow_class_id_order(taxonomy):
    # declarations first (structural order), then names met in the axioms
    assert taxonomy.classes[:2] == x("A", "Z")
    assert sorted(taxonomy.classes) == x("A", "B", "C", "D", "E", "F", "G", "H", "U", "V", "Z")


def test_subsumptions_equivalents_and_unsatisfiable(taxonomy):
    t = taxonomy
    assert t.is_subclass(X + "A", X + "B") and t.is_subclass(X + "B", X + "A")
    assert t.is_subclass(X + "D", X + "C")
    assert t.is_subclass(X + "F", X + "G")
    assert not t.is_subclass(X + "C", X + "A")
    assert not t.is_subclass(X + "A", X + "nope")
    assert t.unsatisfiable == x("U", "V")
    assert t.is_subclass(X + "U", X + "Z")
    assert t.equivalent_classes(X + "B") == x("A", "B")
    assert t.equivalent_classes(X + "nope") == []
    assert t.inconsistent is False
    assert t.timed_out_pairs == 0 and t.complete is True


@pytest.mark.parametrize("fast", ["1", "0"])
def test_direct_subsumers_in_both_forms(set_switch, fast):
    set_switch("KELMON_FAST_DIRECT_SUBSUMERS", fast)
    t = kelmon.classify(TAXONOMY, saturation_only=True)
    assert t.direct_subsumers(X + "A") == x("C")
    assert sorted(t.direct_subsumers(X + "D")) == x("A", "B", "E")
    assert t.direct_subsumers(X + "C") == []
    # an unsatisfiable class sits below the leaves
    leaves = t.direct_subsumers(X + "U")
    assert X + "D" in leaves and X + "C" not in leaves
    assert t.direct_subsumers(X + "nope") == []


def test_inconsistent_ontology_reports_every_class_unsatisfiable():
    t = kelmon.classify(os.path.join(DATA, "inconsistent.ofn"), saturation_only=True)
    assert t.inconsistent is True
    assert t.unsatisfiable == sorted(t.classes)
    assert repr(t) == f"Classification(classes=3, unsatisfiable=3, inconsistent=true)"
    assert t.direct_subsumers(X + "A") == []


def test_repr_and_docs(taxonomy):
    assert repr(taxonomy) == "Classification(classes=11, unsatisfiable=2, inconsistent=false)"
    assert kelmon.Classification.is_subclass.__doc__ == "True iff `sub \u2291 sup` is entailed."
    assert kelmon.Classification.classes.__doc__ == "All declared class IRIs in the ontology, insertion order."
    assert kelmon.classify.__doc__.startswith("`kelmon.classify(path)` \u2014 classify the ontology at `path`.\n")


def test_classify_bytes_matches_classify(taxonomy):
    with open(TAXONOMY, "rb") as f:
        data = f.read()
    b = kelmon.classify_bytes(data, format="ofn", saturation_only=np.bool_(True))
    assert b.classes == taxonomy.classes
    assert taxonomy_lines(b) == taxonomy_lines(taxonomy)


@pytest.mark.parametrize("dense_max", ["0", "60000"])
def test_dense_and_sparse_stores_agree(set_switch, taxonomy, dense_max):
    set_switch("KELMON_CLASSIFY_DENSE_MAX", dense_max)
    t = kelmon.classify(TAXONOMY, saturation_only=True)
    assert taxonomy_lines(t) == taxonomy_lines(taxonomy)


@pytest.mark.parametrize(
    "call, error, match",
    [
        (lambda: kelmon.classify(3, saturation_only=True), TypeError, "argument 'path'"),
        (lambda: kelmon.classify(TAXONOMY, saturation_only=1), TypeError, "argument 'saturation_only'"),
        (lambda: kelmon.classify(TAXONOMY, per_pair_timeout_ms="5"), TypeError, "argument 'per_pair_timeout_ms'"),
        (lambda: kelmon.classify(TAXONOMY, per_pair_timeout_ms=-1), OverflowError, None),
        (lambda: kelmon.classify(TAXONOMY, global_deadline_ms=-1), OverflowError, None),
        (lambda: kelmon.classify(TAXONOMY, 100), TypeError, "classify\\(\\) takes 1 positional argument"),
        (lambda: kelmon.classify_bytes(b"x", saturation_only=True), TypeError, "missing 1 required keyword-only"),
        (lambda: kelmon.classify_bytes("text", format="ofn"), TypeError, "argument 'data'"),
        (lambda: kelmon.classify_bytes(b"x", format=1), TypeError, "argument 'format'"),
        (lambda: kelmon.classify_bytes(b"x", format="ttl", saturation_only=True), kelmon.ParseError,
         "unknown format `ttl`"),
        (lambda: kelmon.classify_bytes(b"\xff", format="ttl", saturation_only=True), kelmon.ParseError,
         "not valid UTF-8"),
        (lambda: kelmon.classify("/nonexistent.ofn", saturation_only=True), kelmon.ParseError, "^read "),
    ],
)
def test_argument_and_loading_errors(call, error, match):
    with pytest.raises(error, match=match):
        call()


def test_bounds_accept_none_and_zero():
    for bound in (None, 0, 5):
        t = kelmon.classify(TAXONOMY, per_pair_timeout_ms=bound, global_deadline_ms=bound, saturation_only=True)
        assert len(t.classes) == 11


def test_queries_from_several_threads_agree(taxonomy):
    t = kelmon.classify(TAXONOMY, saturation_only=True)
    results = []

    def work():
        results.append(tuple(tuple(t.direct_subsumers(c)) for c in t.classes))

    threads = [threading.Thread(target=work) for _ in range(4)]
    for th in threads:
        th.start()
    for th in threads:
        th.join()
    assert len(set(results)) == 1


def corpus(name):
    return os.path.join(CORPUS, "ontologies", name)


def test_go_basic_matches_the_reference_exactly():
    # EL, so saturation alone is complete.
    t = kelmon.classify(corpus("go-basic.ofn"), saturation_only=True)
    ours, ref = taxonomy_lines(t), reference_lines("go-basic")
    assert len(ref) > 100000
    assert ours - ref == set(), sorted(ours - ref)[:10]
    assert ref - ours == set(), sorted(ref - ours)[:10]


CORPUS_FILES = sorted(f for f in os.listdir(os.path.join(CORPUS, "ontologies")) if not f.startswith("go-basic"))


@pytest.mark.parametrize("file", CORPUS_FILES)
def test_no_subsumption_is_invented_on_any_corpus_ontology(file):
    t = kelmon.classify(corpus(file), saturation_only=True)
    ours, ref = taxonomy_lines(t), reference_lines(file.rsplit(".", 1)[0])
    assert ours - ref == set(), sorted(ours - ref)[:10]


@pytest.mark.parametrize("name", sorted({f.rsplit(".", 1)[0] for f in CORPUS_FILES}))
def test_every_syntax_of_an_ontology_gives_the_same_taxonomy(name):
    files = [f for f in CORPUS_FILES if f.rsplit(".", 1)[0] == name]
    taxonomies = {f: taxonomy_lines(kelmon.classify(corpus(f), saturation_only=True)) for f in files}
    first = taxonomies[files[0]]
    for f in files[1:]:
        assert taxonomies[f] == first, f
