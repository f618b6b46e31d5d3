#include "core/convert/data_passes.h"

#include "core/dkeys/dkey_pass.h"

namespace kelmon {

// The told data pass and the covering of domain unions come in around the key
// pass: told axioms before it (they can make keys direct), unions after it.
void run_data_passes(const owl::AxiomSet&, InternalOntology& onto) { emit_dkey_axioms(onto); }

}  // namespace kelmon
