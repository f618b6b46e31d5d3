#include "reasoner/classify/taxonomy.h"

#include <utility>

#include "common/switches.h"
#include "reasoner/fragment.h"
#include "saturation/proof_store.h"

namespace kelmon::reasoner {

RowByIri rows_by_iri(const ReportableClasses& reportable) {
  RowByIri map;
  map.reserve(reportable.iris.size());
  for (std::uint64_t r = 0; r < reportable.iris.size(); ++r) map.emplace(reportable.iris[r], r);
  return map;
}

Classification taxonomy_from_saturation(ReportableClasses reportable, const sat::ElResult& saturation,
                                        RowByIri row_by_iri, std::uint8_t fragment_kind) {
  ClassifyStats stats;
  stats.fragment_kind = fragment_kind;
  stats.inconsistent = (saturation.top_is_bottom || saturation.inconsistent) ? 1 : 0;

  const std::uint64_t n = reportable.ids.size();
  tsl::robin_set<std::uint64_t> unsat_rows;
  for (std::uint64_t j = 0; j < n; ++j) {
    if (saturation.unsat.test(reportable.ids[j].v)) unsat_rows.insert(j);
  }
  SubsumerStore store(n);
  std::vector<std::uint32_t> row;
  for (std::uint64_t j = 0; j < n; ++j) {
    if (unsat_rows.contains(j)) continue;
    store.insert(j, j);
    saturation.subsumers.row_into(reportable.ids[j].v, row);
    for (std::uint32_t id : row) {
      if (id >= reportable.row_of.size()) break;  // synthetic ids follow the classes
      const auto& other = reportable.row_of[id];
      if (!other || *other == j || unsat_rows.contains(*other)) continue;
      store.insert(j, *other);
    }
  }
  return Classification(std::move(store), std::move(reportable.iris), std::move(stats), std::move(row_by_iri),
                        std::move(unsat_rows));
}

Classification inconsistent_classification(std::vector<std::string> classes, RowByIri row_by_iri,
                                           std::uint8_t fragment_kind) {
  const std::uint64_t n = classes.size();
  ClassifyStats stats;
  stats.inconsistent = 1;
  stats.fragment_kind = fragment_kind;
  tsl::robin_set<std::uint64_t> unsat_rows;
  for (std::uint64_t r = 0; r < n; ++r) unsat_rows.insert(r);
  return Classification(SubsumerStore(n), std::move(classes), std::move(stats), std::move(row_by_iri),
                        std::move(unsat_rows));
}

Classification classify_saturation_only(const InternalOntology& ir) {
  ReportableClasses reportable = reportable_classes(ir.vocabulary.classes);
  RowByIri row_by_iri = rows_by_iri(reportable);
  sat::ElResult saturation = sat::el_saturate(ir, switch_flag(SwitchId::Proof)).first;
  std::uint8_t kind = fragment_kind(ir);
  Classification result = taxonomy_from_saturation(std::move(reportable), saturation, std::move(row_by_iri), kind);
  result.stats_mut().saturation_only = 1;
  return result;
}

}  // namespace kelmon::reasoner
