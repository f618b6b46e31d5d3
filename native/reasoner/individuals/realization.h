// Realization: for every named individual, the named classes it is entailed
// to belong to and the most specific of them. Read off the ABox-aware
// saturation where that is complete, otherwise one tableau test per
// (individual, candidate class) on the worker pool, most of them settled by
// told types or a pseudo model first.
#pragma once

#include <string>
#include <vector>

#include <tsl/robin_map.h>

#include "common/reasoner_error.h"
#include "common/seeded_hash.h"
#include "core/ir.h"
#include "reasoner/classify/classification.h"
#include "reasoner/individuals/instance_test.h"

namespace kelmon::reasoner {

// Each map draws its own seed, so no IRI set can be crafted against it.
struct SeededStringHash {
  std::uint64_t seed = fresh_hash_seed();
  std::size_t operator()(std::string_view s) const { return static_cast<std::size_t>(hash_bytes(s, seed)); }
};
using TypeMap = tsl::robin_map<std::string, std::vector<std::string>, SeededStringHash>;

struct Realization {
  // Named individuals in IndividualId order, anonymous ones left out. Readers
  // walk this list: the maps' iteration order is not defined.
  std::vector<std::string> individuals;
  TypeMap types;          // every class found, ascending ClassId
  TypeMap most_specific;  // the part of `types` most_specific_filter keeps
  bool any_timed_out = false;      // an instance test of a listed individual ran out of time
  bool pseudo_model_used = false;  // the tableau route had a pseudo model

  // The stored list, or an empty one for an IRI without an entry.
  const std::vector<std::string>& types_of(std::string_view iri) const;
  const std::vector<std::string>& most_specific_types(std::string_view iri) const;
};

Result<Realization> realize_internal(const InternalOntology& ir);

// Drops a type when another listed type with a row lies strictly below it;
// equivalent types and types without a row all stay, in list order.
std::vector<std::string> most_specific_filter(const std::vector<std::string>& types,
                                              const Classification& classification);

}  // namespace kelmon::reasoner
