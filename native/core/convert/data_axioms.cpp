#include "core/convert/data_axioms.h"

#include "common/switches.h"

namespace kelmon {

bool data_switch_on() { return switch_on_unless_zero("KELMON_DATA_PROPERTIES"); }

// Until data-value keys are wired in, data ranges and values cannot be keyed.
UnsupportedOr<Axiom> convert_data_property_range(const owl::DataPropertyRange&, InternalOntology&) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}

UnsupportedOr<ConceptId> data_value_assertion_concept(const owl::DataProperty&, const owl::Literal&, InternalOntology&,
                                                      bool) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}

}  // namespace kelmon
