#include "reasoner/explanation/subset_ontology.h"

#include <optional>

#include "owl/vocabulary.h"
#include "reasoner/explanation/locality.h"
#include "reasoner/explanation/signature.h"

namespace kelmon::explain {

owl::AxiomSet build_subset_ontology(std::span<const owl::Axiom> non_logical, std::span<const owl::Axiom> logical) {
  owl::AxiomSet set;
  set.reserve(non_logical.size() + logical.size());
  for (const owl::Axiom& a : non_logical) set.insert(a);
  for (const owl::Axiom& a : logical) set.insert(a);
  return set;
}

owl::AxiomSet build_subset_ontology(std::span<const owl::Axiom> non_logical,
                                    std::span<const owl::Axiom* const> logical) {
  owl::AxiomSet set;
  set.reserve(non_logical.size() + logical.size());
  for (const owl::Axiom& a : non_logical) set.insert(a);
  for (const owl::Axiom* a : logical) set.insert(*a);
  return set;
}

std::vector<owl::Axiom> search_background(const std::vector<owl::Axiom>& non_logical,
                                          const std::vector<owl::Axiom>& logical, const JustifyQuery& query) {
  std::vector<owl::Axiom> background = non_logical;
  std::vector<std::string_view> classes;
  std::optional<std::string_view> individual;
  switch (query.kind) {
    case QueryKind::Subclass:
    case QueryKind::Equivalent:
    case QueryKind::Unsat:
      classes.assign(query.names.begin(), query.names.end());
      break;
    case QueryKind::Instance:
      individual = query.names[0];
      classes.push_back(query.names[1]);
      break;
    default:
      return background;
  }
  Signature used;
  for (const owl::Axiom& a : logical) add_module_names(a, used);
  auto is_used = [&](std::string_view name) { return used.contains(owl::Iri(name)); };
  for (std::string_view c : classes) {
    if (c == owl::vocab::kOwlThing || c == owl::vocab::kOwlNothing || !is_used(c)) continue;
    background.emplace_back(owl::DeclareClass{owl::Class{owl::Iri(c)}});
  }
  if (individual && is_used(*individual))
    background.emplace_back(owl::DeclareNamedIndividual{owl::NamedIndividual{owl::Iri(*individual)}});
  return background;
}

}  // namespace kelmon::explain
