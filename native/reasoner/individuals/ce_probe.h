// Probe classes: a class expression is given a fresh name by an equivalence
// axiom, so that the named-class services can answer questions about it.
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "owl/model.h"

namespace kelmon::reasoner {

// The probe of `ce` (and of `sub_ce`), and the probe of `sup_ce`.
inline constexpr std::string_view kCeProbe = "urn:kelmon-ce-probe:q";
inline constexpr std::string_view kCeProbe2 = "urn:kelmon-ce-probe:q2";
// Every probe IRI starts so; such names are never reported.
inline constexpr std::string_view kCeProbePrefix = "urn:kelmon-ce-probe";

// UnknownClass "probe IRI {} collides with a declared class" when the document
// names the probe as a class (declared, or inside a class axiom or assertion).
Result<void> check_probe_iri(const owl::LoadedOntology& loaded, std::string_view probe);

// EquivalentClasses(Class(probe), expression), without annotations.
owl::Axiom probe_equivalence_axiom(std::string_view probe, const owl::ClassExpression& expression);

// A probe IRI and the expression it stands for.
using ProbeBinding = std::pair<std::string_view, const owl::ClassExpression*>;

// The document's axioms plus one probe equivalence per binding, in order. Every
// probe is checked first, against the document as read.
Result<owl::AxiomSet> with_probes(const owl::LoadedOntology& loaded, std::initializer_list<ProbeBinding> probes);

}  // namespace kelmon::reasoner
