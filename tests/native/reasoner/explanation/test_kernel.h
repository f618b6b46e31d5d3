// A kernel for the explanation tests: EL saturation answers every test, which
// is exact on the EL fixtures used here; hooks replace single answers, and
// every call is recorded with the ontology it was given.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reasoner/classify/taxonomy.h"
#include "reasoner/explanation/kernel_seam.h"
#include "saturation/saturation.h"

namespace kelmon::explain::testing {

inline constexpr std::string_view kThing = "http://www.w3.org/2002/07/owl#Thing";

class TestKernel : public KernelTests {
 public:
  struct Call {
    std::string test;
    std::vector<std::string> args;
    InternalOntology ir;
  };

  Result<bool> entails_subclass(InternalOntology ir, std::string_view sub, std::string_view sup) override {
    record("entails_subclass", {std::string(sub), std::string(sup)}, ir);
    if (sup == kThing) return true;
    auto a = ir.vocabulary.classes.get(sub);
    if (!a) return std::unexpected(ReasonerError(UnknownClass{std::string(sub)}));
    auto b = ir.vocabulary.classes.get(sup);
    if (!b) return std::unexpected(ReasonerError(UnknownClass{std::string(sup)}));
    const auto r = sat::el_saturate_from_env(ir);
    return r.unsat.test(a->id.v) || r.subsumers.contains(a->id.v, b->id.v);
  }

  Result<bool> is_satisfiable(InternalOntology ir, std::string_view c) override {
    record("is_satisfiable", {std::string(c)}, ir);
    auto a = ir.vocabulary.classes.get(c);
    if (!a) return std::unexpected(ReasonerError(UnknownClass{std::string(c)}));
    return !sat::el_saturate_from_env(ir).unsat.test(a->id.v);
  }

  Result<ConsistencyAnswer> check_consistency(InternalOntology ir) override {
    record("check_consistency", {}, ir);
    if (consistency) return consistency(ir);
    return ConsistencyAnswer{!saturation_inconsistent(ir), true};
  }

  Result<bool> is_instance_of(InternalOntology ir, std::string_view c, std::string_view i) override {
    record("is_instance_of", {std::string(c), std::string(i)}, ir);
    auto a = ir.vocabulary.classes.get(c);
    if (!a) return std::unexpected(ReasonerError(UnknownClass{std::string(c)}));
    auto x = ir.vocabulary.individuals.get(i);
    if (!x) return std::unexpected(ReasonerError(UnknownIndividual{std::string(i)}));
    const auto r = sat::el_saturate_abox(ir);
    const std::uint32_t id = r.individual_ids.at(x->id.v);
    return r.result.unsat.test(id) || r.result.subsumers.contains(id, a->id.v);
  }

  Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet& candidate) override {
    record("inferred_object_property_assertions", {}, InternalOntology{});
    if (triples) return triples(candidate);
    return std::vector<PropertyTriple>{};
  }

  bool abox_saturation_inconsistent(const InternalOntology& ir) override {
    record("abox_saturation_inconsistent", {}, ir);
    return saturation_inconsistent(ir);
  }

  bool abox_saturation_clash(const InternalOntology& ir) override {
    record("abox_saturation_clash", {}, ir);
    return clash;
  }

  Result<reasoner::Classification> classify_unbounded(InternalOntology ir) override {
    record("classify_unbounded", {}, ir);
    return reasoner::classify_saturation_only(ir);
  }

  std::size_t count(std::string_view test) const {
    std::size_t n = 0;
    for (const auto& c : calls) n += c.test == test;
    return n;
  }

  std::vector<Call> calls;
  bool clash = false;
  std::function<Result<ConsistencyAnswer>(const InternalOntology&)> consistency;
  std::function<Result<std::vector<PropertyTriple>>(const owl::AxiomSet&)> triples;

 private:
  void record(std::string test, std::vector<std::string> args, const InternalOntology& ir) {
    calls.push_back(Call{std::move(test), std::move(args), ir});
  }

  static bool saturation_inconsistent(const InternalOntology& ir) {
    const auto r = sat::el_saturate_abox(ir);
    if (r.result.inconsistent || r.result.top_is_bottom) return true;
    for (const auto& [individual, id] : r.individual_ids)
      if (r.result.unsat.test(id)) return true;
    return false;
  }
};

}  // namespace kelmon::explain::testing
