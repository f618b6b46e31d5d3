#include "reasoner/explanation/kernel_seam.h"

#include <utility>

#include "reasoner/classify/classify_driver.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/subsumption.h"
#include "reasoner/kernel/worker_pool.h"

namespace kelmon::explain {

namespace {

thread_local std::string_view missing_test;

// Seam to the reasoning kernel: each body that answers undecided becomes a
// call of the kernel's test of the same name once that test exists.
class BuiltKernel final : public KernelTests {
 public:
  Result<bool> entails_subclass(InternalOntology ir, std::string_view sub, std::string_view sup) override {
    return decided_answer(reasoner::entails_subclass(std::move(ir), sub, sup));
  }
  Result<bool> is_satisfiable(InternalOntology ir, std::string_view class_iri) override {
    return decided_answer(reasoner::is_satisfiable(std::move(ir), class_iri));
  }
  Result<ConsistencyAnswer> check_consistency(InternalOntology ir) override {
    auto answer = reasoner::check_consistency(std::move(ir));
    if (!answer) return std::unexpected(answer.error());
    if (!answer->decided) return std::unexpected(ReasonerError(NoVerdict{}));
    return ConsistencyAnswer{answer->answer, answer->answered_by_saturation};
  }
  Result<bool> is_instance_of(InternalOntology, std::string_view, std::string_view) override {
    return undecided<bool>("the instance check");
  }
  Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet&) override {
    return undecided<std::vector<PropertyTriple>>("the property-value inference");
  }
  bool abox_saturation_inconsistent(const InternalOntology& ir) override {
    return reasoner::saturate_abox(ir, std::nullopt).inconsistent;
  }
  bool abox_saturation_clash(const InternalOntology& ir) override {
    return reasoner::abox_saturation_clash(ir, std::nullopt);
  }
  Result<reasoner::Classification> classify_unbounded(InternalOntology ir) override {
    reasoner::init_global_pool();
    auto classified = reasoner::classify_internal(ir, std::nullopt, std::nullopt);
    if (!classified) return classified;
    // Without bounds a pair is left open only when no test could decide it;
    // a partial taxonomy would make a diagnosis wrong, not just short.
    if (classified->stats_ref().timed_out_pairs != 0) return std::unexpected(ReasonerError(NoVerdict{}));
    return classified;
  }

 private:
  // A test cut short answers only its default, which the searches must not
  // take for a verdict.
  static Result<bool> decided_answer(Result<reasoner::KernelAnswer> answer) {
    if (!answer) return std::unexpected(answer.error());
    if (!answer->decided) return std::unexpected(ReasonerError(NoVerdict{}));
    return answer->answer;
  }

  template <class T>
  static Result<T> undecided(std::string_view test) {
    missing_test = test;
    return std::unexpected(ReasonerError(NoVerdict{}));
  }
};

}  // namespace

std::string_view take_missing_kernel_test() { return std::exchange(missing_test, std::string_view{}); }

KernelTests& built_kernel() {
  static BuiltKernel kernel;
  return kernel;
}

}  // namespace kelmon::explain
