#include "tableau/completion/logic_profile.h"

#include <tsl/robin_set.h>

#include "common/overload.h"

namespace kelmon::completion {
namespace {

constexpr std::uint32_t kInverse = 1u;
constexpr std::uint32_t kNominal = 1u << 8;
constexpr std::uint32_t kNumber = 1u << 16;

std::uint8_t code_of(std::uint32_t flags) {
  if (flags & kInverse) return 0;
  if (flags & kNominal) return 1;
  if (flags & kNumber) return 2;
  return 5;
}

// Depth-first over the concept_id and its parts, each id once; `visit` returns
// true to stop the walk.
template <class Visit>
bool walk(const ConceptPool& pool, ConceptId root, Visit visit) {
  std::vector<ConceptId> stack{root};
  tsl::robin_set<ConceptId> seen;
  while (!stack.empty()) {
    const ConceptId id = stack.back();
    stack.pop_back();
    if (!seen.insert(id).second) continue;
    const Concept& c = pool.get(id);
    if (visit(id, c)) return true;
    std::visit(Overload{
                   [&](const Not& n) { stack.push_back(n.operand); },
                   [&](const And& a) { stack.insert(stack.end(), a.members.begin(), a.members.end()); },
                   [&](const Or& o) { stack.insert(stack.end(), o.members.begin(), o.members.end()); },
                   [&](const Some& s) { stack.push_back(s.filler); },
                   [&](const All& a) { stack.push_back(a.filler); },
                   [&](const Min& m) { stack.push_back(m.filler); },
                   [&](const Max& m) { stack.push_back(m.filler); },
                   [](const auto&) {},
               },
               c);
  }
  return false;
}

std::uint32_t flags_of(const Concept& c) {
  return std::visit(Overload{
                        [](const Nominal&) { return kNominal; },
                        [](const Self& s) { return s.role.inverse ? kInverse : 0u; },
                        [](const Some& s) { return s.role.inverse ? kInverse : 0u; },
                        [](const All& a) { return a.role.inverse ? kInverse : 0u; },
                        [](const Min& m) { return kNumber | (m.role.inverse ? kInverse : 0u); },
                        [](const Max& m) { return kNumber | (m.role.inverse ? kInverse : 0u); },
                        [](const auto&) { return 0u; },
                    },
                    c);
}

}  // namespace

std::vector<ConceptId> axiom_concepts(const Axiom& axiom) {
  return std::visit(Overload{
                        [](const SubClassOf& a) { return std::vector<ConceptId>{a.sub, a.sup}; },
                        [](const EquivalentClasses& a) { return a.members; },
                        [](const DisjointClasses& a) { return a.members; },
                        [](const DisjointUnion& a) { return a.parts; },
                        [](const ObjectPropertyDomain& a) { return std::vector<ConceptId>{a.domain}; },
                        [](const ObjectPropertyRange& a) { return std::vector<ConceptId>{a.range}; },
                        [](const ClassAssertion& a) { return std::vector<ConceptId>{a.concept_id}; },
                        [](const auto&) { return std::vector<ConceptId>{}; },
                    },
                    axiom);
}

std::uint32_t concept_profile_flags(ConceptId concept_id, const InternalOntology& ontology) {
  std::uint32_t flags = 0;
  walk(ontology.concepts, concept_id, [&](ConceptId, const Concept& c) {
    flags |= flags_of(c);
    return false;
  });
  return flags;
}

std::uint8_t logic_profile(const InternalOntology& ontology) {
  if (ontology.axioms.empty()) return 5;
  std::uint32_t flags = 0;
  for (const Axiom& axiom : ontology.axioms) {
    if (std::holds_alternative<InverseObjectProperties>(axiom)) flags |= kInverse;
    for (ConceptId c : axiom_concepts(axiom)) flags |= concept_profile_flags(c, ontology);
  }
  return code_of(flags);
}

std::uint8_t logic_profile_of_class(ClassId cls, const InternalOntology& ontology) {
  if (ontology.axioms.empty()) return 5;
  std::uint32_t flags = 0;
  for (const Axiom& axiom : ontology.axioms) {
    const std::vector<ConceptId> concepts = axiom_concepts(axiom);
    bool mentions = false;
    for (ConceptId c : concepts) {
      mentions = walk(ontology.concepts, c, [&](ConceptId, const Concept& x) {
        const Atomic* a = std::get_if<Atomic>(&x);
        return a && a->cls == cls;
      });
      if (mentions) break;
    }
    if (!mentions) continue;
    for (ConceptId c : concepts) flags |= concept_profile_flags(c, ontology);
  }
  return code_of(flags);
}

}  // namespace kelmon::completion
