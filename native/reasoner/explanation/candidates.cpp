#include "reasoner/explanation/candidates.h"

#include <cstdio>

#include "common/switches.h"
#include "reasoner/explanation/axiom_order.h"
#include "reasoner/explanation/locality.h"
#include "reasoner/explanation/signature.h"
#include "reasoner/explanation/subset_ontology.h"

namespace kelmon::explain {

Result<std::optional<std::vector<owl::Axiom>>> justification_candidates(EntailmentOracle& oracle,
                                                                        const std::vector<owl::Axiom>& background,
                                                                        const std::vector<owl::Axiom>& logical,
                                                                        const JustifyQuery& query) {
  using Candidates = std::optional<std::vector<owl::Axiom>>;
  std::optional<Signature> seed = query_signature(query);
  if (!switch_flag(SwitchId::JustifyNoModule) && seed) {
    std::vector<owl::Axiom> module = bottom_locality_module(logical, std::move(*seed));
    if (switch_flag(SwitchId::JustifyDebug))
      std::fprintf(stderr, "# justify ⊥-module: %zu of %zu logical axioms\n", module.size(), logical.size());
    auto in_module = oracle.entails(build_subset_ontology(background, module), query);
    if (!in_module) return std::unexpected(in_module.error());
    if (*in_module) return Candidates(sort_axioms(std::move(module)));
  }
  auto in_all = oracle.entails(build_subset_ontology(background, logical), query);
  if (!in_all) return std::unexpected(in_all.error());
  if (!*in_all) return Candidates();
  return Candidates(sort_axioms(logical));
}

}  // namespace kelmon::explain
