// The entailment oracle over candidate ontologies: each question converts the
// candidate afresh and runs one kernel test. Kinds the kernel cannot ask
// directly become a consistency test of the candidate plus probe axioms about
// fixed probe names.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "owl/model.h"
#include "reasoner/explanation/kernel_seam.h"
#include "reasoner/explanation/oracle.h"

namespace kelmon::explain {

inline constexpr std::string_view kProbeClass = "urn:kelmon-justify-probe";
inline constexpr std::string_view kProbeSubject = "urn:kelmon-justify-probe-a";
inline constexpr std::string_view kProbeObject = "urn:kelmon-justify-probe-b";

class SubsetOracle final : public EntailmentOracle {
 public:
  explicit SubsetOracle(KernelTests& kernel) : kernel_(kernel) {}

  Result<bool> entails(const owl::AxiomSet& candidate, const JustifyQuery& query) override;
  // Conversion plus ABox saturation without a deadline.
  bool saturation_finds_inconsistency(const owl::AxiomSet& candidate) override;

  // The candidate with the probe axioms added is inconsistent.
  Result<bool> probe_makes_inconsistent(const owl::AxiomSet& candidate, std::span<const owl::Axiom> probes);
  Result<bool> subset_is_consistent(const owl::AxiomSet& candidate);
  Result<ConsistencyAnswer> subset_consistency_verdict(const owl::AxiomSet& candidate);
  Result<bool> subset_entails_subclass(const owl::AxiomSet& candidate, std::string_view sub, std::string_view sup);

 private:
  Result<bool> inconsistency_test(const owl::AxiomSet& candidate);
  Result<bool> entails_subproperty(const owl::AxiomSet& candidate, std::string_view p, std::string_view q);
  Result<bool> entails_property_value(const owl::AxiomSet& candidate, const JustifyQuery& query);
  Result<bool> entails_for_every_data_probe(const owl::AxiomSet& candidate, std::string_view dp, std::string_view dq,
                                            bool disjoint);

  KernelTests& kernel_;
};

}  // namespace kelmon::explain
