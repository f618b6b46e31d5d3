// Fixtures for the explanation tests: axioms from functional syntax and an
// oracle whose entailments are given as sets of axioms.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/convert/convert_support.h"
#include "common/scoped_switch.h"
#include "owl/structural.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/oracle_mode.h"

namespace kelmon::explain::testing {

using kelmon::testing::ScopedSwitch;

// The one axiom of a functional-syntax line (prefix ":" is http://x/).
inline owl::Axiom axiom(const std::string& text) {
  auto loaded = kelmon::testing::load_ofn(text);
  for (const auto& a : loaded.axioms)
    if (!owl::is_declaration(a.axiom) && !owl::is_ontology_level(a.axiom)) return a.axiom;
  ADD_FAILURE() << "no axiom in " << text;
  return {};
}

inline std::vector<owl::Axiom> axioms(const std::vector<std::string>& texts) {
  std::vector<owl::Axiom> out;
  for (const auto& t : texts) out.push_back(axiom(t));
  return out;
}

inline std::string iri(const std::string& local) { return "http://x/" + local; }

inline bool holds_all(const owl::AxiomSet& set, const std::vector<owl::Axiom>& wanted) {
  for (const auto& w : wanted)
    if (!set.contains(owl::AnnotatedAxiom{w, {}})) return false;
  return true;
}

// Entails exactly when the candidate holds every axiom of one of the sets
// (monotone, like real entailment); counts its calls and the oracle mode
// seen by each call.
class SetOracle : public EntailmentOracle {
 public:
  explicit SetOracle(std::vector<std::vector<owl::Axiom>> justifications) : sets_(std::move(justifications)) {}

  Result<bool> entails(const owl::AxiomSet& candidate, const JustifyQuery& query) override {
    ++calls;
    modes.push_back(saturation_oracle_mode());
    sizes.push_back(candidate.size());
    if (fail_at && calls == fail_at) return std::unexpected(ReasonerError(NoVerdict{}));
    if (check) {
      auto error = check(candidate, query);
      if (error) return std::unexpected(*error);
    }
    for (const auto& s : sets_)
      if (holds_all(candidate, s)) return true;
    return false;
  }
  bool saturation_finds_inconsistency(const owl::AxiomSet& candidate) override {
    ++saturation_calls;
    return saturation_inconsistent;
  }

  std::uint64_t calls = 0;
  std::uint64_t fail_at = 0;  // the call that answers NoVerdict (0: none)
  std::uint64_t saturation_calls = 0;
  bool saturation_inconsistent = false;
  std::vector<std::uint8_t> modes;
  std::vector<std::size_t> sizes;
  // An error the candidate provokes, checked before the entailment.
  std::function<std::optional<ReasonerError>(const owl::AxiomSet&, const JustifyQuery&)> check;

 private:
  std::vector<std::vector<owl::Axiom>> sets_;
};

}  // namespace kelmon::explain::testing
