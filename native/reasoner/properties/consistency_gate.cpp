#include "reasoner/properties/consistency_gate.h"

#include "core/convert/convert.h"

namespace kelmon::reasoner {

Result<void> consistency_gate(const owl::LoadedOntology& loaded) {
  InternalOntology ir = convert_ontology(loaded.axioms);
  (void)ir;
  return {};
}

}  // namespace kelmon::reasoner
