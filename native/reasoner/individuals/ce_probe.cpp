#include "reasoner/individuals/ce_probe.h"

#include <string>
#include <vector>

#include "common/overload.h"

namespace kelmon::reasoner {

namespace {

// Whether the expression names the class, looking through the boolean
// connectives and the fillers of object restrictions only.
bool expression_names(const owl::ClassExpression& expression, std::string_view iri) {
  std::vector<const owl::ClassExpression*> stack{&expression};
  while (!stack.empty()) {
    const owl::ClassExpression& e = *stack.back();
    stack.pop_back();
    bool found = false;
    std::visit(Overload{
                   [&](const owl::Class& c) { found = c.iri.str() == iri; },
                   [&](const owl::ObjectIntersectionOf& c) {
                     for (const auto& op : c.operands) stack.push_back(&op);
                   },
                   [&](const owl::ObjectUnionOf& c) {
                     for (const auto& op : c.operands) stack.push_back(&op);
                   },
                   [&](const owl::ObjectComplementOf& c) { stack.push_back(&c.operand); },
                   [&](const owl::ObjectSomeValuesFrom& c) { stack.push_back(&c.filler); },
                   [&](const owl::ObjectAllValuesFrom& c) { stack.push_back(&c.filler); },
                   [&](const owl::ObjectMinCardinality& c) { stack.push_back(&c.filler); },
                   [&](const owl::ObjectMaxCardinality& c) { stack.push_back(&c.filler); },
                   [&](const owl::ObjectExactCardinality& c) { stack.push_back(&c.filler); },
                   // One-of, has-value, has-self and data restrictions name no class.
                   [](const auto&) {},
               },
               e.data());
    if (found) return true;
  }
  return false;
}

bool any_names(const std::vector<owl::ClassExpression>& expressions, std::string_view iri) {
  for (const auto& e : expressions) {
    if (expression_names(e, iri)) return true;
  }
  return false;
}

bool axiom_names_class(const owl::Axiom& axiom, std::string_view iri) {
  return std::visit(Overload{
                        [&](const owl::DeclareClass& a) { return a.entity.iri.str() == iri; },
                        [&](const owl::DisjointUnion& a) { return a.cls.iri.str() == iri || any_names(a.members, iri); },
                        [&](const owl::SubClassOf& a) {
                          return expression_names(a.sub, iri) || expression_names(a.sup, iri);
                        },
                        [&](const owl::EquivalentClasses& a) { return any_names(a.members, iri); },
                        [&](const owl::DisjointClasses& a) { return any_names(a.members, iri); },
                        [&](const owl::ObjectPropertyDomain& a) { return expression_names(a.domain, iri); },
                        [&](const owl::ObjectPropertyRange& a) { return expression_names(a.range, iri); },
                        [&](const owl::DataPropertyDomain& a) { return expression_names(a.domain, iri); },
                        [&](const owl::HasKey& a) { return expression_names(a.class_expression, iri); },
                        [&](const owl::ClassAssertion& a) { return expression_names(a.class_expression, iri); },
                        [](const auto&) { return false; },
                    },
                    axiom);
}

}  // namespace

Result<void> check_probe_iri(const owl::LoadedOntology& loaded, std::string_view probe) {
  for (const owl::AnnotatedAxiom& a : loaded.axioms) {
    if (axiom_names_class(a.axiom, probe)) {
      return std::unexpected(UnknownClass{"probe IRI " + std::string(probe) + " collides with a declared class"});
    }
  }
  return {};
}

owl::Axiom probe_equivalence_axiom(std::string_view probe, const owl::ClassExpression& expression) {
  return owl::EquivalentClasses{{owl::Class{owl::Iri(probe)}, expression}};
}

Result<owl::AxiomSet> with_probes(const owl::LoadedOntology& loaded, std::initializer_list<ProbeBinding> probes) {
  for (const auto& [probe, ce] : probes) {
    if (auto checked = check_probe_iri(loaded, probe); !checked) return std::unexpected(std::move(checked.error()));
  }
  owl::AxiomSet axioms = loaded.axioms;
  for (const auto& [probe, ce] : probes) axioms.insert(probe_equivalence_axiom(probe, *ce));
  return axioms;
}

}  // namespace kelmon::reasoner
