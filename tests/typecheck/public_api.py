"""Uses every public name of kelmon as the README and the docstrings show.

Never run: tests/test_typing.py type-checks it with mypy --strict against the
shipped stubs, so a stub that lacks a name, a parameter or a precise type fails.
"""

import warnings
from typing import assert_type

import kelmon

PIZZA = "examples/pizza.ofn"
NS = "http://www.co-ode.org/ontologies/pizza/pizza.owl#"


def quick_start() -> None:
    c = kelmon.classify(PIZZA, saturation_only=True)
    print(c.direct_subsumers(NS + "American"))
    print(kelmon.dropped_axioms(PIZZA))


def classification() -> None:
    c = kelmon.classify(PIZZA, per_pair_timeout_ms=None, global_deadline_ms=0)
    b = kelmon.classify_bytes(b"Ontology()", format="ofn", per_pair_timeout_ms=100, saturation_only=False)
    assert_type(c, kelmon.Classification)
    assert_type(b, kelmon.Classification)
    assert_type(c.classes, list[str])
    assert_type(c.unsatisfiable, list[str])
    assert_type(c.inconsistent, bool)
    assert_type(c.timed_out_pairs, int)
    assert_type(c.complete, bool)
    assert_type(c.is_subclass(NS + "American", NS + "Pizza"), bool)
    assert_type(c.equivalent_classes(NS + "Pizza"), list[str])
    assert_type(c.direct_subsumers(NS + "Pizza"), list[str])


def kernel_and_individuals() -> None:
    assert_type(kelmon.is_consistent(PIZZA), bool)
    assert_type(kelmon.is_class_satisfiable(PIZZA, NS + "Pizza"), bool)
    assert_type(kelmon.is_subclass_of(PIZZA, NS + "American", NS + "Pizza"), bool)
    assert_type(kelmon.is_instance_of(PIZZA, NS + "Country", NS + "Italy"), bool)
    assert_type(kelmon.instances_of(PIZZA, NS + "Country"), list[str])
    assert_type(kelmon.realize(PIZZA), dict[str, list[str]])
    assert_type(kelmon.same_individuals(PIZZA), list[list[str]])
    assert_type(kelmon.different_individuals(PIZZA), list[tuple[str, str]])


def classes_and_properties() -> None:
    assert_type(kelmon.disjoint_classes(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.disjoint_object_properties(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.disjoint_data_properties(PIZZA), list[tuple[str, str]])
    groups, edges = kelmon.object_property_hierarchy(PIZZA)
    assert_type(groups, list[list[str]])
    assert_type(edges, list[tuple[str, str]])
    assert_type(kelmon.data_property_hierarchy(PIZZA), tuple[list[list[str]], list[tuple[str, str]]])
    assert_type(kelmon.object_property_values(PIZZA), list[tuple[str, str, str]])
    assert_type(kelmon.data_property_values(PIZZA), list[tuple[str, str, str, str, str]])


def class_expressions() -> None:
    assert_type(kelmon.class_expression_satisfiable(PIZZA, "Pizza and not Pizza"), bool)
    assert_type(kelmon.class_expression_entailed_subclass(PIZZA, "American", "Pizza"), bool)
    assert_type(kelmon.class_expression_instances(PIZZA, "Country"), list[str])


def materialization() -> None:
    assert_type(kelmon.materialize_inferred_subclass_axioms(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.materialize_inferred_class_assertions(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.materialize_inferred_property_assertions(PIZZA), list[tuple[str, str, str]])
    assert_type(kelmon.materialize_inferred_data_property_assertions(PIZZA), list[tuple[str, str, str, str, str]])
    assert_type(kelmon.materialize_inferred_subobjectproperty_axioms(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.materialize_inferred_subdataproperty_axioms(PIZZA), list[tuple[str, str]])
    assert_type(kelmon.materialize_existential_successors(PIZZA), list[tuple[str, str, str, str]])


def explanation() -> None:
    query = ["subclass", NS + "American", NS + "Pizza"]
    assert_type(kelmon.justify(PIZZA, query), list[str])
    assert_type(kelmon.justify_all(PIZZA, ("unsat", NS + "IceCream"), max=3), list[list[str]])
    assert_type(kelmon.repair(PIZZA, ["inconsistent"], max=1), list[list[str]])
    consistent, roots, derived = kelmon.diagnose(PIZZA)
    assert_type(consistent, bool)
    assert_type(roots, list[str])
    assert_type(derived, list[tuple[str, list[str]]])
    assert_type(kelmon.render_manchester(PIZZA), list[str])
    p = kelmon.prepare(PIZZA)
    assert_type(p, kelmon.PreparedOntology)
    assert_type(kelmon.prepare_bytes(b"Ontology()", format="ofn"), kelmon.PreparedOntology)
    assert_type(p.justify(query), list[str])
    assert_type(p.justify_all(query, max=2), list[list[str]])


def errors_and_warnings() -> None:
    version: str = kelmon.__version__
    print(version)
    try:
        kelmon.classify("missing.ofn")
    except kelmon.ParseError as e:
        assert isinstance(e, kelmon.KelmonError)
    except (kelmon.UnsupportedAxiomError, kelmon.UnknownClassError) as e:
        assert isinstance(e, kelmon.KelmonError)
    except kelmon.InternalFailure as failure:
        assert isinstance(failure, BaseException)
    with warnings.catch_warnings():
        warnings.simplefilter("error", kelmon.IncompleteQueryWarning)
        kelmon.disjoint_classes(PIZZA)
