// Saturation variants for the individual services and the hypertableau:
// individuals saturated with the classes, and the derived links exported.
#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "core/ir.h"
#include "saturation/internal/build_rule_base.h"
#include "saturation/internal/engine.h"
#include "saturation/internal/normalise.h"
#include "saturation/internal/pipeline.h"
#include "saturation/saturation.h"

namespace kelmon::sat {

AboxElResult el_saturate_abox(const InternalOntology& ir) {
  const RoleClosure closure = build_role_closure(ir);
  BuiltRuleBase built = build_rule_base(ir, closure);
  RuleBase& rules = built.rules;
  SyntheticIds& ids = built.ids;

  IdMap<u32, std::vector<u32>> role_ranges;
  for (std::size_t r = 0; r < closure.size(); ++r) {
    auto list = inherited_ranges(rules, closure, static_cast<u32>(r));
    if (!list.empty()) role_ranges.emplace(static_cast<u32>(r), std::move(list));
  }

  const std::size_t individual_count = ir.vocabulary.individuals.size();
  invariant(individual_count <= std::size_t{std::numeric_limits<u32>::max()} + 1, "fits u32");
  for (std::size_t i = 0; i < individual_count; ++i) ids.intern_individual(static_cast<u32>(i));

  const ConceptPool& pool = ir.concepts;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* ca = std::get_if<ClassAssertion>(&axiom)) {
      const u32 a = ids.individuals.at(ca->individual.v);
      for (u32 d : named_conjuncts(pool, ca->concept_id)) rules.told.emplace_back(a, d);
    } else if (const auto* pa = std::get_if<ObjectPropertyAssertion>(&axiom)) {
      if (!pa->role.is_named()) continue;
      const u32 a = ids.individuals.at(pa->subject.v);
      const u32 b = ids.individuals.at(pa->object.v);
      rules.link_rules.push_back(LinkRule{a, pa->role.id.v, b});
      if (auto it = role_ranges.find(pa->role.id.v); it != role_ranges.end())
        for (u32 d : it->second) rules.told.emplace_back(b, d);
    }
  }

  AboxElResult out;
  for (const auto& [individual, id] : ids.individuals) out.individual_ids.emplace(individual, id);
  const u64 concept_count = ids.next_id;
  ElEngine engine(class_count_of(ir), concept_count, std::move(rules), std::move(ids), role_closure_lists(closure),
                  false, nullptr);
  engine.seed();
  engine.run();
  out.result = std::move(engine.result);
  return out;
}

ElLinksResult el_saturate_links(const InternalOntology& ir) {
  ElEngine engine = make_engine(ir, false);
  engine.run();
  ElLinksResult out;
  out.links = engine.links.to_vector();
  std::sort(out.links.begin(), out.links.end());
  for (const auto& [id, individual] : engine.rules.nominal_individuals) out.nominals.emplace(id, individual);
  out.result = std::move(engine.result);
  return out;
}

}  // namespace kelmon::sat
