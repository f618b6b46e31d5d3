#include "reasoner/kernel/model_key_check.h"

#include <algorithm>
#include <array>

#include "core/data/key_witness.h"
#include "reasoner/kernel/internal/clause_translation.h"

namespace kelmon::reasoner {
namespace {

// Each key is tried against every other: beyond this many keys the covers cost more than they save.
constexpr std::size_t kMaxCoverKeys = 64;

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

// A node without a decoded key: some string lies outside every key of other
// value spaces. An undecoded key on the node may hold no string, so it does not fit.
bool keyless_value_fits(const ModelKeyCheck& check, const std::vector<std::uint32_t>& labels,
                        std::span<const DKeyValue* const> outside) {
  for (std::uint32_t c : check.undecoded)
    if (std::binary_search(labels.begin(), labels.end(), c)) return false;
  return std::none_of(outside.begin(), outside.end(),
                      [](const DKeyValue* k) { return std::holds_alternative<DKeyValue::Strings>(k->kind); });
}

}  // namespace

std::shared_ptr<const ModelKeyCheck> build_model_key_check(const InternalOntology& ir,
                                                           std::span<const DlClause> clauses) {
  const bool keyless_nodes = has_key_required_outside(ir);
  if (!keyless_nodes && !has_value_excluded_among_keys(ir)) return nullptr;
  auto check = std::make_shared<ModelKeyCheck>();
  check->keyless_nodes = keyless_nodes;
  const auto& names = ir.vocabulary.classes.names();
  const std::vector<bool> flags = dkey_class_flags(ir);
  for (std::size_t i = 0; i < flags.size(); ++i) {
    if (!flags[i]) continue;
    if (auto value = decode_dkey_value(*names[i])) check->keys.emplace(static_cast<std::uint32_t>(i), std::move(*value));
    else check->undecoded.push_back(static_cast<std::uint32_t>(i));
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
    // A node below a blocked one stands for nothing in the model; its labels
    // may never be complete. The block status is a cache the query refreshes.
    if (const_cast<HyperEngine&>(engine).indirectly_blocked(i)) continue;
    const std::vector<std::uint32_t>& labels = engine.nodes[i].labels;
    inside.clear();
    for (std::uint32_t c : labels)
      if (auto it = check.keys.find(c); it != check.keys.end()) inside.push_back(&it->second);
    if (inside.empty() && !check.keyless_nodes) continue;
    outside.clear();
    for (std::uint32_t c : check.tested)
      if (!std::binary_search(labels.begin(), labels.end(), c)) outside.push_back(&check.keys.at(c));
    if (inside.empty() ? !keyless_value_fits(check, labels, outside) : key_witness(inside, outside) != KeyWitness::Found)
      return false;
  }
  return true;
}

void append_key_cover_clauses(const ModelKeyCheck& check, std::vector<DlClause>& clauses) {
  if (check.keys.size() > kMaxCoverKeys) return;
  std::vector<std::uint32_t> ids;
  for (const auto& [id, value] : check.keys) ids.push_back(id);
  std::sort(ids.begin(), ids.end());
  for (std::uint32_t d : ids) {
    const std::array<const DKeyValue*, 1> inside{&check.keys.at(d)};
    std::vector<std::uint32_t> cover;
    for (std::uint32_t k : ids) {
      const std::array<const DKeyValue*, 2> both{&check.keys.at(d), &check.keys.at(k)};
      if (k != d && key_witness(both, {}) != KeyWitness::None) cover.push_back(k);
    }
    auto covers = [&](const std::vector<std::uint32_t>& keys) {
      std::vector<const DKeyValue*> outside;
      for (std::uint32_t k : keys) outside.push_back(&check.keys.at(k));
      return key_witness(inside, outside) == KeyWitness::None;
    };
    if (cover.empty() || !covers(cover)) continue;
    // Fewer disjuncts, fewer branches: drop every key the others cover without.
    for (std::size_t i = cover.size(); i-- > 0;) {
      std::vector<std::uint32_t> rest = cover;
      rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
      if (covers(rest)) cover = std::move(rest);
    }
    // One key holding all of K is a pairwise key axiom already.
    if (cover.size() < 2) continue;
    DlClause clause;
    clause.body.push_back(concept_atom(d, 0));
    for (std::uint32_t k : cover) clause.head.push_back(concept_atom(k, 0));
    clauses.push_back(std::move(clause));
  }
}

}  // namespace kelmon::reasoner
