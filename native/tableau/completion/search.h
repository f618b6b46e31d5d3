// Deciding a seeded context: saturation with the deterministic rules, then
// branching on open disjunctions and at-most choices under trail checkpoints,
// with dependency-directed backjumping.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "tableau/completion/context.h"

namespace kelmon::completion {

struct SearchOutcome {
  enum class Tag : std::uint8_t { Sat, Clash, NoVerdict, NodeLimit };
  Tag tag;
  DepSet deps;  // Clash only

  static SearchOutcome sat() { return {Tag::Sat, {}}; }
  static SearchOutcome clash(DepSet d) { return {Tag::Clash, std::move(d)}; }
  static SearchOutcome no_verdict() { return {Tag::NoVerdict, {}}; }
  static SearchOutcome node_limit() { return {Tag::NodeLimit, {}}; }
};

struct SaturateOutcome {
  enum class Tag : std::uint8_t { Clash, Complete, Exhausted, NodeLimit };
  Tag tag;
  NodeId node = 0;  // Clash only
  DepSet deps;      // Clash only
};

// The entry point; may be called again on the same context.
SearchOutcome search(TableauContext& ctx, std::uint64_t depth);
// One branch point over concepts to add to `node`.
SearchOutcome branch(TableauContext& ctx, std::uint64_t depth, NodeId node, const std::vector<ConceptId>& options,
                     const DepSet& deps);
SaturateOutcome saturate(TableauContext& ctx, std::uint64_t max_iterations);
std::optional<std::pair<NodeId, DepSet>> clash_scan(const TableauContext& ctx);

bool trace_enabled();
// A Not, or an And of negative literals.
bool is_negative_literal(const ConceptPool& pool, ConceptId concept_id);

}  // namespace kelmon::completion
