#include "reasoner/individuals/class_assertions.h"

#include <optional>
#include <set>
#include <tuple>

#include "core/convert/convert.h"
#include "reasoner/kernel/abox_saturation.h"

namespace kelmon::reasoner {

namespace {

// Converts the document and realizes it; the IR is dropped before returning.
Result<Realization> realize_document(const owl::LoadedOntology& loaded) {
  const InternalOntology ir = convert_ontology(loaded.axioms);
  return realize_internal(ir);
}

}  // namespace

Result<std::vector<ClassAssertionPair>> materialize_inferred_class_assertions(const owl::LoadedOntology& loaded) {
  auto realization = realize_document(loaded);
  if (!realization) return std::unexpected(std::move(realization.error()));
  return most_specific_assertions(*realization);
}

Result<std::vector<SuccessorTuple>> materialize_existential_successors(const owl::LoadedOntology& loaded) {
  {
    const InternalOntology ir = convert_ontology(loaded.axioms);
    if (saturate_abox(ir, std::nullopt).inconsistent) return std::unexpected(Inconsistent{});
  }
  const ToldSuccessorMap told = told_successor_map(loaded.axioms);
  if (told.empty()) return std::vector<SuccessorTuple>{};
  auto realization = realize_document(loaded);
  if (!realization) return std::unexpected(std::move(realization.error()));
  return successor_tuples(*realization, told);
}

std::vector<ClassAssertionPair> most_specific_assertions(const Realization& realization) {
  std::vector<ClassAssertionPair> pairs;
  for (const std::string& individual : realization.individuals) {
    for (const std::string& cls : realization.most_specific_types(individual)) pairs.emplace_back(cls, individual);
  }
  return pairs;
}

std::vector<SuccessorTuple> successor_tuples(const Realization& realization, const ToldSuccessorMap& told) {
  // (subject, property, filler), borrowed from the realization and the map.
  std::set<std::tuple<std::string_view, std::string_view, std::string_view>> triples;
  for (const std::string& subject : realization.individuals) {
    for (const std::string& type : realization.types_of(subject)) {
      auto it = told.find(type);
      if (it == told.end()) continue;
      for (const auto& [property, filler] : it->second) triples.emplace(subject, property, filler);
    }
  }
  std::vector<SuccessorTuple> tuples;
  tuples.reserve(triples.size());
  for (const auto& [subject, property, filler] : triples) {
    tuples.push_back({std::string(subject), std::string(property), "_:b" + std::to_string(tuples.size()),
                      std::string(filler)});
  }
  return tuples;
}

}  // namespace kelmon::reasoner
