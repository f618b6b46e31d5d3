#include "reasoner/kernel/snapshot_capture.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/kernel/internal/clause_translation.h"
#include "tableau/completion/logic_profile.h"

namespace kelmon::reasoner {

bool snapshot_capture_enabled() { return switch_flag(SwitchId::SnapshotCapture); }

std::unique_ptr<SnapshotCapture> build_snapshot_capture(const InternalOntology& ir) {
  auto capture = std::make_unique<SnapshotCapture>();
  // The snapshot engines run without the role hierarchy, so the role axioms
  // become clauses of their own.
  InternalOntology copy = ir;
  add_role_gcis(copy);
  capture->clauses = clausify(copy).clauses;
  append_role_clauses(copy, capture->clauses);
  append_hierarchy_clauses(copy, capture->clauses);
  capture->logic_profile = completion::logic_profile(ir);
  std::uint64_t bound = std::min<std::uint64_t>(ir.vocabulary.classes.size(), std::numeric_limits<std::uint32_t>::max());
  for (const DlClause& clause : capture->clauses)
    for (const auto* atoms : {&clause.body, &clause.head})
      for (const ClauseAtom& atom : *atoms) {
        const auto kind = atom.atom_kind();
        if (kind == ClauseAtomKind::ConceptAtom || kind == ClauseAtomKind::ExistsAtom)
          bound = std::max<std::uint64_t>(bound, std::uint64_t{atom.a} + 1);
      }
  capture->id_bound = static_cast<std::uint32_t>(std::min<std::uint64_t>(bound, std::numeric_limits<std::uint32_t>::max()));
  return capture;
}

std::array<std::uint64_t, 2> count_class_profiles(const InternalOntology& ir) {
  const std::size_t n = ir.vocabulary.classes.size();
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "class count fits in u32");
  std::array<std::uint64_t, 2> counts{};
  for (std::uint32_t c = 0; c < n; ++c) ++counts[completion::logic_profile_of_class(ClassId{c}, ir) == 5 ? 0 : 1];
  return counts;
}

}  // namespace kelmon::reasoner
