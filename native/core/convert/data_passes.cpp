#include "core/convert/data_passes.h"

#include <algorithm>

#include "common/overload.h"

#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/told_data_pass.h"
#include "core/dkeys/dkey_pass.h"

namespace kelmon {

namespace {

// X ⊑ P1 ⊔ … ⊔ Pn for each class X that is given a p-value while p's domain is
// that union of named classes (X not itself one of the Pi).
void cover_domain_unions(const owl::AxiomSet& axioms, InternalOntology& onto) {
  DataAxiomIndex index = build_data_axiom_index(axioms);
  auto& classes = onto.vocabulary.classes;
  for (const auto& [property, operands] : index.domain_unions) {
    bool all_known = true;
    for (const auto& p : operands) all_known = all_known && classes.get(p).has_value();
    if (!all_known) continue;
    std::vector<std::string> covered;
    for (const auto& [cls, prop] : index.required_value_pairs) {
      if (prop != property) continue;
      if (std::find(operands.begin(), operands.end(), cls) != operands.end()) continue;
      if (!classes.get(cls)) continue;
      covered.push_back(cls);
    }
    for (const auto& cls : covered) {
      ConceptId x = onto.concepts.intern(Atomic{classes.get(cls)->id});
      std::vector<ConceptId> members;
      for (const auto& p : operands) members.push_back(onto.concepts.intern(Atomic{classes.get(p)->id}));
      ConceptId united = onto.concepts.mk_or(std::move(members));
      if (united != x) onto.axioms.push_back(SubClassOf{x, united});
    }
  }
}

bool is_data_restriction(owl::ClassExpressionKind k) {
  return k >= owl::ClassExpressionKind::DataSomeValuesFrom;
}

// Whether any class expression on `stack` restricts a data property (explicit
// stack: input depth). The stack is left empty for reuse.
bool mentions_data_restriction(std::vector<const owl::ClassExpression*>& stack) {
  while (!stack.empty()) {
    const owl::ClassExpression* e = stack.back();
    stack.pop_back();
    if (is_data_restriction(owl::kind_of(*e))) {
      stack.clear();
      return true;
    }
    std::visit(Overload{
                   [&](const owl::ObjectIntersectionOf& x) { for (const auto& o : x.operands) stack.push_back(&o); },
                   [&](const owl::ObjectUnionOf& x) { for (const auto& o : x.operands) stack.push_back(&o); },
                   [&](const owl::ObjectComplementOf& x) { stack.push_back(&x.operand); },
                   [&](const owl::ObjectSomeValuesFrom& x) { stack.push_back(&x.filler); },
                   [&](const owl::ObjectAllValuesFrom& x) { stack.push_back(&x.filler); },
                   [&](const owl::ObjectMinCardinality& x) { stack.push_back(&x.filler); },
                   [&](const owl::ObjectMaxCardinality& x) { stack.push_back(&x.filler); },
                   [&](const owl::ObjectExactCardinality& x) { stack.push_back(&x.filler); },
                   [](const auto&) {},
               },
               e->data());
  }
  return false;
}

}  // namespace

bool axiom_has_data_content(const owl::Axiom& axiom) {
  // The common axioms first: declarations, and subclass axioms between names.
  if (owl::is_declaration(axiom)) return false;
  if (const auto* x = std::get_if<owl::SubClassOf>(&axiom);
      x && owl::kind_of(x->sub) == owl::ClassExpressionKind::Class &&
      owl::kind_of(x->sup) == owl::ClassExpressionKind::Class)
    return false;
  thread_local std::vector<const owl::ClassExpression*> roots;
  roots.clear();
  {
    bool data = std::visit(
        Overload{
            [&](const owl::SubClassOf& x) { roots.push_back(&x.sub); roots.push_back(&x.sup); return false; },
            [&](const owl::EquivalentClasses& x) { for (const auto& m : x.members) roots.push_back(&m); return false; },
            [&](const owl::DisjointClasses& x) { for (const auto& m : x.members) roots.push_back(&m); return false; },
            [&](const owl::DisjointUnion& x) { for (const auto& m : x.members) roots.push_back(&m); return false; },
            [&](const owl::ObjectPropertyDomain& x) { roots.push_back(&x.domain); return false; },
            [&](const owl::ObjectPropertyRange& x) { roots.push_back(&x.range); return false; },
            [&](const owl::ClassAssertion& x) { roots.push_back(&x.class_expression); return false; },
            [](const owl::SubDataPropertyOf&) { return true; },
            [](const owl::EquivalentDataProperties&) { return true; },
            [](const owl::DisjointDataProperties&) { return true; },
            [](const owl::DataPropertyDomain&) { return true; },
            [](const owl::DataPropertyRange&) { return true; },
            [](const owl::FunctionalDataProperty&) { return true; },
            [](const owl::DatatypeDefinition&) { return true; },
            [](const owl::HasKey&) { return true; },
            [](const owl::DataPropertyAssertion&) { return true; },
            [](const owl::NegativeDataPropertyAssertion&) { return true; },
            [](const owl::Rule&) { return true; },
            [](const auto&) { return false; },
        },
        axiom);
    if (data) return true;
  }
  return mentions_data_restriction(roots);
}

// Told data axioms come before the key pass, the covering of domain unions after it.
void run_data_passes(const owl::AxiomSet& axioms, InternalOntology& onto, bool data) {
  ConceptId bottom = onto.concepts.intern(Bottom{});
  ConceptId top = onto.concepts.intern(Top{});
  if (data) {
    for (Axiom& a : derive_told_data_axioms(axioms, onto, top, bottom)) onto.axioms.push_back(std::move(a));
  }
  emit_dkey_axioms(onto);
  if (data) cover_domain_unions(axioms, onto);
}

}  // namespace kelmon
