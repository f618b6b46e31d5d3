// Which data-value keys are used together under bounded data properties
// (functional, ranged, universally or at-most restricted), with properties
// merged into groups over sub-, equivalent and inverse property axioms. The
// disjointness steps pair keys only where they can meet.
#pragma once

#include <cstdint>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/ids.h"
#include "core/concept_pool.h"
#include "core/ontology.h"

namespace kelmon {

// A group root is the role index at the root of a property group.
using GroupRoot = std::uint64_t;

struct KeyBucketContext {
  // Every group under which the key is used; roots distinct, in first-recorded order.
  tsl::robin_map<ClassId, std::vector<GroupRoot>> key_groups;
  // Keys that occur in class axioms outside any property restriction.
  tsl::robin_set<ClassId> direct_keys;
  // Groups of strict properties.
  tsl::robin_set<GroupRoot> all_pairs_groups;
  // Groups under which the key is used universally; roots distinct, in first-recorded order.
  tsl::robin_map<ClassId, std::vector<GroupRoot>> universal_groups;
};

// A restriction below a negation: it becomes an all-values (at_least 0, from
// Some) or at-most (at_least 1, from Min) restriction in negation normal form.
struct NegatedRestriction {
  Role role;
  std::uint8_t at_least = 0;
  ConceptId filler;
  bool operator==(const NegatedRestriction&) const = default;
};

// The key class set: one flag per class of the vocabulary.
using KeyClassFlags = std::vector<bool>;
KeyClassFlags key_class_flags(const Namespace<ClassId>& classes);

// Walks `concept` below a negation; `visited` is shared by all walks of one pass.
void collect_negated_restrictions(const ConceptPool& pool, ConceptId concept_id, std::vector<bool>& visited,
                                  std::vector<NegatedRestriction>& out);

// Atomic key classes combined by Not and non-empty And/Or only.
bool is_pure_key_concept(const ConceptPool& pool, ConceptId concept_id, const KeyClassFlags& keys);

// Builds the context from the ontology's roles, concepts and axioms; reads
// KELMON_DKEY_POST_NNF and KELMON_DKEY_MERGING_GATE. With no role or no key
// class the four tables stay empty.
KeyBucketContext build_key_bucket_context(const InternalOntology& ontology, const KeyClassFlags& keys);

}  // namespace kelmon
