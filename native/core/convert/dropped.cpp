#include "core/convert/dropped.h"

#include "common/overload.h"

namespace kelmon {

void count_dropped_axiom(std::map<std::string, std::uint64_t>& dropped, std::string_view text) {
  auto it = dropped.find(std::string(text));
  if (it == dropped.end()) {
    dropped.emplace(std::string(text), 1);
  } else {
    ++it->second;
  }
}

std::string_view dropped_kind_name(owl::AxiomKind kind) {
  using K = owl::AxiomKind;
  switch (kind) {
    case K::SubClassOf: return "SubClassOf";
    case K::EquivalentClasses: return "EquivalentClasses";
    case K::DisjointClasses: return "DisjointClasses";
    case K::DisjointUnion: return "DisjointUnion";
    case K::SubObjectPropertyOf: return "SubObjectPropertyOf";
    case K::EquivalentObjectProperties: return "EquivalentObjectProperties";
    case K::DisjointObjectProperties: return "DisjointObjectProperties";
    case K::ObjectPropertyDomain: return "ObjectPropertyDomain";
    case K::ObjectPropertyRange: return "ObjectPropertyRange";
    case K::SubDataPropertyOf: return "SubDataPropertyOf";
    case K::EquivalentDataProperties: return "EquivalentDataProperties";
    case K::DisjointDataProperties: return "DisjointDataProperties";
    case K::DataPropertyDomain: return "DataPropertyDomain";
    case K::DataPropertyRange: return "DataPropertyRange";
    case K::FunctionalDataProperty: return "FunctionalDataProperty";
    case K::DatatypeDefinition: return "DatatypeDefinition";
    case K::HasKey: return "HasKey";
    case K::ClassAssertion: return "ClassAssertion";
    case K::ObjectPropertyAssertion: return "ObjectPropertyAssertion";
    case K::NegativeObjectPropertyAssertion: return "NegativeObjectPropertyAssertion";
    case K::DataPropertyAssertion: return "DataPropertyAssertion";
    case K::NegativeDataPropertyAssertion: return "NegativeDataPropertyAssertion";
    default: return "Other";
  }
}

std::string dropped_text(std::string_view kind_name, const Unsupported& reason) {
  std::string kind(kind_name);
  return std::visit(Overload{
                        [&](const UnsupportedConcept& e) { return kind + ": unsupported concept (" + e.detail + ")"; },
                        [&](const UnsupportedAxiom& e) { return kind + ": unsupported axiom (" + e.detail + ")"; },
                        [&](const AnonymousIndividual&) { return kind + ": anonymous individual"; },
                        [&](const UnsupportedDataRange&) { return kind + ": unsupported data range"; },
                    },
                    reason);
}

}  // namespace kelmon
