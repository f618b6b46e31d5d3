#include "reasoner/explanation/kernel_seam.h"

#include <optional>
#include <utility>
#include <variant>

#include "common/switches.h"
#include "owl/vocabulary.h"
#include "reasoner/classify/classify_driver.h"
#include "reasoner/individuals/instance_retrieval.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/subsumption.h"
#include "reasoner/kernel/worker_pool.h"
#include "reasoner/properties/property_values.h"

namespace kelmon::explain {

namespace {

// The concept a class IRI names; owl:Thing and owl:Nothing need no entry.
Result<ConceptId> class_concept(InternalOntology& ir, std::string_view iri) {
  if (iri == owl::vocab::kOwlThing) return ir.concepts.intern(Top{});
  if (iri == owl::vocab::kOwlNothing) return ir.concepts.intern(Bottom{});
  auto entry = ir.vocabulary.classes.get(iri);
  if (!entry) return std::unexpected(ReasonerError(UnknownClass{std::string(iri)}));
  return ir.concepts.intern(Atomic{entry->id});
}

// Each entailment test gets its own bound, KELMON_JUSTIFY_ORACLE_MS from its
// start (0: none): a test that cannot decide in it answers NoVerdict, which
// ends the search with an error instead of leaving it running for ever.
Deadline oracle_deadline() {
  return deadline_after(Clock::now(), timeout_from_ms(switch_number(SwitchId::JustifyOracleMs)));
}

class BuiltKernel final : public KernelTests {
 public:
  Result<bool> entails_subclass(InternalOntology ir, std::string_view sub, std::string_view sup) override {
    return decided_answer(reasoner::entails_subclass(std::move(ir), sub, sup, oracle_deadline()));
  }
  Result<bool> is_satisfiable(InternalOntology ir, std::string_view class_iri) override {
    return decided_answer(reasoner::is_satisfiable(std::move(ir), class_iri, oracle_deadline()));
  }
  Result<ConsistencyAnswer> check_consistency(InternalOntology ir) override {
    auto answer = reasoner::check_consistency(std::move(ir), oracle_deadline());
    if (!answer) return std::unexpected(answer.error());
    if (!answer->decided) return std::unexpected(ReasonerError(NoVerdict{}));
    return ConsistencyAnswer{answer->answer, answer->answered_by_saturation};
  }
  // The instance service answers for named classes. owl:Thing and owl:Nothing,
  // which it does not look up, and its tests that ran out of time go to the
  // unbounded probe: a timed-out "no" is no verdict. Its saturation route
  // reads types off the saturation, which says "no" on an inconsistent
  // candidate that entails every assertion, so there a "no" stands only for a
  // consistent candidate. The class is looked up before the individual.
  Result<bool> is_instance_of(InternalOntology ir, std::string_view class_iri,
                              std::string_view individual_iri) override {
    if (class_iri != owl::vocab::kOwlThing && class_iri != owl::vocab::kOwlNothing) {
      auto answer = reasoner::is_instance_of_internal(ir, class_iri, individual_iri);
      // An inconsistent candidate entails every assertion.
      if (!answer && std::holds_alternative<Inconsistent>(answer.error())) return true;
      if (!answer) return std::unexpected(answer.error());
      if (answer->is_instance) return true;
      if (!answer->timed_out) {
        if (!reasoner::use_saturation_for_realize(ir)) return false;
        return inconsistent(std::move(ir));
      }
    }
    return complement_makes_inconsistent(std::move(ir), class_iri, individual_iri);
  }
  Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet& candidate) override {
    return reasoner::inferred_object_property_assertions(candidate);
  }
  bool abox_saturation_inconsistent(const InternalOntology& ir) override {
    return reasoner::saturate_abox(ir, std::nullopt).inconsistent;
  }
  bool abox_saturation_clash(const InternalOntology& ir) override {
    return reasoner::abox_saturation_clash(ir, std::nullopt);
  }
  Result<reasoner::Classification> classify_unbounded(InternalOntology ir) override {
    reasoner::init_global_pool();
    return reasoner::classify_internal(ir, std::nullopt, std::nullopt);
  }

 private:
  // The individual is an instance of C exactly when asserting ¬C of it leaves
  // no model.
  static Result<bool> complement_makes_inconsistent(InternalOntology ir, std::string_view class_iri,
                                                    std::string_view individual_iri) {
    auto c = class_concept(ir, class_iri);
    if (!c) return std::unexpected(c.error());
    auto individual = ir.vocabulary.individuals.get(individual_iri);
    if (!individual) return std::unexpected(ReasonerError(UnknownIndividual{std::string(individual_iri)}));
    ir.axioms.push_back(ClassAssertion{ir.concepts.nnf_not(*c), individual->id});
    sort_axioms(ir.axioms);
    return inconsistent(std::move(ir));
  }
  // Whether the candidate has no model, within the oracle bound.
  static Result<bool> inconsistent(InternalOntology ir) {
    auto consistent = decided_answer(reasoner::check_consistency(std::move(ir), oracle_deadline()));
    if (!consistent) return consistent;
    return !*consistent;
  }
  // A test cut short answers only its default, which the searches must not
  // take for a verdict.
  static Result<bool> decided_answer(Result<reasoner::KernelAnswer> answer) {
    if (!answer) return std::unexpected(answer.error());
    if (!answer->decided) return std::unexpected(ReasonerError(NoVerdict{}));
    return answer->answer;
  }
};

}  // namespace

KernelTests& built_kernel() {
  static BuiltKernel kernel;
  return kernel;
}

}  // namespace kelmon::explain
