#include "reasoner/pairs/internal/pair_setup.h"

#include <chrono>
#include <optional>

#include "core/convert/convert.h"

namespace kelmon::reasoner {

Result<GatedOntology> convert_and_gate(const owl::LoadedOntology& loaded) {
  GatedOntology out{convert_ontology(loaded.axioms), {}};
  out.saturation = saturate_abox(out.ir, std::nullopt);
  if (out.saturation.inconsistent) return std::unexpected(Inconsistent{});
  return out;
}

Result<std::unique_ptr<PreparedReasoner>> prepare_for_pair_tests(InternalOntology ir) {
  return prepare_without_deadline(std::move(ir), std::nullopt);
}

Deadline pair_test_deadline() { return deadline_after(Clock::now(), Timeout(std::chrono::seconds(1))); }

}  // namespace kelmon::reasoner
