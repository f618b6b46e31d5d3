// Syntactic ⊥-locality: which logical axioms a search may need for a
// signature. An axiom is local when replacing every name outside the
// signature by ⊥ (classes and properties alike) makes it a tautology.
#pragma once

#include <vector>

#include "owl/model.h"
#include "reasoner/explanation/signature.h"

namespace kelmon::explain {

// Equivalent to ⊥ / to ⊤ once the names outside the signature are read as empty.
bool is_bottom_equivalent(const owl::ClassExpression& expression, const Signature& signature);
bool is_top_equivalent(const owl::ClassExpression& expression, const Signature& signature);

bool is_bottom_local(const owl::Axiom& axiom, const Signature& signature);
// The names that a non-local axiom brings into the module's signature.
void add_module_names(const owl::Axiom& axiom, Signature& signature);

// The ⊥-locality module of `logical` for the seed signature, in the order of
// `logical`; the result does not depend on that order.
std::vector<owl::Axiom> bottom_locality_module(const std::vector<owl::Axiom>& logical, Signature signature);

}  // namespace kelmon::explain
