#include <limits>

#include "common/invariant.h"
#include "core/ir.h"
#include "saturation/internal/build_rule_base.h"
#include "saturation/internal/engine.h"
#include "saturation/saturation.h"

namespace kelmon::sat {

LookaheadEngine::LookaheadEngine(std::shared_ptr<const ElEngine> engine, std::uint32_t probe)
    : engine_(std::move(engine)), probe_(probe) {}

LookaheadEngine build_lookahead_engine(const InternalOntology& ir) {
  const RoleClosure closure = build_role_closure(ir);
  BuiltRuleBase built = build_rule_base(ir, closure);
  const u64 n = built.concept_count;
  invariant(n <= std::numeric_limits<u32>::max(), "fits u32");
  invariant(n != std::numeric_limits<u32>::max(), kSyntheticOverflow);
  built.ids.next_id = static_cast<u32>(n + 1);
  auto engine = std::make_shared<ElEngine>(class_count_of(ir), n + 1, std::move(built.rules), std::move(built.ids),
                                           role_closure_lists(closure), false, nullptr);
  engine->seed();
  engine->run();
  return LookaheadEngine(std::move(engine), static_cast<u32>(n));
}

std::uint64_t LookaheadEngine::class_count() const { return engine_->class_count; }

bool LookaheadEngine::probe_unsat(const std::vector<std::uint32_t>& classes,
                                  const std::vector<std::pair<std::uint32_t, std::uint32_t>>& edges) const {
  // The caller's ids come from another engine's id space: only ids that mean
  // the same thing here (class ids) are taken; dropping a conjunct can only
  // make the probe weaker, never prune a satisfiable branch.
  const u64 class_count = engine_->class_count;
  const std::size_t role_count = engine_->super_roles.size();
  ElEngine copy = engine_->fork();
  for (u32 c : classes)
    if (c < class_count && c < probe_) copy.enqueue_pair(probe_, c);
  for (auto [role, target] : edges)
    if (target < class_count && target < probe_ && role < role_count)
      copy.add_link(ElLink{probe_, role, target}, std::nullopt);
  copy.run();
  return copy.result.unsat.test(probe_);
}

}  // namespace kelmon::sat
