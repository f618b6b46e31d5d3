// Whether a hypertableau model's data-value nodes have values. The pairwise
// key axioms keep two keys of a node consistent, but three or more keys (or an
// integer key against a decimal one) can leave exactly values the node must
// avoid; such a model of the clauses is no model of the ontology.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <tsl/robin_map.h>

#include "core/clause.h"
#include "core/data/dkey_value.h"
#include "core/ir.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::reasoner {

struct ModelKeyCheck {
  // By clause class id: the value of each key class.
  tsl::robin_map<std::uint32_t, DKeyValue> keys;
  // Key classes some clause tests: a node whose label lacks one must hold a
  // value outside it, or the clause could fire on the real value. Ascending.
  std::vector<std::uint32_t> tested;
  // Key classes without a decoded value. Ascending.
  std::vector<std::uint32_t> undecoded;
  // Nodes without a key must hold a value too (a value is required outside a key).
  bool keyless_nodes = false;
};

// The check, when the ontology excludes a value from a key while three or more
// keys, or integer and decimal keys, are in use, or requires a value outside a
// key; null otherwise (pairwise key axioms then say everything). Clauses with key atoms only that are valid for
// every value (the key axioms) test nothing.
std::shared_ptr<const ModelKeyCheck> build_model_key_check(const InternalOntology& ir,
                                                           std::span<const DlClause> clauses);

// Every node of the engine's model whose label holds a key (with
// `keyless_nodes`, every node) has a value inside its keys and outside the
// tested keys its label lacks. A node without a key is given a string, so it
// fits when no tested key it lacks holds strings and it carries no undecoded key.
bool model_values_fit(const ModelKeyCheck& check, const HyperEngine& engine);

// K(x) → K1(x) ∨ … ∨ Kn(x) per key K whose values the other keys Ki cover
// (some Ki disjoint from K left out, and each Ki needed): the engine then
// chooses where a value lies, so its models give value nodes keys that fit.
void append_key_cover_clauses(const ModelKeyCheck& check, std::vector<DlClause>& clauses);

}  // namespace kelmon::reasoner
