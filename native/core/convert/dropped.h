// The dropped-axiom report: what conversion could not represent, by text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "common/reasoner_error.h"
#include "owl/model.h"

namespace kelmon {

// Adds 1 to the text's count, inserting it with count 1 when new.
void count_dropped_axiom(std::map<std::string, std::uint64_t>& dropped, std::string_view text);

// The kind name a dropped component is reported under ("SubClassOf", ..., "Other").
std::string_view dropped_kind_name(owl::AxiomKind kind);

// "{kind}: unsupported concept ({detail})", "{kind}: anonymous individual", ...
std::string dropped_text(std::string_view kind_name, const Unsupported& reason);

}  // namespace kelmon
