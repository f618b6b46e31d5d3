#include "reasoner/individuals/class_expression_queries.h"

#include <algorithm>
#include <utility>

#include "core/convert/convert.h"
#include "reasoner/individuals/ce_probe.h"
#include "reasoner/individuals/instance_retrieval.h"
#include "reasoner/kernel/subsumption.h"

namespace kelmon::reasoner {

namespace {

// Whether the probe q of the enlarged axioms is satisfiable, with the flag.
Result<ExpressionAnswer> probe_satisfiable(const owl::AxiomSet& axioms) {
  InternalOntology ir = convert_ontology(axioms);
  const bool dropped = !ir.dropped.empty();
  auto tested = is_satisfiable(std::move(ir), kCeProbe);
  if (!tested) return std::unexpected(std::move(tested.error()));
  return ExpressionAnswer{tested->answer, !tested->fragment_complete || dropped};
}

}  // namespace

Result<ExpressionAnswer> class_expression_satisfiable(const owl::LoadedOntology& loaded,
                                                      const owl::ClassExpression& ce) {
  auto axioms = with_probes(loaded, {{kCeProbe, &ce}});
  if (!axioms) return std::unexpected(std::move(axioms.error()));
  return probe_satisfiable(*axioms);
}

Result<ExpressionAnswer> class_expression_entailed_subclass(const owl::LoadedOntology& loaded,
                                                            const owl::ClassExpression& sub_ce,
                                                            const owl::ClassExpression& sup_ce) {
  auto axioms = with_probes(loaded, {{kCeProbe, &sub_ce}, {kCeProbe2, &sup_ce}});
  if (!axioms) return std::unexpected(std::move(axioms.error()));
  InternalOntology ir = convert_ontology(*axioms);
  const bool dropped = !ir.dropped.empty();
  auto tested = entails_subclass(std::move(ir), kCeProbe, kCeProbe2);
  if (!tested) return std::unexpected(std::move(tested.error()));
  return ExpressionAnswer{tested->answer, !tested->fragment_complete || dropped};
}

Result<ExpressionInstances> class_expression_instances(const owl::LoadedOntology& loaded,
                                                       const owl::ClassExpression& ce) {
  auto axioms = with_probes(loaded, {{kCeProbe, &ce}});
  if (!axioms) return std::unexpected(std::move(axioms.error()));
  // Only the flag of the satisfiability test is used; the test consumes its IR.
  auto tested = probe_satisfiable(*axioms);
  if (!tested) return std::unexpected(std::move(tested.error()));
  auto found = instances_of_internal(convert_ontology(*axioms), kCeProbe);
  if (!found) return std::unexpected(std::move(found.error()));
  std::vector<std::string> individuals = std::move(found->instances);
  std::erase_if(individuals, [](const std::string& iri) { return iri.starts_with(kCeProbePrefix); });
  std::sort(individuals.begin(), individuals.end());
  individuals.erase(std::unique(individuals.begin(), individuals.end()), individuals.end());
  return ExpressionInstances{std::move(individuals), tested->incomplete};
}

}  // namespace kelmon::reasoner
