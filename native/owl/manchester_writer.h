#pragma once
// One line of Manchester syntax per axiom, IRIs in full between angle brackets.
#include <string>

#include "owl/model.h"

namespace kelmon::owl {

// Renders the axiom (its annotations are not rendered), e.g.
// "<http://x/A> SubClassOf <http://x/r> some (<http://x/B> and <http://x/C>)".
// Components without a Manchester line form (DatatypeDefinition, HasKey, declarations,
// ontology-level items, annotation axioms, rules) are written in functional syntax.
// Never fails.
std::string render_manchester_axiom(const AnnotatedAxiom& axiom);
std::string render_manchester_axiom(const Axiom& axiom);

}  // namespace kelmon::owl
