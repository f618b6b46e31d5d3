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
};

// The check, when the ontology excludes a value from a key while three or more
// keys, or integer and decimal keys, are in use; null otherwise (pairwise key
// axioms then say everything). Clauses with key atoms only that are valid for
// every value (the key axioms) test nothing.
std::shared_ptr<const ModelKeyCheck> build_model_key_check(const InternalOntology& ir,
                                                           std::span<const DlClause> clauses);

// Every node of the engine's model whose label holds a key has a value inside
// its keys and outside the tested keys its label lacks.
bool model_values_fit(const ModelKeyCheck& check, const HyperEngine& engine);

}  // namespace kelmon::reasoner
