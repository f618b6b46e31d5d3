// The named individuals of a vocabulary and the grouping of them into
// same-individual classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>

#include "core/vocab.h"

namespace kelmon::reasoner {

using NamedIndividual = std::pair<IndividualId, std::string_view>;

// Every individual except those conversion made for anonymous ones, by IRI (byte order).
std::vector<NamedIndividual> named_individuals(const Vocabulary& vocabulary);

// Root of a same-individual set → its member IRIs.
using GroupMap = tsl::robin_map<std::uint32_t, std::vector<std::string>>;

// The lists of two or more members, each sorted, the lists sorted.
std::vector<std::vector<std::string>> same_individual_groups(GroupMap groups);

}  // namespace kelmon::reasoner
