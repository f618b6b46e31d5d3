#include "core/convert/data_passes.h"

#include <algorithm>

#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/told_data_pass.h"
#include "core/dkeys/dkey_pass.h"

namespace kelmon {

namespace {

// X ⊑ P1 ⊔ … ⊔ Pn for each class X that is given a p-value while p's domain is
// that union of named classes (X not itself one of the Pi).
void cover_domain_unions(const owl::AxiomSet& axioms, InternalOntology& onto) {
  DataAxiomIndex index = build_data_axiom_index(axioms);
  auto& classes = onto.vocabulary.classes;
  for (const auto& [property, operands] : index.domain_unions) {
    bool all_known = true;
    for (const auto& p : operands) all_known = all_known && classes.get(p).has_value();
    if (!all_known) continue;
    std::vector<std::string> covered;
    for (const auto& [cls, prop] : index.required_value_pairs) {
      if (prop != property) continue;
      if (std::find(operands.begin(), operands.end(), cls) != operands.end()) continue;
      if (!classes.get(cls)) continue;
      covered.push_back(cls);
    }
    for (const auto& cls : covered) {
      ConceptId x = onto.concepts.intern(Atomic{classes.get(cls)->id});
      std::vector<ConceptId> members;
      for (const auto& p : operands) members.push_back(onto.concepts.intern(Atomic{classes.get(p)->id}));
      ConceptId united = onto.concepts.mk_or(std::move(members));
      if (united != x) onto.axioms.push_back(SubClassOf{x, united});
    }
  }
}

}  // namespace

// Told data axioms come before the key pass, the covering of domain unions after it.
void run_data_passes(const owl::AxiomSet& axioms, InternalOntology& onto) {
  ConceptId bottom = onto.concepts.intern(Bottom{});
  ConceptId top = onto.concepts.intern(Top{});
  for (Axiom& a : derive_told_data_axioms(axioms, onto, top, bottom)) onto.axioms.push_back(std::move(a));
  emit_dkey_axioms(onto);
  cover_domain_unions(axioms, onto);
}

}  // namespace kelmon
