#include "core/convert/convert.h"

#include <algorithm>

#include "core/convert/axiom_conversion.h"
#include "core/convert/data_axioms.h"
#include "core/convert/data_passes.h"
#include "core/convert/dropped.h"
#include "core/convert/role_chains.h"
#include "core/convert/visiting_order.h"

namespace kelmon {

namespace {

void convert_main_loop(const owl::AxiomSet& axioms, InternalOntology& onto) {
  for (const owl::AnnotatedAxiom* annotated : visiting_order(axioms)) {
    const owl::Axiom& component = annotated->axiom;
    owl::AxiomKind kind = owl::kind_of(component);
    if (is_data_gated(kind) && !data_switch_on()) {
      count_dropped_axiom(onto.dropped, dropped_text(dropped_kind_name(kind), Unsupported(UnsupportedDataRange{})));
      continue;
    }
    auto converted = convert_component(component, onto);
    if (!converted) {
      count_dropped_axiom(onto.dropped, dropped_text(dropped_kind_name(kind), converted.error()));
      continue;
    }
    for (auto& axiom : *converted) onto.axioms.push_back(std::move(axiom));
  }
}

void run_passes(const owl::AxiomSet& axioms, InternalOntology& onto) {
  onto.concepts.intern(Bottom{});
  onto.concepts.intern(Top{});
  run_data_passes(axioms, onto);
  split_union_antecedents(onto);
  std::optional<ToldTables> told = add_union_common_subsumers(onto);
  prune_told_disjoint_unions(onto, std::move(told));
  negation_to_bottom_gcis(onto);
  split_role_chains(onto);
  add_functional_role_gcis(onto);
  inverse_pair_functional_pass(onto);
}

}  // namespace

InternalOntology convert_ontology(const owl::AxiomSet& axioms) {
  InternalOntology onto;
  convert_main_loop(axioms, onto);
  run_passes(axioms, onto);
  if (onto.axioms.size() >= 2) sort_axioms(onto.axioms);
  return onto;
}

}  // namespace kelmon
