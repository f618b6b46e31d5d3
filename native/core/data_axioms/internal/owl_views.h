// Small views of the OWL model shared by the told data pass and its checks.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "owl/model.h"

namespace kelmon::owl_views {

// The IRI of a named class (owl:Thing and owl:Nothing included), or nullptr.
inline const owl::Iri* named_class(const owl::ClassExpression& x) {
  if (!x) return nullptr;
  const auto* c = std::get_if<owl::Class>(&x.data());
  return c ? &c->iri : nullptr;
}

inline const owl::Iri* named_individual(const owl::Individual& i) {
  const auto* n = std::get_if<owl::NamedIndividual>(&i);
  return n ? &n->iri : nullptr;
}

inline bool is_datatype(const owl::DataRange& range, std::string_view iri) {
  if (!range) return false;
  const auto* d = std::get_if<owl::Datatype>(&range.data());
  return d && d->iri.str() == iri;
}

inline std::string text(const owl::Iri& iri) { return std::string(iri.str()); }

// The operands of X and of every intersection nested in it, in document order,
// intersections themselves left out; walked with an explicit stack.
template <class Visit>
void for_each_conjunct(const owl::ClassExpression& x, Visit visit) {
  std::vector<const owl::ClassExpression*> stack{&x};
  while (!stack.empty()) {
    const owl::ClassExpression* next = stack.back();
    stack.pop_back();
    if (!*next) continue;
    if (const auto* both = std::get_if<owl::ObjectIntersectionOf>(&next->data())) {
      for (auto it = both->operands.rbegin(); it != both->operands.rend(); ++it) stack.push_back(&*it);
      continue;
    }
    visit(*next);
  }
}

}  // namespace kelmon::owl_views
