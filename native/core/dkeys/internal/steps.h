// The steps of the key pass, each over the decoded key lists.
#pragma once

#include <optional>
#include <vector>

#include "core/dkeys/internal/key_axiom_emitter.h"
#include "core/dkeys/key_bucket_context.h"
#include "core/dkeys/key_lists.h"

namespace kelmon::dkeys {

// Subclass axioms between nested keys of one kind; reads KELMON_DKEY_STR_SIZE_INDEX.
void emit_key_subsumption(KeyAxiomEmitter& out, const KeyLists& keys);

// Disjointness within each kind, with the cross-kind steps at their places.
void emit_key_disjointness(KeyAxiomEmitter& out, const KeyLists& keys, const std::optional<KeyBucketContext>& context);

// Cross-kind steps: every pair of `first` x `second` (filtered by the context).
void emit_cross_kind_disjointness(KeyAxiomEmitter& out, const std::vector<ClassId>& first,
                                  const std::vector<ClassId>& second, const std::optional<KeyBucketContext>& context);
// Keys of value spaces that share no value (strings, exact numbers, floats,
// doubles, dates, date-times), for every pair of kinds the steps above leave out.
void emit_value_space_disjointness(KeyAxiomEmitter& out, const KeyLists& keys,
                                   const std::optional<KeyBucketContext>& context);
// Interval keys against one-of keys of the same datatype.
void emit_range_oneof_disjointness(KeyAxiomEmitter& out, const KeyLists& keys,
                                   const std::optional<KeyBucketContext>& context);

}  // namespace kelmon::dkeys
