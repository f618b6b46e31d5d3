#include "reasoner/explanation/prepared_ontology.h"

#include "core/convert/convert.h"
#include "reasoner/fragment.h"

namespace kelmon::explain {

bool is_non_logical(const owl::Axiom& axiom) {
  switch (owl::kind_of(axiom)) {
    case owl::AxiomKind::AnnotationAssertion:
    case owl::AxiomKind::SubAnnotationPropertyOf:
    case owl::AxiomKind::AnnotationPropertyDomain:
    case owl::AxiomKind::AnnotationPropertyRange:
      return true;
    default:
      return owl::is_ontology_level(axiom) || owl::is_declaration(axiom);
  }
}

SplitAxioms split_logical_axioms(const owl::AxiomSet& axioms) {
  SplitAxioms split;
  for (const owl::AnnotatedAxiom& a : axioms) (is_non_logical(a.axiom) ? split.non_logical : split.logical).push_back(a.axiom);
  return split;
}

PreparedOntology PreparedOntology::prepare(const owl::AxiomSet& axioms) {
  SplitAxioms split = split_logical_axioms(axioms);
  // Conversion records what it cannot represent instead of failing, so the
  // kind always comes from the converted ontology.
  const std::uint8_t kind = reasoner::fragment_kind(convert_ontology(axioms));
  return PreparedOntology{std::move(split.non_logical), std::move(split.logical), kind};
}

Result<std::vector<std::pair<Justification, std::uint8_t>>> PreparedOntology::find_all_justifications(
    EntailmentOracle& oracle, const JustifyQuery& query, std::uint64_t max) const {
  auto found = explain::find_all_justifications(oracle, non_logical, logical, query, max);
  if (!found) return std::unexpected(found.error());
  std::vector<std::pair<Justification, std::uint8_t>> paired;
  paired.reserve(found->size());
  for (Justification& j : *found) paired.emplace_back(std::move(j), fragment_kind);
  return paired;
}

}  // namespace kelmon::explain
