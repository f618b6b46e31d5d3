#include "reasoner/properties/data_values.h"

#include <algorithm>
#include <set>
#include <utility>

#include "core/data/datatype_iri.h"
#include "reasoner/properties/consistency_gate.h"

namespace kelmon::reasoner {

namespace {

constexpr std::string_view kAnonPrefix = "urn:kelmon-anon:";

// The entry of a name; the name itself when it has none.
std::string_view parent_of(const SameIndividualParents& parents, std::string_view name) {
  auto it = parents.find(std::string(name));
  return it == parents.end() ? name : std::string_view(it->second);
}

// Every property reachable from `p` over (sub, sup) pairs, `p` included, in byte order.
std::set<std::string_view> super_properties(
    const tsl::robin_map<std::string_view, std::vector<std::string_view>>& sups, std::string_view p) {
  std::set<std::string_view> reached = {p};
  std::vector<std::string_view> stack = {p};
  while (!stack.empty()) {
    const std::string_view x = stack.back();
    stack.pop_back();
    auto it = sups.find(x);
    if (it == sups.end()) continue;
    for (std::string_view y : it->second) {
      if (reached.insert(y).second) stack.push_back(y);
    }
  }
  return reached;
}

}  // namespace

std::array<std::string, 3> render_literal(const owl::Literal& literal) {
  switch (literal.form) {
    case owl::LiteralForm::Plain: return {literal.lexical, std::string(datatype_iri::xsd_string), ""};
    case owl::LiteralForm::Typed: return {literal.lexical, std::string(literal.datatype.iri.str()), ""};
    case owl::LiteralForm::LanguageTagged:
      return {literal.lexical, std::string(datatype_iri::rdf_lang_string), std::string(literal.language.str())};
  }
  return {literal.lexical, std::string(datatype_iri::xsd_string), ""};
}

std::string canonical_name(SameIndividualParents& parents, std::string_view name) {
  std::string root(name);
  for (std::string_view next = parent_of(parents, root); next != root; next = parent_of(parents, root)) {
    root = std::string(next);
  }
  std::string current(name);
  while (current != root) {
    std::string next(parent_of(parents, current));
    parents[current] = root;
    current = std::move(next);
  }
  return root;
}

Result<std::vector<DataValueRecord>> inferred_data_property_assertions(const owl::LoadedOntology& loaded) {
  if (auto gate = consistency_gate(loaded); !gate) return std::unexpected(std::move(gate.error()));

  tsl::robin_map<std::string_view, std::vector<std::string_view>> sups;
  SameIndividualParents parents;
  std::set<std::string> individuals;
  std::vector<DataValueRecord> asserted;
  std::vector<std::string_view> named;
  for (const auto& annotated : loaded.axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* sub = std::get_if<owl::SubDataPropertyOf>(&axiom)) {
      sups[sub->sub.iri.str()].push_back(sub->sup.iri.str());
    } else if (const auto* eq = std::get_if<owl::EquivalentDataProperties>(&axiom)) {
      for (const auto& a : eq->members) {
        for (const auto& b : eq->members) {
          if (&a != &b) sups[a.iri.str()].push_back(b.iri.str());
        }
      }
    } else if (const auto* same = std::get_if<owl::SameIndividual>(&axiom)) {
      named.clear();
      for (const auto& member : same->members) {
        if (const auto* n = std::get_if<owl::NamedIndividual>(&member)) named.push_back(n->iri.str());
      }
      for (std::size_t i = 0; i + 1 < named.size(); ++i) {
        individuals.emplace(named[i]);
        individuals.emplace(named[i + 1]);
        const std::string r1 = canonical_name(parents, named[i]);
        const std::string r2 = canonical_name(parents, named[i + 1]);
        if (r1 != r2) parents[r1] = r2;
      }
    } else if (const auto* value = std::get_if<owl::DataPropertyAssertion>(&axiom)) {
      const auto* subject = std::get_if<owl::NamedIndividual>(&value->subject);
      if (subject == nullptr) continue;
      individuals.emplace(subject->iri.str());
      auto [lexical, datatype, lang] = render_literal(value->value);
      asserted.push_back({std::string(subject->iri.str()), std::string(value->property.iri.str()), std::move(lexical),
                          std::move(datatype), std::move(lang)});
    }
  }

  tsl::robin_map<std::string, std::vector<std::string>> members_of;
  for (const std::string& n : individuals) members_of[canonical_name(parents, n)].push_back(n);

  std::vector<DataValueRecord> records;
  for (const DataValueRecord& r : asserted) {
    auto it = members_of.find(canonical_name(parents, r[0]));
    const std::vector<std::string> alone = {r[0]};
    const std::vector<std::string>& members = it == members_of.end() ? alone : it->second;
    const std::set<std::string_view> properties = super_properties(sups, r[1]);
    for (const std::string& m : members) {
      for (std::string_view q : properties) records.push_back({m, std::string(q), r[2], r[3], r[4]});
    }
  }
  std::stable_sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  std::erase_if(records, [](const DataValueRecord& r) { return r[0].starts_with(kAnonPrefix); });
  return records;
}

}  // namespace kelmon::reasoner
