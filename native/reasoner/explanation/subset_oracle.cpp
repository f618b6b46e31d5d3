#include "reasoner/explanation/subset_oracle.h"

#include <cstdio>
#include <optional>

#include "common/deadline.h"
#include "common/switches.h"
#include "core/convert/convert.h"
#include "reasoner/explanation/data_probe.h"
#include "reasoner/explanation/oracle_mode.h"

namespace kelmon::explain {

namespace {

owl::NamedIndividual individual(std::string_view iri) { return owl::NamedIndividual{owl::Iri(iri)}; }
owl::ObjectProperty object_property(std::string_view iri) { return owl::ObjectProperty{owl::Iri(iri)}; }
owl::DataProperty data_property(std::string_view iri) { return owl::DataProperty{owl::Iri(iri)}; }
owl::Class named_class(std::string_view iri) { return owl::Class{owl::Iri(iri)}; }

owl::Axiom property_assertion(std::string_view p, std::string_view a, std::string_view b) {
  return owl::ObjectPropertyAssertion{object_property(p), individual(a), individual(b)};
}
owl::Axiom negative_property_assertion(std::string_view p, std::string_view a, std::string_view b) {
  return owl::NegativeObjectPropertyAssertion{object_property(p), individual(a), individual(b)};
}

template <class T>
Result<bool> error_of(const Result<T>& r) {
  return std::unexpected(r.error());
}

// Conversion drops what it cannot represent; a dropped probe would leave the
// copy answering a question that was never put to it.
std::optional<ReasonerError> unrepresentable_probe(std::span<const owl::Axiom> probes) {
  owl::AxiomSet alone;
  for (const owl::Axiom& a : probes) alone.insert(a);
  const InternalOntology ir = convert_ontology(alone);
  if (ir.dropped.empty()) return std::nullopt;
  return ReasonerError(Unsupported(UnsupportedAxiom{ir.dropped.begin()->first}));
}

}  // namespace

Result<bool> SubsetOracle::probe_makes_inconsistent(const owl::AxiomSet& candidate,
                                                    std::span<const owl::Axiom> probes) {
  if (auto error = unrepresentable_probe(probes)) return std::unexpected(std::move(*error));
  owl::AxiomSet probed = candidate;
  for (const owl::Axiom& a : probes) probed.insert(a);
  auto answer = kernel_.check_consistency(convert_ontology(probed));
  if (!answer) return error_of(answer);
  return !answer->consistent;
}

Result<ConsistencyAnswer> SubsetOracle::subset_consistency_verdict(const owl::AxiomSet& candidate) {
  return kernel_.check_consistency(convert_ontology(candidate));
}

Result<bool> SubsetOracle::subset_is_consistent(const owl::AxiomSet& candidate) {
  auto answer = subset_consistency_verdict(candidate);
  if (!answer) return error_of(answer);
  return answer->consistent;
}

Result<bool> SubsetOracle::subset_entails_subclass(const owl::AxiomSet& candidate, std::string_view sub,
                                                   std::string_view sup) {
  return kernel_.entails_subclass(convert_ontology(candidate), sub, sup);
}

bool SubsetOracle::saturation_finds_inconsistency(const owl::AxiomSet& candidate) {
  return kernel_.abox_saturation_inconsistent(convert_ontology(candidate));
}

Result<bool> SubsetOracle::inconsistency_test(const owl::AxiomSet& candidate) {
  const bool saturation_only = saturation_oracle_mode() == 1;
  if (!switch_flag(SwitchId::JustifyTrace)) {
    if (saturation_only) return saturation_finds_inconsistency(candidate);
    auto consistent = subset_is_consistent(candidate);
    if (!consistent) return consistent;
    return !*consistent;
  }
  const std::uint64_t call = next_justify_trace_call();
  const Instant start = Clock::now();
  bool inconsistent = false;
  const char* engine = "saturation-only";
  if (saturation_only) {
    inconsistent = saturation_finds_inconsistency(candidate);
  } else {
    auto verdict = subset_consistency_verdict(candidate);
    if (!verdict) return error_of(verdict);
    inconsistent = !verdict->consistent;
    engine = verdict->answered_by_saturation ? "saturation" : "wedge/tableau";
  }
  std::fprintf(stderr, "[justify-trace] call#%llu verdict=%s %llums engine=%s axioms=%zu\n",
               static_cast<unsigned long long>(call), inconsistent ? "INCONSISTENT" : "consistent",
               static_cast<unsigned long long>(elapsed_ms(start)), engine, candidate.size());
  return inconsistent;
}

Result<bool> SubsetOracle::entails_subproperty(const owl::AxiomSet& candidate, std::string_view p,
                                               std::string_view q) {
  const owl::Axiom probes[] = {property_assertion(p, kProbeSubject, kProbeObject),
                               negative_property_assertion(q, kProbeSubject, kProbeObject)};
  return probe_makes_inconsistent(candidate, probes);
}

Result<bool> SubsetOracle::entails_property_value(const owl::AxiomSet& candidate, const JustifyQuery& query) {
  const std::string& a = query.name(0);
  const std::string& p = query.name(1);
  const std::string& b = query.name(2);
  auto triples = kernel_.inferred_object_property_assertions(candidate);
  if (!triples) {
    // Every assertion follows from an inconsistent ontology.
    if (std::holds_alternative<Inconsistent>(triples.error())) return true;
    return error_of(triples);
  }
  for (const PropertyTriple& t : *triples)
    if (t[0] == a && t[1] == p && t[2] == b) return true;
  const owl::Axiom probe[] = {negative_property_assertion(p, a, b)};
  return probe_makes_inconsistent(candidate, probe);
}

// A data sub-property (or disjointness) holds when it holds for every value.
// One consistent probe shows that it does not; all of them inconsistent show
// that it does only when the probes stand for every value, and otherwise the
// question is refused rather than guessed.
Result<bool> SubsetOracle::entails_for_every_data_probe(const owl::AxiomSet& candidate, std::string_view dp,
                                                        std::string_view dq, bool disjoint) {
  const DataProbes probes = data_probe_literals(candidate);
  for (const owl::Literal& v : probes.values) {
    const owl::Axiom first = owl::DataPropertyAssertion{data_property(dp), individual(kProbeSubject), v};
    const owl::Axiom second =
        disjoint ? owl::Axiom(owl::DataPropertyAssertion{data_property(dq), individual(kProbeSubject), v})
                 : owl::Axiom(owl::NegativeDataPropertyAssertion{data_property(dq), individual(kProbeSubject), v});
    const owl::Axiom pair[] = {first, second};
    auto inconsistent = probe_makes_inconsistent(candidate, pair);
    if (!inconsistent || !*inconsistent) return inconsistent;
  }
  if (!probes.covers_every_value) return std::unexpected(ReasonerError(Unsupported(UnsupportedDataRange{})));
  return true;
}

Result<bool> SubsetOracle::entails(const owl::AxiomSet& candidate, const JustifyQuery& query) {
  auto both = [&](auto&& forward, auto&& backward) -> Result<bool> {
    auto first = forward();
    if (!first || !*first) return first;
    return backward();
  };
  switch (query.kind) {
    case QueryKind::Subclass:
      return subset_entails_subclass(candidate, query.name(0), query.name(1));
    case QueryKind::Equivalent:
      return both([&] { return subset_entails_subclass(candidate, query.name(0), query.name(1)); },
                  [&] { return subset_entails_subclass(candidate, query.name(1), query.name(0)); });
    case QueryKind::Disjoint: {
      owl::AxiomSet probed = candidate;
      probed.insert(owl::EquivalentClasses{
          {named_class(kProbeClass), owl::ObjectIntersectionOf{{named_class(query.name(0)), named_class(query.name(1))}}}});
      auto satisfiable = kernel_.is_satisfiable(convert_ontology(probed), kProbeClass);
      if (!satisfiable) return satisfiable;
      return !*satisfiable;
    }
    case QueryKind::Unsat: {
      auto satisfiable = kernel_.is_satisfiable(convert_ontology(candidate), query.name(0));
      if (!satisfiable) return satisfiable;
      return !*satisfiable;
    }
    case QueryKind::Instance:
      return kernel_.is_instance_of(convert_ontology(candidate), query.name(1), query.name(0));
    case QueryKind::Inconsistent:
      return inconsistency_test(candidate);
    case QueryKind::SubProperty:
      return entails_subproperty(candidate, query.name(0), query.name(1));
    case QueryKind::EquivProperty:
      return both([&] { return entails_subproperty(candidate, query.name(0), query.name(1)); },
                  [&] { return entails_subproperty(candidate, query.name(1), query.name(0)); });
    case QueryKind::DisjointProperty: {
      const owl::Axiom probes[] = {property_assertion(query.name(0), kProbeSubject, kProbeObject),
                                   property_assertion(query.name(1), kProbeSubject, kProbeObject)};
      return probe_makes_inconsistent(candidate, probes);
    }
    case QueryKind::Property:
      return entails_property_value(candidate, query);
    case QueryKind::Same: {
      const owl::Axiom probe[] = {owl::DifferentIndividuals{{individual(query.name(0)), individual(query.name(1))}}};
      return probe_makes_inconsistent(candidate, probe);
    }
    case QueryKind::Different: {
      const owl::Axiom probe[] = {owl::SameIndividual{{individual(query.name(0)), individual(query.name(1))}}};
      return probe_makes_inconsistent(candidate, probe);
    }
    case QueryKind::SubDataProperty:
      return entails_for_every_data_probe(candidate, query.name(0), query.name(1), false);
    case QueryKind::EquivDataProperty:
      return both([&] { return entails_for_every_data_probe(candidate, query.name(0), query.name(1), false); },
                  [&] { return entails_for_every_data_probe(candidate, query.name(1), query.name(0), false); });
    case QueryKind::DisjointDataProperty:
      return entails_for_every_data_probe(candidate, query.name(0), query.name(1), true);
    case QueryKind::DataValue: {
      const owl::Literal value = owl::Literal::typed(query.name(2), owl::Datatype{owl::Iri(query.name(3))});
      const owl::Axiom probe[] = {
          owl::NegativeDataPropertyAssertion{data_property(query.name(1)), individual(query.name(0)), value}};
      return probe_makes_inconsistent(candidate, probe);
    }
  }
  return std::unexpected(ReasonerError(NoVerdict{}));
}

}  // namespace kelmon::explain
