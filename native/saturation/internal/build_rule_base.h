// One walk over an internal ontology that fills a rule base and its interner.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ir.h"
#include "saturation/internal/hash.h"
#include "saturation/internal/rule_base.h"
#include "saturation/internal/synthetic_ids.h"

namespace kelmon::sat {

struct BuiltRuleBase {
  RuleBase rules;
  SyntheticIds ids;
  u64 concept_count;
};

// The working maps of the build: role → inherited range classes, and
// (r1, r2) → range classes of the chains' super-roles.
struct RangeMaps {
  IdMap<u32, std::vector<u32>> role_ranges;
  IdMap<PairKey, std::vector<u32>> chain_ranges;
};

BuiltRuleBase build_rule_base(const InternalOntology& ontology, const RoleClosure& closure);

// The role-axiom walk (disjoint pairs, chains, domains, ranges, empty roles).
void collect_role_axioms(const InternalOntology& ontology, RuleBase& rules);
// role_ranges from the closure and `ranges`; chain_ranges from role_chains.
RangeMaps build_range_maps(const RuleBase& rules, const RoleClosure& closure);
// The classes of `ranges` over the role closure of `role`, sorted, unique.
std::vector<u32> inherited_ranges(const RuleBase& rules, const RoleClosure& closure, u32 role);

void one_of_subsumers(const ConceptPool& pool, const IdMap<u32, std::vector<u32>>& asserted, ConceptId sub,
                      ConceptId sup, RuleBase& rules);

u32 class_count_of(const InternalOntology& ontology);

}  // namespace kelmon::sat
