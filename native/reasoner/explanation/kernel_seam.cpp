#include "reasoner/explanation/kernel_seam.h"

#include <utility>

#include "reasoner/classify/classify_driver.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/worker_pool.h"

namespace kelmon::explain {

namespace {

thread_local std::string_view missing_test;

// Seam to the reasoning kernel: each body that answers undecided becomes a
// call of the kernel's test of the same name once that test exists.
class BuiltKernel final : public KernelTests {
 public:
  Result<bool> entails_subclass(InternalOntology, std::string_view, std::string_view) override {
    return undecided<bool>("the subsumption test");
  }
  Result<bool> is_satisfiable(InternalOntology, std::string_view) override {
    return undecided<bool>("the satisfiability test");
  }
  Result<ConsistencyAnswer> check_consistency(InternalOntology) override {
    return undecided<ConsistencyAnswer>("the consistency test");
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
