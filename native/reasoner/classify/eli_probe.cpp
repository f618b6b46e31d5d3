#include "reasoner/classify/eli_probe.h"

#include <string_view>
#include <vector>

#include "common/overload.h"

namespace kelmon::reasoner {

namespace {


constexpr std::string_view kDkeyPrefix = "urn:kelmon-dkey:";

bool is_dkey(const InternalOntology& ir, ClassId c) {
  return ir.vocabulary.classes.name(c).starts_with(kDkeyPrefix);
}

// The concepts of the concept-bearing kinds, in the order the report asks them.
std::optional<std::vector<ConceptId>> axiom_concepts(const Axiom& axiom) {
  return std::visit(Overload{
                        [](const SubClassOf& x) { return std::optional(std::vector<ConceptId>{x.sub, x.sup}); },
                        [](const EquivalentClasses& x) { return std::optional(x.members); },
                        [](const DisjointClasses& x) { return std::optional(x.members); },
                        [](const ObjectPropertyDomain& x) { return std::optional(std::vector<ConceptId>{x.domain}); },
                        [](const ObjectPropertyRange& x) { return std::optional(std::vector<ConceptId>{x.range}); },
                        [](const auto&) { return std::optional<std::vector<ConceptId>>(); },
                    },
                    axiom);
}

std::optional<std::string_view> first_non_eli_constructor(const InternalOntology& ir, ConceptId start) {
  ConceptId c = start;
  for (;;) {
    const Concept& concept_value = ir.concepts.get(c);
    switch (static_cast<ConceptKind>(concept_value.index())) {
      case ConceptKind::Atomic:
        if (is_dkey(ir, std::get<Atomic>(concept_value).cls)) return "DKey";
        return std::nullopt;
      case ConceptKind::Top:
      case ConceptKind::Bottom:
        return std::nullopt;
      case ConceptKind::Nominal: return "Nominal";
      case ConceptKind::Self: return "Self";
      case ConceptKind::Not: return "Not";
      case ConceptKind::Or: return "Or";
      case ConceptKind::All: return "All";
      case ConceptKind::Min: return "Min";
      case ConceptKind::Max: return "Max";
      case ConceptKind::Some:
        c = std::get<Some>(concept_value).filler;
        continue;
      case ConceptKind::And:
        for (ConceptId m : std::get<And>(concept_value).members)
          if (auto name = first_non_eli_constructor(ir, m)) return name;
        return std::nullopt;
    }
    return std::nullopt;
  }
}

void non_eli_constructors(const InternalOntology& ir, ConceptId start, std::set<std::string>& out) {
  std::vector<ConceptId> stack{start};
  while (!stack.empty()) {
    const Concept& cv = ir.concepts.get(stack.back());
    stack.pop_back();
    std::visit(Overload{
                   [&](const Atomic& x) {
                     if (is_dkey(ir, x.cls)) out.insert("DKey");
                   },
                   [&](const Nominal&) { out.insert("Nominal"); },
                   [&](const Self&) { out.insert("Self"); },
                   [&](const Not& x) {
                     out.insert("Not");
                     stack.push_back(x.operand);
                   },
                   [&](const Or& x) {
                     out.insert("Or");
                     stack.insert(stack.end(), x.members.begin(), x.members.end());
                   },
                   [&](const And& x) { stack.insert(stack.end(), x.members.begin(), x.members.end()); },
                   [&](const All& x) {
                     out.insert("All");
                     stack.push_back(x.filler);
                   },
                   [&](const Min& x) {
                     out.insert("Min");
                     stack.push_back(x.filler);
                   },
                   [&](const Max& x) {
                     out.insert("Max");
                     stack.push_back(x.filler);
                   },
                   [&](const Some& x) { stack.push_back(x.filler); },
                   [&](const auto&) {},
               },
               cv);
  }
}

}  // namespace

bool concept_is_eli(const InternalOntology& ir, ConceptId c) { return !first_non_eli_constructor(ir, c).has_value(); }

bool axiom_is_eli(const InternalOntology& ir, const Axiom& axiom) {
  if (auto concepts = axiom_concepts(axiom)) {
    for (ConceptId c : *concepts)
      if (!concept_is_eli(ir, c)) return false;
    return true;
  }
  return std::visit(Overload{
                        [](const SubObjectPropertyOf& x) {
                          const auto* chain = std::get_if<Chain>(&x.sub);
                          return chain == nullptr || chain->roles.size() == 2;
                        },
                        [](const InverseObjectProperties&) { return true; },
                        [](const TransitiveRole&) { return true; },
                        [](const DeclareClass&) { return true; },
                        [](const DeclareObjectProperty&) { return true; },
                        [](const auto&) { return false; },
                    },
                    axiom);
}

std::optional<std::string> first_non_eli_axiom(const InternalOntology& ir) {
  for (const Axiom& axiom : ir.axioms) {
    if (axiom_is_eli(ir, axiom)) continue;
    std::string kind(axiom_kind_name(axiom_kind(axiom)));
    if (auto concepts = axiom_concepts(axiom)) {
      for (ConceptId c : *concepts)
        if (auto name = first_non_eli_constructor(ir, c)) return kind + "[" + std::string(*name) + "]";
    }
    return kind;
  }
  return std::nullopt;
}

std::set<std::string> eli_feature_set(const InternalOntology& ir) {
  std::set<std::string> out;
  for (const Axiom& axiom : ir.axioms) {
    if (axiom_is_eli(ir, axiom)) continue;
    if (auto concepts = axiom_concepts(axiom)) {
      for (ConceptId c : *concepts) non_eli_constructors(ir, c, out);
    } else if (std::holds_alternative<DeclareNamedIndividual>(axiom)) {
      out.insert("Other");
    } else {
      out.insert(std::string(axiom_kind_name(axiom_kind(axiom))));
    }
  }
  return out;
}

std::string eli_report_line(const InternalOntology& ir) {
  auto blocker = first_non_eli_axiom(ir);
  if (!blocker) return "cb-eli-eligible: true tbox_only=true feats=\n";
  bool tbox_only = true;
  for (const Axiom& axiom : ir.axioms) {
    const auto kind = axiom.index();
    if (kind >= 17 && kind <= 21) continue;
    if (!axiom_is_eli(ir, axiom)) {
      tbox_only = false;
      break;
    }
  }
  std::string feats;
  for (const std::string& f : eli_feature_set(ir)) {
    if (!feats.empty()) feats += ",";
    feats += f;
  }
  return "cb-eli-eligible: false blocker=" + *blocker + " tbox_only=" + (tbox_only ? "true" : "false") +
         " feats=" + feats + "\n";
}

}  // namespace kelmon::reasoner
