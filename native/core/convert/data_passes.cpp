#include "core/convert/data_passes.h"

#include "core/data_axioms/told_data_pass.h"
#include "core/dkeys/dkey_pass.h"

namespace kelmon {

// Told data axioms go in before the key pass, so that key classes they mention
// count as used directly. The covering of domain unions follows the key pass.
void run_data_passes(const owl::AxiomSet& axioms, InternalOntology& onto) {
  const ConceptId top = onto.concepts.intern(Top{});
  const ConceptId bottom = onto.concepts.intern(Bottom{});
  for (Axiom& axiom : derive_told_data_axioms(axioms, onto, top, bottom)) onto.axioms.push_back(std::move(axiom));
  emit_dkey_axioms(onto);
}

}  // namespace kelmon
