#include "core/dkeys/dkey_pass.h"

#include <algorithm>
#include <optional>

#include "common/switches.h"
#include "core/dkeys/internal/key_axiom_emitter.h"
#include "core/dkeys/internal/steps.h"
#include "core/dkeys/key_bucket_context.h"
#include "core/dkeys/key_lists.h"

namespace kelmon {

void emit_dkey_axioms(InternalOntology& ontology) {
  const bool one_of = switch_flag(SwitchId::DkeyOneofSeed);
  const KeyLists keys = decode_key_lists(ontology.vocabulary.classes, one_of);

  std::optional<KeyBucketContext> context;
  if (switch_flag(SwitchId::BoundedDkeyDisjoint))
    context = build_key_bucket_context(ontology, key_class_flags(ontology.vocabulary.classes));

  dkeys::KeyAxiomEmitter out(ontology);
  dkeys::emit_key_subsumption(out, keys);
  dkeys::emit_key_disjointness(out, keys, context);
  out.finish();
}

}  // namespace kelmon
