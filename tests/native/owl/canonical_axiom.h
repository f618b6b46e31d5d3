#pragma once
// Test helper: an axiom with the operands of every set-like construct (n-ary class
// and data range operands, enumerations, equivalence and disjointness members, key
// properties, the pair of InverseObjectProperties) sorted by their structural key, so
// that documents listing the same sets in different orders compare equal. Recursive:
// only for the small, shallow fixtures and corpus documents of the tests.
#include <algorithm>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "owl/model.h"
#include "owl/structural.h"

namespace kelmon::owl::testing {

// Node ids and language tags are plain or shared strings depending on the model.
inline std::string_view text_of(const std::string& s) { return s; }
inline std::string_view text_of(const Iri& s) { return s.str(); }

inline std::string key_of(const ClassExpression& c) {
  std::string k;
  append_structural_key(c, k);
  return k;
}
inline std::string key_of(const DataRange& d) {
  std::string k;
  append_structural_key(d, k);
  return k;
}
inline std::string key_of(const Individual& i) {
  if (auto* n = std::get_if<NamedIndividual>(&i)) return "N" + std::string(n->iri.str());
  return "A" + std::string(text_of(std::get<AnonymousIndividual>(i).node_id));
}
inline std::string key_of(const ObjectPropertyExpression& p) {
  return (is_inverse(p) ? "I" : "P") + std::string(named_property(p).iri.str());
}
inline std::string key_of(const DataProperty& p) { return std::string(p.iri.str()); }
inline std::string key_of(const Literal& l) {
  std::string language{text_of(l.language)};
  return std::to_string(static_cast<int>(l.form)) + l.lexical + "\n" + language + "\n" +
         std::string(l.datatype.iri.str());
}

template <class T>
void sort_by_key(std::vector<T>& v) {
  std::sort(v.begin(), v.end(), [](const T& a, const T& b) { return key_of(a) < key_of(b); });
}

DataRange canonical(const DataRange& d);
ClassExpression canonical(const ClassExpression& c);

inline DataRange canonical(const DataRange& d) {
  return std::visit(
      [](const auto& x) -> DataRange {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, DataIntersectionOf> || std::is_same_v<T, DataUnionOf>) {
          T y;
          for (const auto& o : x.operands) y.operands.push_back(canonical(o));
          sort_by_key(y.operands);
          return y;
        } else if constexpr (std::is_same_v<T, DataComplementOf>) {
          return DataComplementOf{canonical(x.operand)};
        } else if constexpr (std::is_same_v<T, DataOneOf>) {
          T y = x;
          sort_by_key(y.literals);
          return y;
        } else {
          return x;
        }
      },
      d.data());
}

inline ClassExpression canonical(const ClassExpression& c) {
  return std::visit(
      [](const auto& x) -> ClassExpression {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, ObjectIntersectionOf> || std::is_same_v<T, ObjectUnionOf>) {
          T y;
          for (const auto& o : x.operands) y.operands.push_back(canonical(o));
          sort_by_key(y.operands);
          return y;
        } else if constexpr (std::is_same_v<T, ObjectComplementOf>) {
          return ObjectComplementOf{canonical(x.operand)};
        } else if constexpr (std::is_same_v<T, ObjectOneOf>) {
          T y = x;
          sort_by_key(y.individuals);
          return y;
        } else if constexpr (requires { x.filler; }) {
          T y = x;
          y.filler = canonical(x.filler);
          return y;
        } else {
          return x;
        }
      },
      c.data());
}

inline std::vector<ClassExpression> canonical_set(const std::vector<ClassExpression>& v) {
  std::vector<ClassExpression> out;
  for (const auto& c : v) out.push_back(canonical(c));
  sort_by_key(out);
  return out;
}

inline Axiom canonical(const Axiom& a) {
  return std::visit(
      [](const auto& x) -> Axiom {
        using T = std::decay_t<decltype(x)>;
        T y = x;
        if constexpr (std::is_same_v<T, SubClassOf>) {
          y.sub = canonical(x.sub);
          y.sup = canonical(x.sup);
        } else if constexpr (std::is_same_v<T, EquivalentClasses> || std::is_same_v<T, DisjointClasses> ||
                             std::is_same_v<T, DisjointUnion>) {
          y.members = canonical_set(x.members);
        } else if constexpr (std::is_same_v<T, EquivalentObjectProperties> ||
                             std::is_same_v<T, DisjointObjectProperties> ||
                             std::is_same_v<T, EquivalentDataProperties> ||
                             std::is_same_v<T, DisjointDataProperties> ||
                             std::is_same_v<T, SameIndividual> ||
                             std::is_same_v<T, DifferentIndividuals>) {
          sort_by_key(y.members);
        } else if constexpr (std::is_same_v<T, InverseObjectProperties>) {
          if (key_of(y.second) < key_of(y.first)) std::swap(y.first, y.second);
        } else if constexpr (std::is_same_v<T, HasKey>) {
          y.class_expression = canonical(x.class_expression);
          sort_by_key(y.object_properties);
          sort_by_key(y.data_properties);
        } else if constexpr (std::is_same_v<T, ObjectPropertyDomain> || std::is_same_v<T, DataPropertyDomain>) {
          y.domain = canonical(x.domain);
        } else if constexpr (std::is_same_v<T, ObjectPropertyRange>) {
          y.range = canonical(x.range);
        } else if constexpr (std::is_same_v<T, DataPropertyRange> || std::is_same_v<T, DatatypeDefinition>) {
          y.range = canonical(x.range);
        } else if constexpr (std::is_same_v<T, ClassAssertion>) {
          y.class_expression = canonical(x.class_expression);
        }
        return y;
      },
      a);
}

inline AnnotatedAxiom canonical(const AnnotatedAxiom& a) {
  return AnnotatedAxiom{canonical(a.axiom), a.annotations};
}

}  // namespace kelmon::owl::testing
