#include "reasoner/classify/class_unsat_test.h"

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/classify/kernel_routes.h"

namespace kelmon::reasoner {

bool related_to(const sat::ElResult& saturation, ClassId c, const ClassSet& set) {
  if (set.empty()) return false;
  if (set.contains(c)) return true;
  for (std::uint32_t id : saturation.subsumers.row_sorted(c.v))
    if (set.contains(ClassId{id})) return true;
  return false;
}

namespace {

// A model of the label may miss what counting over keys, nominals or complex
// qualifiers forces; such classes are tested.
bool sat_label_trusted(const ClassTestEnv& env, ClassId c) {
  const PreparedReasoner& p = env.prepared;
  if (related_to(env.saturation, c, p.key_card_classes)) return false;
  if (switch_flag(SwitchId::NominalCountingVerify) && related_to(env.saturation, c, p.bounded_card_classes))
    return false;
  if (switch_flag(SwitchId::ComplexQualifierVerify) && related_to(env.saturation, c, p.complex_card_classes))
    return false;
  return true;
}

}  // namespace

ClassTestResult class_unsat_test(std::uint64_t row, const ClassTestEnv& env) {
  invariant(row < env.reportable.ids.size(), "row indexes the reportable classes");
  const ClassId c = env.reportable.ids[row];
  if (env.saturation.unsat.test(c.v)) return {row, ClassVerdict::Unsatisfiable, true};
  if (switch_flag(SwitchId::UnsatViaLabels) && row < env.labels.size()) {
    const ClassLabel& label = env.labels[row];
    if (std::holds_alternative<LabelUnsat>(label)) return {row, ClassVerdict::Unsatisfiable, true};
    if (std::holds_alternative<LabelSat>(label) && sat_label_trusted(env, c))
      return {row, ClassVerdict::Satisfiable, true};
  }
  Timeout timeout = unsat_probe_timeout(env.per_pair_timeout);
  Deadline deadline = test_deadline(env.deadline, timeout);
  TableauAnswer answer = tableau_class_test(env.prepared, c, deadline);
  // Only a model or a clash decides; a search that stopped for any reason does not.
  if (!answer || !answer->has_value()) return {row, ClassVerdict::Undecided, false};
  return {row, **answer ? ClassVerdict::Satisfiable : ClassVerdict::Unsatisfiable, false};
}

}  // namespace kelmon::reasoner
