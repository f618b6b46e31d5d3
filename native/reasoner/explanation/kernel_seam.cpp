#include "reasoner/explanation/kernel_seam.h"

#include "reasoner/kernel/abox_saturation.h"

namespace kelmon::explain {

namespace {

// Seam to the reasoning kernel: each body that answers NoVerdict becomes a
// call of the kernel's test of the same name once that test exists.
class BuiltKernel final : public KernelTests {
 public:
  Result<bool> entails_subclass(InternalOntology, std::string_view, std::string_view) override {
    return undecided<bool>();
  }
  Result<bool> is_satisfiable(InternalOntology, std::string_view) override { return undecided<bool>(); }
  Result<ConsistencyAnswer> check_consistency(InternalOntology) override { return undecided<ConsistencyAnswer>(); }
  Result<bool> is_instance_of(InternalOntology, std::string_view, std::string_view) override {
    return undecided<bool>();
  }
  Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet&) override {
    return undecided<std::vector<PropertyTriple>>();
  }
  bool abox_saturation_inconsistent(const InternalOntology& ir) override {
    return reasoner::saturate_abox(ir, std::nullopt).inconsistent;
  }
  bool abox_saturation_clash(const InternalOntology& ir) override {
    return reasoner::abox_saturation_clash(ir, std::nullopt);
  }
  Result<reasoner::Classification> classify_unbounded(InternalOntology) override {
    return undecided<reasoner::Classification>();
  }

 private:
  template <class T>
  static Result<T> undecided() {
    return std::unexpected(ReasonerError(NoVerdict{}));
  }
};

}  // namespace

KernelTests& built_kernel() {
  static BuiltKernel kernel;
  return kernel;
}

}  // namespace kelmon::explain
