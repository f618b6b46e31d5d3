#include "core/convert/data_restrictions.h"

namespace kelmon {

// Until data-value keys are wired in, data restrictions cannot be represented.
UnsupportedOr<ConceptId> convert_data_some(const owl::DataSomeValuesFrom&, InternalOntology&) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}
UnsupportedOr<ConceptId> convert_data_all(const owl::DataAllValuesFrom&, InternalOntology&) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}
UnsupportedOr<ConceptId> convert_data_has_value(const owl::DataHasValue&, InternalOntology&) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}
UnsupportedOr<ConceptId> convert_data_cardinality(std::uint32_t, const owl::DataProperty&, const owl::DataRange&,
                                                  CardinalityMode, InternalOntology&) {
  return std::unexpected(Unsupported(UnsupportedDataRange{}));
}

}  // namespace kelmon
