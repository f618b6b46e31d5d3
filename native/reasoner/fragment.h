// Whether saturation's answer may be taken as final: pure tests of the
// converted ontology, reading their KELMON_ switches on every call.
#pragma once

#include <cstdint>
#include <optional>

#include <tsl/robin_set.h>

#include "core/ir.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {

// Saturation alone decides subsumption and satisfiability.
bool in_saturation_fragment(const InternalOntology& ir, bool skip_assertions);
// The TBox is Horn.
bool is_horn(const InternalOntology& ir, bool skip_assertions);
// The classification driver may take the taxonomy straight from saturation.
bool horn_shortcircuit_applies(const InternalOntology& ir);
// 0: inside the saturation fragment; 1: Horn clauses; 2: disjunctive or skipped axioms.
std::uint8_t fragment_kind(const InternalOntology& ir);
// Chains feeding chains whose super-roles reach a range: outside what saturation decides.
bool has_unsupported_feature(const InternalOntology& ir);
// Roles that take part in class-level reasoning (absent when KELMON_FRAGMENT_BARE_DECL is "0").
std::optional<tsl::robin_set<std::uint32_t>> used_roles(const InternalOntology& ir);

}  // namespace kelmon::reasoner
