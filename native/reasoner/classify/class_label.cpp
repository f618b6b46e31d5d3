#include "reasoner/classify/class_label.h"

namespace kelmon::reasoner {

std::string_view label_name(const ClassLabel& label) {
  if (std::holds_alternative<LabelSat>(label)) return "sat";
  if (std::holds_alternative<LabelUnsat>(label)) return "unsat";
  return "noverdict";
}

// The prepared reasoner carries no hypertableau clause set in this build, so
// no label run can start: every class gets NoVerdict, which later phases read
// as carrying no information.
ClassLabel compute_class_label(const PreparedReasoner&, ClassId, Deadline) { return LabelNoVerdict{}; }

}  // namespace kelmon::reasoner
