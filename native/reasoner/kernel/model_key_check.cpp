#include "reasoner/kernel/model_key_check.h"

#include <algorithm>

#include "core/data/key_witness.h"
#include "reasoner/kernel/internal/clause_translation.h"

namespace kelmon::reasoner {
namespace {

bool concept_of_key(const ClauseAtom& atom, const ModelKeyCheck& check) {
  return atom.atom_kind() == ClauseAtomKind::ConceptAtom && check.keys.contains(atom.a);
}

// A clause of key atoms at one variable that holds whatever the value.
bool valid_key_clause(const DlClause& clause, const ModelKeyCheck& check) {
  std::vector<const DKeyValue*> inside, outside;
  for (const auto* side : {&clause.body, &clause.head}) {
    for (const ClauseAtom& atom : *side) {
      if (!concept_of_key(atom, check) || atom.b != clause.body.front().b) return false;
      (side == &clause.body ? inside : outside).push_back(&check.keys.at(atom.a));
    }
  }
  return !inside.empty() && key_witness(inside, outside) == KeyWitness::None;
}

}  // namespace

std::shared_ptr<const ModelKeyCheck> build_model_key_check(const InternalOntology& ir,
                                                           std::span<const DlClause> clauses) {
  if (!has_value_excluded_among_keys(ir)) return nullptr;
  auto check = std::make_shared<ModelKeyCheck>();
  const auto& names = ir.vocabulary.classes.names();
  const std::vector<bool> flags = dkey_class_flags(ir);
  for (std::size_t i = 0; i < flags.size(); ++i) {
    if (!flags[i]) continue;
    if (auto value = decode_dkey_value(*names[i])) check->keys.emplace(static_cast<std::uint32_t>(i), std::move(*value));
  }
  for (const DlClause& clause : clauses) {
    if (clause.body.empty() || valid_key_clause(clause, *check)) continue;
    for (const ClauseAtom& atom : clause.body)
      if (concept_of_key(atom, *check)) check->tested.push_back(atom.a);
  }
  std::sort(check->tested.begin(), check->tested.end());
  check->tested.erase(std::unique(check->tested.begin(), check->tested.end()), check->tested.end());
  return check;
}

bool model_values_fit(const ModelKeyCheck& check, const HyperEngine& engine) {
  std::vector<const DKeyValue*> inside, outside;
  for (std::uint32_t i = 0; i < engine.nodes.size(); ++i) {
    if (engine.find(i) != i) continue;
    const std::vector<std::uint32_t>& labels = engine.nodes[i].labels;
    inside.clear();
    for (std::uint32_t c : labels)
      if (auto it = check.keys.find(c); it != check.keys.end()) inside.push_back(&it->second);
    if (inside.empty()) continue;
    outside.clear();
    for (std::uint32_t c : check.tested)
      if (!std::binary_search(labels.begin(), labels.end(), c)) outside.push_back(&check.keys.at(c));
    if (key_witness(inside, outside) != KeyWitness::Found) return false;
  }
  return true;
}

}  // namespace kelmon::reasoner
