#include "reasoner/individuals/class_expression_queries.h"

#include <utility>

#include "core/convert/convert.h"
#include "reasoner/individuals/ce_probe.h"
#include "reasoner/kernel/subsumption.h"

namespace kelmon::reasoner {

Result<ExpressionAnswer> class_expression_satisfiable(const owl::LoadedOntology& loaded,
                                                      const owl::ClassExpression& ce) {
  auto axioms = with_probes(loaded, {{kCeProbe, &ce}});
  if (!axioms) return std::unexpected(std::move(axioms.error()));
  auto tested = is_satisfiable(convert_ontology(*axioms), kCeProbe);
  if (!tested) return std::unexpected(std::move(tested.error()));
  return ExpressionAnswer{tested->answer, !tested->fragment_complete};
}

Result<ExpressionAnswer> class_expression_entailed_subclass(const owl::LoadedOntology& loaded,
                                                            const owl::ClassExpression& sub_ce,
                                                            const owl::ClassExpression& sup_ce) {
  auto axioms = with_probes(loaded, {{kCeProbe, &sub_ce}, {kCeProbe2, &sup_ce}});
  if (!axioms) return std::unexpected(std::move(axioms.error()));
  auto tested = entails_subclass(convert_ontology(*axioms), kCeProbe, kCeProbe2);
  if (!tested) return std::unexpected(std::move(tested.error()));
  return ExpressionAnswer{tested->answer, !tested->fragment_complete};
}

}  // namespace kelmon::reasoner
