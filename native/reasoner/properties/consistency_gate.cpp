#include "reasoner/properties/consistency_gate.h"

#include <optional>

#include "core/convert/convert.h"
#include "reasoner/kernel/abox_saturation.h"

namespace kelmon::reasoner {

Result<void> consistency_gate(const owl::LoadedOntology& loaded) {
  const InternalOntology ir = convert_ontology(loaded.axioms);
  if (saturate_abox(ir, std::nullopt).inconsistent) return std::unexpected(Inconsistent{});
  return {};
}

}  // namespace kelmon::reasoner
