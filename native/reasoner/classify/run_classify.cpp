#include "reasoner/classify/run_classify.h"

#include "core/convert/convert.h"
#include "reasoner/classify/taxonomy.h"

namespace kelmon::reasoner {

Result<Classification> run_classify_saturation_only(const owl::LoadedOntology& loaded) {
  InternalOntology ir = convert_ontology(loaded.axioms);
  return classify_saturation_only(ir);
}

}  // namespace kelmon::reasoner
