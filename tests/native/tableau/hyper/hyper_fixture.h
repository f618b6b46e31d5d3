// Small TBoxes turned into DL-clauses for the hypertableau tests.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/clause.h"
#include "saturation/tbox.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::hyper_testing {

struct HyperTbox : sat::testing::Tbox {
  std::vector<DlClause> clauses;

  const std::vector<DlClause>& clausified() {
    clauses = clausify(o).clauses;
    return clauses;
  }
  HyperEngine engine(std::string_view root) {
    clausified();
    return HyperEngine(clauses, id(root));
  }
  // The run's outcome for one class at budget 256, after `setup`.
  template <typename Setup>
  HyperOutcome satisfiable(std::string_view root, Setup&& setup, std::uint64_t budget = 256) {
    HyperEngine e = engine(root);
    setup(e);
    return e.run(budget, std::nullopt);
  }
  HyperOutcome satisfiable(std::string_view root) {
    return satisfiable(root, [](HyperEngine&) {});
  }
  HyperOutcome within_budget(std::string_view root, std::uint64_t budget) {
    return satisfiable(root, [](HyperEngine&) {}, budget);
  }
};

// One of the 32 combinations of the search switches, by bit; every restore
// checked against a full copy of the graph.
inline void apply_search_switches(HyperEngine& e, int mask) {
  e.check_restores = true;
  e.semantic_branching = (mask & 1) != 0;
  e.mrv = (mask & 2) != 0;
  e.incremental_fixpoint = (mask & 4) != 0;
  e.precise_card_deps = (mask & 8) != 0;
  if ((mask & 16) != 0) e.enable_double_blocking();
}

inline ClauseAtom ca(std::uint32_t cls, std::uint32_t var) { return concept_atom(cls, var); }
inline ClauseAtom ra(std::uint32_t x, std::uint32_t y, std::uint32_t role, bool inverse = false) {
  return role_atom(x, y, inverse ? Role::inverse_of(RoleId{role}) : Role::named(RoleId{role}));
}
inline ClauseAtom ea(std::uint32_t filler, std::uint32_t var, std::uint32_t role, bool inverse = false) {
  return exists_atom(filler, var, inverse ? Role::inverse_of(RoleId{role}) : Role::named(RoleId{role}));
}

}  // namespace kelmon::hyper_testing
