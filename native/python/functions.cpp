#include "python/functions.h"

#include <array>

#include "python/call_guard.h"
#include "python/implementations.h"

namespace kelmon::py {

namespace {

#define KELMON_DOC(sig, text) sig "\n--\n\n" text

constexpr std::array kMain = {
    FunctionEntry{"classify",
                  KELMON_DOC("classify(path, *, per_pair_timeout_ms=100, global_deadline_ms=60000, saturation_only=False)",
                             "`kelmon.classify(path)` — classify the ontology at `path`.\n"
                             "Format auto-detected from the file extension\n"
                             "(`.ofn` | `.owx` | `.owl` | `.rdf` | `.omn`)."),
                  guarded<impl_classify>},
    FunctionEntry{"classify_bytes",
                  KELMON_DOC("classify_bytes(data, *, format, per_pair_timeout_ms=100, global_deadline_ms=60000, "
                             "saturation_only=False)",
                             "`kelmon.classify_bytes(data, format=\"ofn\")` — same but from bytes.\n"
                             "`format` is one of `\"ofn\"`, `\"owx\"`, `\"rdf-xml\"`, `\"omn\"`."),
                  guarded<impl_classify_bytes>},
    FunctionEntry{"is_consistent",
                  KELMON_DOC("is_consistent(path)", "`kelmon.is_consistent(path)` — whether the ontology is consistent."),
                  guarded<impl_is_consistent>},
    FunctionEntry{"is_class_satisfiable",
                  KELMON_DOC("is_class_satisfiable(path, class_iri)",
                             "`kelmon.is_class_satisfiable(path, class_iri)` — whether the class can have instances."),
                  guarded<impl_is_class_satisfiable>},
    FunctionEntry{"is_subclass_of",
                  KELMON_DOC("is_subclass_of(path, sub, sup)",
                             "`kelmon.is_subclass_of(path, sub, sup)` — whether `sub` is entailed to be a subclass of `sup`."),
                  guarded<impl_is_subclass_of>},
    FunctionEntry{"is_instance_of",
                  KELMON_DOC("is_instance_of(path, class_iri, individual_iri)",
                             "`kelmon.is_instance_of(path, class_iri, individual_iri)` — whether the individual is an "
                             "entailed instance of the class."),
                  guarded<impl_is_instance_of>},
    FunctionEntry{"instances_of",
                  KELMON_DOC("instances_of(path, class_iri)",
                             "`kelmon.instances_of(path, class_iri)` — the entailed instances of the class."),
                  guarded<impl_instances_of>},
    FunctionEntry{"realize",
                  KELMON_DOC("realize(path)",
                             "`kelmon.realize(path)` — a dict from each individual to its most specific classes."),
                  guarded<impl_realize>},
    FunctionEntry{"disjoint_classes",
                  KELMON_DOC("disjoint_classes(path)",
                             "`kelmon.disjoint_classes(path)` — entailed disjoint class pairs and an incomplete flag."),
                  guarded<impl_disjoint_classes>},
    FunctionEntry{"disjoint_object_properties",
                  KELMON_DOC("disjoint_object_properties(path)",
                             "`kelmon.disjoint_object_properties(path)` — told-disjoint object property pairs."),
                  guarded<impl_disjoint_object_properties>},
    FunctionEntry{"disjoint_data_properties",
                  KELMON_DOC("disjoint_data_properties(path)",
                             "`kelmon.disjoint_data_properties(path)` — told-disjoint data property pairs."),
                  guarded<impl_disjoint_data_properties>},
    FunctionEntry{"object_property_hierarchy",
                  KELMON_DOC("object_property_hierarchy(path)",
                             "`kelmon.object_property_hierarchy(path)` — equivalence groups and direct sub-property "
                             "edges of the object properties."),
                  guarded<impl_object_property_hierarchy>},
    FunctionEntry{"data_property_hierarchy",
                  KELMON_DOC("data_property_hierarchy(path)",
                             "`kelmon.data_property_hierarchy(path)` — equivalence groups and direct sub-property "
                             "edges of the data properties."),
                  guarded<impl_data_property_hierarchy>},
    FunctionEntry{"same_individuals",
                  KELMON_DOC("same_individuals(path)",
                             "`kelmon.same_individuals(path)` — groups of entailed-equal individuals and an "
                             "incomplete flag."),
                  guarded<impl_same_individuals>},
    FunctionEntry{"different_individuals",
                  KELMON_DOC("different_individuals(path)",
                             "`kelmon.different_individuals(path)` — entailed-different individual pairs and an "
                             "incomplete flag."),
                  guarded<impl_different_individuals>},
    FunctionEntry{"object_property_values",
                  KELMON_DOC("object_property_values(path)",
                             "`kelmon.object_property_values(path)` — entailed (subject, property, object) triples and "
                             "an incomplete flag."),
                  guarded<impl_object_property_values>},
    FunctionEntry{"data_property_values",
                  KELMON_DOC("data_property_values(path)",
                             "`kelmon.data_property_values(path)` — (subject, property, lexical, datatype, lang) "
                             "records of the data property values."),
                  guarded<impl_data_property_values>},
    FunctionEntry{"class_expression_satisfiable",
                  KELMON_DOC("class_expression_satisfiable(path, ce)",
                             "`kelmon.class_expression_satisfiable(path, ce)` — whether a Manchester class expression "
                             "is satisfiable, and an incomplete flag."),
                  guarded<impl_class_expression_satisfiable>},
    FunctionEntry{"class_expression_entailed_subclass",
                  KELMON_DOC("class_expression_entailed_subclass(path, sub_ce, sup_ce)",
                             "`kelmon.class_expression_entailed_subclass(path, sub_ce, sup_ce)` — whether one class "
                             "expression is entailed to be a subclass of another, and an incomplete flag."),
                  guarded<impl_class_expression_entailed_subclass>},
    FunctionEntry{"class_expression_instances",
                  KELMON_DOC("class_expression_instances(path, ce)",
                             "`kelmon.class_expression_instances(path, ce)` — the instances of a class expression and "
                             "an incomplete flag."),
                  guarded<impl_class_expression_instances>},
    FunctionEntry{"dropped_axioms",
                  KELMON_DOC("dropped_axioms(path)",
                             "Kinds and counts of axioms conversion could not represent (a sound\n"
                             "under-approximation) — conversion never aborts on an unsupported\n"
                             "construct, it records the drop and continues, so `classify` /\n"
                             "`is_consistent` / `realize` still succeed on such inputs."),
                  guarded<impl_dropped_axioms>},
    FunctionEntry{"materialize_inferred_subclass_axioms",
                  KELMON_DOC("materialize_inferred_subclass_axioms(path)",
                             "`kelmon.materialize_inferred_subclass_axioms(path)` — inferred (sub, super) class pairs."),
                  guarded<impl_materialize_inferred_subclass_axioms>},
    FunctionEntry{"materialize_inferred_class_assertions",
                  KELMON_DOC("materialize_inferred_class_assertions(path)",
                             "`kelmon.materialize_inferred_class_assertions(path)` — inferred (class, individual) "
                             "assertions."),
                  guarded<impl_materialize_inferred_class_assertions>},
    FunctionEntry{"materialize_inferred_property_assertions",
                  KELMON_DOC("materialize_inferred_property_assertions(path)",
                             "`kelmon.materialize_inferred_property_assertions(path)` — inferred object property "
                             "assertions as triples."),
                  guarded<impl_materialize_inferred_property_assertions>},
    FunctionEntry{"materialize_inferred_data_property_assertions",
                  KELMON_DOC("materialize_inferred_data_property_assertions(path)",
                             "`kelmon.materialize_inferred_data_property_assertions(path)` — inferred data property "
                             "assertions as 5-tuples."),
                  guarded<impl_materialize_inferred_data_property_assertions>},
    FunctionEntry{"materialize_inferred_subobjectproperty_axioms",
                  KELMON_DOC("materialize_inferred_subobjectproperty_axioms(path)",
                             "`kelmon.materialize_inferred_subobjectproperty_axioms(path)` — inferred (sub, super) "
                             "object property pairs."),
                  guarded<impl_materialize_inferred_subobjectproperty_axioms>},
    FunctionEntry{"materialize_inferred_subdataproperty_axioms",
                  KELMON_DOC("materialize_inferred_subdataproperty_axioms(path)",
                             "`kelmon.materialize_inferred_subdataproperty_axioms(path)` — inferred (sub, super) data "
                             "property pairs."),
                  guarded<impl_materialize_inferred_subdataproperty_axioms>},
    FunctionEntry{"materialize_existential_successors",
                  KELMON_DOC("materialize_existential_successors(path)",
                             "`kelmon.materialize_existential_successors(path)` — (subject, property, witness, filler) "
                             "records of the existential successors."),
                  guarded<impl_materialize_existential_successors>},
    FunctionEntry{"justify",
                  KELMON_DOC("justify(path, query)",
                             "`kelmon.justify(path, query)` — one minimal justification of the query, as Manchester "
                             "lines."),
                  guarded<impl_justify>},
    FunctionEntry{"justify_all",
                  KELMON_DOC("justify_all(path, query, max=10)",
                             "`kelmon.justify_all(path, query, max=10)` — up to `max` minimal justifications."),
                  guarded<impl_justify_all>},
    FunctionEntry{"diagnose",
                  KELMON_DOC("diagnose(path)",
                             "`kelmon.diagnose(path)` — consistency, root unsatisfiable classes and the derived ones "
                             "with their roots."),
                  guarded<impl_diagnose>},
    FunctionEntry{"repair",
                  KELMON_DOC("repair(path, query, max=10)",
                             "`kelmon.repair(path, query, max=10)` — up to `max` minimal repairs of the query."),
                  guarded<impl_repair>},
    FunctionEntry{"render_manchester",
                  KELMON_DOC("render_manchester(path)",
                             "Every logical axiom of the ontology at `path`, rendered as Manchester\n"
                             "syntax strings (declarations, imports, and ontology annotations are\n"
                             "skipped as non-logical noise). Same renderer `justify` uses."),
                  guarded<impl_render_manchester>},
};

constexpr std::array kPrepare = {
    FunctionEntry{"prepare",
                  KELMON_DOC("prepare(path)",
                             "`kelmon.prepare(path)` — load an ontology and precompute its justification state."),
                  guarded<impl_prepare>},
    FunctionEntry{"prepare_bytes",
                  KELMON_DOC("prepare_bytes(data, *, format)",
                             "`kelmon.prepare_bytes(data, format=...)` — like `prepare`, from bytes."),
                  guarded<impl_prepare_bytes>},
};

#undef KELMON_DOC

static_assert(kMain.size() == 33);

}  // namespace

std::span<const FunctionEntry> main_functions() { return kMain; }
std::span<const FunctionEntry> prepare_functions() { return kPrepare; }

}  // namespace kelmon::py
