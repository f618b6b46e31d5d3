#include "reasoner/properties/property_values.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/invariant.h"
#include "core/convert/convert.h"
#include "owl/vocabulary.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "reasoner/properties/simple_tbox.h"

namespace kelmon::reasoner {

namespace {

constexpr std::string_view kAnonPrefix = "urn:kelmon-anon:";
// Conversion's names for the links of chains longer than two: never entailed
// facts of the ontology itself.
constexpr std::string_view kAuxRolePrefix = "urn:kelmon-aux-role:";
constexpr auto kPairTestTimeout = std::chrono::seconds(1);

struct TripleHash {
  std::size_t operator()(const PropertyTriple& t) const noexcept {
    std::size_t h = 0;
    for (const std::string& s : t) h = h * 1000003u ^ std::hash<std::string>{}(s);
    return h;
  }
};

bool reported_property(std::string_view iri) {
  return iri != owl::vocab::kOwlTopObjectProperty && iri != owl::vocab::kOwlBottomObjectProperty &&
         !iri.starts_with(kAuxRolePrefix);
}

void sort_unique(std::vector<PropertyTriple>& triples) {
  std::stable_sort(triples.begin(), triples.end());
  triples.erase(std::unique(triples.begin(), triples.end()), triples.end());
}

std::optional<IdTriple> id_triple(const Vocabulary& vocabulary, const PropertyTriple& t) {
  auto subject = vocabulary.individuals.get(t[0]);
  auto role = vocabulary.roles.get(t[1]);
  auto object = vocabulary.individuals.get(t[2]);
  if (!subject || !role || !object) return std::nullopt;
  return IdTriple{subject->id, role->id, object->id};
}

}  // namespace

Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet& axioms) {
  const InternalOntology ir = convert_ontology(axioms);
  const AboxSaturation saturation = saturate_abox(ir, std::nullopt);
  if (saturation.inconsistent) return std::unexpected(Inconsistent{});
  std::vector<PropertyTriple> triples;
  triples.reserve(saturation.edges.size());
  const Vocabulary& names = ir.vocabulary;
  for (const AboxEdge& edge : saturation.edges) {
    const std::string_view property = names.roles.name(edge.role);
    const std::string_view subject = names.individuals.name(edge.subject);
    const std::string_view object = names.individuals.name(edge.object);
    if (!reported_property(property) || subject.starts_with(kAnonPrefix) || object.starts_with(kAnonPrefix)) continue;
    triples.push_back({std::string(subject), std::string(property), std::string(object)});
  }
  sort_unique(triples);
  return triples;
}

Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::LoadedOntology& loaded) {
  return inferred_object_property_assertions(loaded.axioms);
}

std::vector<RoleId> declared_object_properties(const InternalOntology& ir) {
  std::vector<RoleId> roles;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* declared = std::get_if<DeclareObjectProperty>(&axiom)) roles.push_back(declared->role);
  }
  std::sort(roles.begin(), roles.end());
  roles.erase(std::unique(roles.begin(), roles.end()), roles.end());
  return roles;
}

std::vector<std::pair<IndividualId, IndividualId>> connected_individual_pairs(const std::vector<IdTriple>& triples) {
  auto key = [](IndividualId a, IndividualId b) {
    const auto [low, high] = std::minmax(a.v, b.v);
    return (std::uint64_t{low} << 32) | high;
  };
  tsl::robin_set<std::uint64_t> seen;
  std::vector<std::pair<IndividualId, IndividualId>> pairs;
  for (const IdTriple& t : triples) {
    if (!seen.insert(key(t.subject, t.object)).second) continue;
    pairs.emplace_back(t.subject, t.object);
    if (t.subject != t.object) pairs.emplace_back(t.object, t.subject);
  }
  return pairs;
}

Result<PropertyValues> object_property_values(const owl::LoadedOntology& loaded) {
  auto saturated = inferred_object_property_assertions(loaded);
  if (!saturated) return std::unexpected(std::move(saturated.error()));
  PropertyValues out{std::move(*saturated), false};
  const tsl::robin_set<PropertyTriple, TripleHash> known(out.triples.begin(), out.triples.end());

  InternalOntology ir = convert_ontology(loaded.axioms);
  const std::vector<RoleId> declared = declared_object_properties(ir);
  out.incomplete = !simple_tbox(ir);
  auto prepared_or = prepare_without_deadline(std::move(ir), std::nullopt);
  if (!prepared_or) return std::unexpected(std::move(prepared_or.error()));
  const PreparedReasoner& prepared = **prepared_or;
  const Vocabulary& names = prepared.vocabulary;

  std::vector<IdTriple> ids;
  ids.reserve(out.triples.size());
  for (const PropertyTriple& t : out.triples) {
    if (auto id = id_triple(names, t)) ids.push_back(*id);
  }
  for (const auto& [a, b] : connected_individual_pairs(ids)) {
    for (RoleId p : declared) {
      PropertyTriple candidate = {std::string(names.individuals.name(a)), std::string(names.roles.name(p)),
                                  std::string(names.individuals.name(b))};
      if (known.contains(candidate)) continue;
      const NegativeRoleAssertion negative[] = {{a, p, b}};
      TestAnswer answer =
          prepared.tableau_test({}, negative, deadline_after(Clock::now(), Timeout(kPairTestTimeout)));
      if (!answer) return std::unexpected(std::move(answer.error()));
      // No model with ¬p(a, b): p(a, b) is entailed.
      if (*answer == std::optional<bool>(false)) out.triples.push_back(std::move(candidate));
      out.incomplete = true;
    }
  }
  sort_unique(out.triples);
  return out;
}

}  // namespace kelmon::reasoner
