#include "reasoner/individuals/instance_retrieval.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

#include "common/invariant.h"
#include "core/convert/class_expression.h"
#include "reasoner/individuals/internal/saturation_inconsistency.h"
#include "reasoner/individuals/internal/told_types.h"

namespace kelmon::reasoner {

namespace {

Result<ClassId> class_id(const InternalOntology& ir, std::string_view iri) {
  auto entry = ir.vocabulary.classes.get(iri);
  if (!entry) return std::unexpected(ReasonerError(UnknownClass{std::string(iri)}));
  return entry->id;
}

bool saturation_has(const sat::AboxElResult& abox, IndividualId individual, ClassId cls) {
  auto id = abox.individual_ids.find(individual.v);
  return id != abox.individual_ids.end() && abox.result.subsumers.contains(id->second, cls.v);
}

// The tableau side of one request: the EL saturation for the told-type
// shortcut and the prepared reasoner, both built from the borrowed IR.
struct TableauSetup {
  sat::ElResult saturation;
  std::unique_ptr<PreparedReasoner> prepared;
  std::optional<std::uint64_t> timeout_ms;
};

Result<TableauSetup> tableau_setup(const InternalOntology& ir) {
  TableauSetup setup{sat::el_saturate_from_env(ir), nullptr, std::nullopt};
  auto prepared = prepare_without_deadline(ir, std::nullopt);
  if (!prepared) return std::unexpected(std::move(prepared.error()));
  setup.prepared = std::move(*prepared);
  setup.timeout_ms = realize_pair_timeout_ms();
  return setup;
}

}  // namespace

Result<InstanceList> instances_of_internal(const InternalOntology& ir, std::string_view class_iri) {
  auto cls = class_id(ir, class_iri);
  if (!cls) return std::unexpected(std::move(cls.error()));
  const Namespace<IndividualId>& individuals = ir.vocabulary.individuals;
  invariant(individuals.size() <= std::numeric_limits<std::uint32_t>::max(), "individual count fits in u32");
  const auto n = static_cast<std::uint32_t>(individuals.size());
  InstanceList out;
  if (use_saturation_for_realize(ir)) {
    const sat::AboxElResult abox = sat::el_saturate_abox(ir);
    if (individuals::saturation_inconsistent(abox)) return std::unexpected(ReasonerError(Inconsistent{}));
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::string_view iri = individuals.name(IndividualId{i});
      if (saturation_has(abox, IndividualId{i}, *cls) && !iri.starts_with(kAnonIndividualPrefix))
        out.instances.emplace_back(iri);
    }
    return out;
  }
  auto setup = tableau_setup(ir);
  if (!setup) return std::unexpected(std::move(setup.error()));
  const std::vector<std::vector<ClassId>> told = individuals::told_type_table(ir);
  for (std::uint32_t i = 0; i < n; ++i) {
    const Deadline deadline = individuals::instance_test_deadline(setup->timeout_ms);
    auto answer = individuals::test_instance_told(told[i], setup->saturation, *setup->prepared, *cls, IndividualId{i},
                                                  deadline, nullptr);
    if (!answer) return std::unexpected(std::move(answer.error()));
    const std::string_view iri = individuals.name(IndividualId{i});
    if (answer->is_instance && !iri.starts_with(kAnonIndividualPrefix)) out.instances.emplace_back(iri);
    out.timed_out = out.timed_out || answer->timed_out;
  }
  return out;
}

Result<InstanceAnswer> is_instance_of_internal(const InternalOntology& ir, std::string_view class_iri,
                                               std::string_view individual_iri) {
  auto cls = class_id(ir, class_iri);
  if (!cls) return std::unexpected(std::move(cls.error()));
  auto individual = ir.vocabulary.individuals.get(individual_iri);
  if (!individual) return std::unexpected(ReasonerError(UnknownIndividual{std::string(individual_iri)}));
  if (use_saturation_for_realize(ir)) {
    const sat::AboxElResult abox = sat::el_saturate_abox(ir);
    if (individuals::saturation_inconsistent(abox)) return std::unexpected(ReasonerError(Inconsistent{}));
    return InstanceAnswer{saturation_has(abox, individual->id, *cls), false};
  }
  auto setup = tableau_setup(ir);
  if (!setup) return std::unexpected(std::move(setup.error()));
  const Deadline deadline = individuals::instance_test_deadline(setup->timeout_ms);
  return test_instance(ir, setup->saturation, *setup->prepared, *cls, individual->id, deadline, nullptr);
}

}  // namespace kelmon::reasoner
