#include "reasoner/individuals/told_successors.h"

#include <vector>

namespace kelmon::reasoner {

void told_existential_successors(const owl::ClassExpression& expression, ToldSuccessorSet& out) {
  std::vector<const owl::ClassExpression*> stack{&expression};
  while (!stack.empty()) {
    const owl::ClassExpression& e = *stack.back();
    stack.pop_back();
    if (const auto* both = std::get_if<owl::ObjectIntersectionOf>(&e.data())) {
      for (const auto& op : both->operands) stack.push_back(&op);
    } else if (const auto* some = std::get_if<owl::ObjectSomeValuesFrom>(&e.data())) {
      const auto* property = std::get_if<owl::ObjectProperty>(&some->property);
      const auto* filler = std::get_if<owl::Class>(&some->filler.data());
      if (property && filler) out.emplace(std::string(property->iri.str()), std::string(filler->iri.str()));
    }
  }
}

ToldSuccessorMap told_successor_map(const owl::AxiomSet& axioms) {
  ToldSuccessorMap map;
  auto add = [&](const owl::Class& key, const owl::ClassExpression& expression) {
    ToldSuccessorSet found;
    told_existential_successors(expression, found);
    if (found.empty()) return;
    auto& set = map[std::string(key.iri.str())];
    set.insert(found.begin(), found.end());
  };
  for (const owl::AnnotatedAxiom& a : axioms) {
    if (const auto* sub = std::get_if<owl::SubClassOf>(&a.axiom)) {
      if (const auto* named = std::get_if<owl::Class>(&sub->sub.data())) add(*named, sub->sup);
    } else if (const auto* eq = std::get_if<owl::EquivalentClasses>(&a.axiom)) {
      for (std::size_t i = 0; i < eq->members.size(); ++i) {
        const auto* named = std::get_if<owl::Class>(&eq->members[i].data());
        if (!named) continue;
        for (std::size_t j = 0; j < eq->members.size(); ++j) {
          if (j != i) add(*named, eq->members[j]);
        }
      }
    }
  }
  return map;
}

}  // namespace kelmon::reasoner
