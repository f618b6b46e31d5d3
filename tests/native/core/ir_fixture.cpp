#include "ir_fixture.h"

#include <algorithm>

#include "common/overload.h"

namespace kelmon::testing {

namespace {

std::string role_text(const InternalOntology& ir, Role r) {
  std::string name(ir.vocabulary.roles.name(r.id));
  return r.is_named() ? name : "inv(" + name + ")";
}

std::string list_text(const InternalOntology& ir, const std::vector<ConceptId>& list) {
  std::string out;
  for (ConceptId m : list) out += (out.empty() ? "" : " ") + render(ir, m);
  return out;
}

// Members of And/Or are rendered sorted so that the text does not depend on ids.
std::string set_text(const InternalOntology& ir, const std::vector<ConceptId>& list) {
  std::vector<std::string> parts;
  for (ConceptId m : list) parts.push_back(render(ir, m));
  std::sort(parts.begin(), parts.end());
  std::string out;
  for (auto& p : parts) out += (out.empty() ? "" : " ") + p;
  return out;
}

}  // namespace

std::string render(const InternalOntology& ir, ConceptId id) {
  const Concept& c = ir.concepts.get(id);
  return std::visit(
      Overload{
          [&](const Top&) -> std::string { return "Top"; },
          [&](const Bottom&) -> std::string { return "Bottom"; },
          [&](const Atomic& a) { return std::string(ir.vocabulary.classes.name(a.cls)); },
          [&](const Nominal& a) { return "{" + std::string(ir.vocabulary.individuals.name(a.individual)) + "}"; },
          [&](const Self& a) { return "Self(" + role_text(ir, a.role) + ")"; },
          [&](const Not& a) { return "Not(" + render(ir, a.operand) + ")"; },
          [&](const And& a) { return "And(" + set_text(ir, a.members) + ")"; },
          [&](const Or& a) { return "Or(" + set_text(ir, a.members) + ")"; },
          [&](const Some& a) { return "Some(" + role_text(ir, a.role) + " " + render(ir, a.filler) + ")"; },
          [&](const All& a) { return "All(" + role_text(ir, a.role) + " " + render(ir, a.filler) + ")"; },
          [&](const Min& a) {
            return "Min(" + std::to_string(a.n) + " " + role_text(ir, a.role) + " " + render(ir, a.filler) + ")";
          },
          [&](const Max& a) {
            return "Max(" + std::to_string(a.n) + " " + role_text(ir, a.role) + " " + render(ir, a.filler) + ")";
          },
      },
      c);
}

std::string render(const InternalOntology& ir, const Axiom& axiom) {
  auto ind = [&](IndividualId i) { return std::string(ir.vocabulary.individuals.name(i)); };
  std::string kind(axiom_kind_name(axiom_kind(axiom)));
  return kind + "(" +
         std::visit(
             Overload{
                 [&](const SubClassOf& a) { return render(ir, a.sub) + " " + render(ir, a.sup); },
                 [&](const EquivalentClasses& a) { return list_text(ir, a.members); },
                 [&](const DisjointClasses& a) { return list_text(ir, a.members); },
                 [&](const DisjointUnion& a) {
                   return std::string(ir.vocabulary.classes.name(a.cls)) + " " + list_text(ir, a.parts);
                 },
                 [&](const SubObjectPropertyOf& a) {
                   std::string sub;
                   if (const Single* s = std::get_if<Single>(&a.sub)) sub = role_text(ir, s->role);
                   else
                     for (Role r : std::get<Chain>(a.sub).roles) sub += role_text(ir, r) + ".";
                   return sub + " " + role_text(ir, a.sup);
                 },
                 [&](const InverseObjectProperties& a) { return role_text(ir, a.first) + " " + role_text(ir, a.second); },
                 [&](const ObjectPropertyDomain& a) { return role_text(ir, a.role) + " " + render(ir, a.domain); },
                 [&](const ObjectPropertyRange& a) { return role_text(ir, a.role) + " " + render(ir, a.range); },
                 [&](const FunctionalRole& a) { return role_text(ir, a.role); },
                 [&](const InverseFunctionalRole& a) { return role_text(ir, a.role); },
                 [&](const ClassAssertion& a) { return render(ir, a.concept_id) + " " + ind(a.individual); },
                 [&](const ObjectPropertyAssertion& a) {
                   return role_text(ir, a.role) + " " + ind(a.subject) + " " + ind(a.object);
                 },
                 [&](const auto&) { return std::string("..."); },
             },
             axiom) +
         ")";
}

std::vector<std::string> rendered_axioms(const InternalOntology& ir) {
  std::vector<std::string> out;
  for (const Axiom& a : ir.axioms) out.push_back(render(ir, a));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace kelmon::testing
