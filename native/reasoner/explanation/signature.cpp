#include "reasoner/explanation/signature.h"

#include <vector>

#include "common/overload.h"

namespace kelmon::explain {

std::optional<Signature> query_signature(const JustifyQuery& query) {
  if (query.kind == QueryKind::Inconsistent) return std::nullopt;
  // DataValue keeps its literal in the last two names; they are not names of the ontology.
  const std::size_t count = query.kind == QueryKind::DataValue ? 2 : query.names.size();
  Signature signature;
  for (std::size_t i = 0; i < count; ++i) signature.insert(owl::Iri(query.names[i]));
  return signature;
}

void collect_signature(const owl::ClassExpression& expression, Signature& signature) {
  auto add_individual = [&](const owl::Individual& individual) {
    if (const auto* named = std::get_if<owl::NamedIndividual>(&individual)) signature.insert(named->iri);
  };
  auto add_property = [&](const owl::ObjectPropertyExpression& p) { signature.insert(owl::named_property(p).iri); };
  std::vector<const owl::ClassExpression*> stack{&expression};
  while (!stack.empty()) {
    const owl::ClassExpression& e = *stack.back();
    stack.pop_back();
    std::visit(Overload{
                   [&](const owl::Class& c) { signature.insert(c.iri); },
                   [&](const owl::ObjectIntersectionOf& c) {
                     for (const auto& op : c.operands) stack.push_back(&op);
                   },
                   [&](const owl::ObjectUnionOf& c) {
                     for (const auto& op : c.operands) stack.push_back(&op);
                   },
                   [&](const owl::ObjectComplementOf& c) { stack.push_back(&c.operand); },
                   [&](const owl::ObjectOneOf& c) {
                     for (const auto& i : c.individuals) add_individual(i);
                   },
                   [&](const owl::ObjectHasValue& c) {
                     add_property(c.property);
                     add_individual(c.individual);
                   },
                   [&](const owl::ObjectHasSelf& c) { add_property(c.property); },
                   [&](const auto& c) {
                     if constexpr (requires { c.property.iri; }) {
                       signature.insert(c.property.iri);  // data restrictions
                     } else {
                       add_property(c.property);  // object restrictions with a filler
                       stack.push_back(&c.filler);
                     }
                   },
               },
               e.data());
  }
}

}  // namespace kelmon::explain
