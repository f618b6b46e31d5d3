// Signatures: the names (classes, object and data properties, named
// individuals, all in one set) that a query or an expression mentions.
#pragma once

#include <optional>

#include <tsl/robin_set.h>

#include "owl/iri.h"
#include "owl/model.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

using Signature = tsl::robin_set<owl::Iri, owl::IriHash>;

// The names the query is about; none for Inconsistent, which has none.
std::optional<Signature> query_signature(const JustifyQuery& query);

// Adds every class (owl:Thing and owl:Nothing included), object property
// (the inverted one for an inverse), named individual and data property of the
// expression. Data ranges and literals add nothing.
void collect_signature(const owl::ClassExpression& expression, Signature& signature);

}  // namespace kelmon::explain
