#include "common/switches.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "reasoner/kernel/role_tables.h"

namespace kelmon::reasoner {

AboxCheckData build_abox_check_input(const InternalOntology& ir) {
  InternalOntology copy = ir;
  AboxCheckData data;
  data.told = ToldTables::build(copy);
  // The check reads the axioms as converted, before characteristics become class axioms.
  data.axioms = copy.axioms;
  add_role_characteristic_axioms(copy);
  data.role_hierarchy = build_directed_role_hierarchy(copy);
  RoleTables tables = collect_role_tables(copy.axioms);
  data.inverse_pairs = std::move(tables.inverse_pairs);
  data.disjoint_role_pairs = std::move(tables.disjoint_role_pairs);
  data.facts = collect_abox_facts(copy);
  data.pool = std::move(copy.concepts);
  return data;
}

const std::optional<AboxClash>& AboxClashCell::get(const PreparedReasoner& prepared) const {
  return cell_.get_or_init([&]() -> std::optional<AboxClash> {
    if (!prepared.saturation || !switch_flag(SwitchId::AboxCheck)) return std::nullopt;
    return abox_check({prepared.abox, prepared.axioms, prepared.told, prepared.pool, prepared.inverse_pairs,
                       prepared.role_hierarchy, prepared.disjoint_role_pairs, *prepared.saturation});
  });
}

}  // namespace kelmon::reasoner
