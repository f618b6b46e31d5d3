#include "reasoner/individuals/inferred_subclasses.h"

#include <optional>

#include "core/convert/convert.h"
#include "owl/vocabulary.h"
#include "reasoner/classify/classify_driver.h"
#include "reasoner/kernel/worker_pool.h"

namespace kelmon::reasoner {

Result<std::vector<ClassPair>> materialize_inferred_subclass_axioms(const owl::LoadedOntology& loaded) {
  init_global_pool();
  std::optional<Classification> classification;
  {
    const InternalOntology ir = convert_ontology(loaded.axioms);
    auto classified = classify_internal(ir, std::nullopt, std::nullopt);
    if (!classified) return std::unexpected(std::move(classified.error()));
    classification.emplace(std::move(*classified));
  }
  return inferred_subclass_pairs(*classification);
}

std::vector<ClassPair> inferred_subclass_pairs(const Classification& classification) {
  const auto& classes = classification.classes();
  auto reported = [](const std::string& iri) { return iri != owl::vocab::kOwlThing && iri != owl::vocab::kOwlNothing; };
  std::vector<ClassPair> pairs;
  for (std::uint64_t row = 0; row < classes.size(); ++row) {
    const std::string& sub = classes[row];
    if (classification.is_unsat_row(row) || !reported(sub)) continue;
    // A satisfiable row's store row lists exactly its subsumers, ascending.
    for (std::uint64_t column : classification.subsumers_of(row)) {
      const std::string& sup = classes[column];
      if (sup != sub && reported(sup)) pairs.emplace_back(sub, sup);
    }
  }
  return pairs;
}

}  // namespace kelmon::reasoner
