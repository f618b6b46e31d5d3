// The key pass: after conversion, relates the data-value key classes of the
// vocabulary by subclass and disjointness axioms, so that every class
// reasoner also decides data constraints.
#pragma once

#include <cstdint>

#include "core/data/dkey_decode.h"
#include "core/ontology.h"

namespace kelmon {

// Decodes every key class, builds the bucket context and appends the key
// subsumption and disjointness axioms (unsorted). Reads its KELMON_DKEY_*
// switches, KELMON_BOUNDED_DKEY_DISJOINT and KELMON_DKEY_CROSS_BUCKET_DISJOINT.
void emit_dkey_axioms(InternalOntology& ontology);

// Every value of a lies in b.
bool lang_values_subset(const LangStrings& a, const LangStrings& b);
// Both are sets and share no pair; "all" is disjoint from nothing.
bool lang_values_disjoint(const LangStrings& a, const LangStrings& b);

// Process-wide counters of the disjointness step, kept while
// KELMON_DKEY_SPLIT_STATS is on: pairs considered and pairs left out.
struct DkeySplitStats {
  std::uint64_t considered_pairs = 0;
  std::uint64_t skipped_pairs = 0;
};
DkeySplitStats dkey_split_stats();

}  // namespace kelmon
