#include "core/data_axioms/data_axiom_index.h"

#include "common/overload.h"
#include "core/data/datatype_iri.h"
#include "core/data/range_readers.h"
#include "core/data_axioms/internal/owl_views.h"

namespace kelmon {
namespace {

using owl_views::named_class;
using owl_views::named_individual;
using owl_views::text;

// The antecedent of SubClassOf(R, C) when R demands a value of its property.
std::optional<std::pair<std::string, ValueRestriction>> value_demand(const owl::ClassExpression& x) {
  if (!x) return std::nullopt;
  return std::visit(
      Overload{
          [](const owl::DataSomeValuesFrom& r) -> std::optional<std::pair<std::string, ValueRestriction>> {
            return std::pair{text(r.property.iri), ValueRestriction{AtLeastValues{1, r.filler}}};
          },
          [](const owl::DataHasValue& r) -> std::optional<std::pair<std::string, ValueRestriction>> {
            return std::pair{text(r.property.iri), ValueRestriction{HasLiteralValue{r.value}}};
          },
          [](const owl::DataMinCardinality& r) -> std::optional<std::pair<std::string, ValueRestriction>> {
            if (r.cardinality < 1) return std::nullopt;
            return std::pair{text(r.property.iri), ValueRestriction{AtLeastValues{r.cardinality, r.filler}}};
          },
          [](const owl::DataExactCardinality& r) -> std::optional<std::pair<std::string, ValueRestriction>> {
            if (r.cardinality < 1) return std::nullopt;
            return std::pair{text(r.property.iri), ValueRestriction{ExactlyValues{r.cardinality, r.filler}}};
          },
          [](const auto&) -> std::optional<std::pair<std::string, ValueRestriction>> { return std::nullopt; },
      },
      x.data());
}

void index_sub_class_of(const owl::SubClassOf& a, DataAxiomIndex& index) {
  if (const owl::Iri* sub = named_class(a.sub)) {
    const std::string cls = text(*sub);
    if (const owl::Iri* sup = named_class(a.sup)) index.named_subclass_pairs.emplace_back(cls, text(*sup));
    record_cardinality_restrictions(cls, a.sup, index);
    record_value_restrictions(cls, a.sup, index);
    return;
  }
  const owl::Iri* sup = named_class(a.sup);
  if (!sup) return;
  if (auto demand = value_demand(a.sub))
    add_restriction(index.value_implied_classes[demand->first][text(*sup)], std::move(demand->second));
}

void index_equivalent_classes(const owl::EquivalentClasses& a, DataAxiomIndex& index) {
  for (const auto& member : a.members) {
    const owl::Iri* cls = named_class(member);
    if (!cls) continue;
    const std::string name = text(*cls);
    for (const auto& other : a.members) {
      record_cardinality_restrictions(name, other, index);
      record_value_restrictions(name, other, index);
    }
  }
}

void index_domain(const owl::DataPropertyDomain& a, DataAxiomIndex& index) {
  if (const owl::Iri* cls = named_class(a.domain)) {
    index.domain_classes.emplace_back(text(a.property.iri), text(*cls));
    return;
  }
  const auto* either = a.domain ? std::get_if<owl::ObjectUnionOf>(&a.domain.data()) : nullptr;
  if (!either || either->operands.size() < 2) return;
  std::vector<std::string> classes;
  for (const auto& operand : either->operands) {
    const owl::Iri* cls = named_class(operand);
    if (!cls) return;
    classes.push_back(text(*cls));
  }
  index.domain_unions.emplace_back(text(a.property.iri), std::move(classes));
}

void index_range(const owl::DataPropertyRange& a, DataAxiomIndex& index) {
  const std::string p = text(a.property.iri);
  const owl::Datatype* datatype = nullptr;
  if (a.range) {
    if (const auto* d = std::get_if<owl::Datatype>(&a.range.data())) datatype = d;
    if (const auto* r = std::get_if<owl::DatatypeRestriction>(&a.range.data())) datatype = &r->datatype;
  }
  if (datatype) {
    const DatatypeFamily family = datatype_family(datatype->iri.str());
    if (family != DatatypeFamily::Other) index.range_families[p].push_back(family);
  }
  if (a.range) {
    auto strings = string_set_of(a.range);
    if (strings && strings->set) index.range_string_values[p].push_back(std::move(*strings->set));
  }
}

DatatypeFamily literal_family(const owl::Literal& literal) {
  switch (literal.form) {
    case owl::LiteralForm::Plain: return DatatypeFamily::StringLike;
    case owl::LiteralForm::LanguageTagged: return DatatypeFamily::LangString;
    case owl::LiteralForm::Typed: break;
  }
  return datatype_family(literal.datatype.iri.str());
}

void index_data_assertion(const owl::DataPropertyAssertion& a, DataAxiomIndex& index) {
  const std::string p = text(a.property.iri);
  const DatatypeFamily family = literal_family(a.value);
  if (family != DatatypeFamily::Other) index.assertion_families.emplace_back(p, family);
  const owl::Iri* subject = named_individual(a.subject);
  const bool string_valued =
      a.value.form == owl::LiteralForm::Plain ||
      (a.value.form == owl::LiteralForm::Typed && a.value.datatype.iri.str() == datatype_iri::xsd_string);
  if (string_valued) {
    index.string_assertions.emplace_back(p, a.value.lexical);
    if (subject) index.asserted_strings[{text(*subject), p}].insert(a.value.lexical);
  }
  if (!subject) return;
  if (auto value = asserted_value_of(a.value)) index.asserted_values[{text(*subject), p}].insert(std::move(*value));
}

}  // namespace

void index_data_component(const owl::Axiom& axiom, DataAxiomIndex& index) {
  std::visit(Overload{
                 [&](const owl::SubClassOf& a) { index_sub_class_of(a, index); },
                 [&](const owl::EquivalentClasses& a) { index_equivalent_classes(a, index); },
                 [&](const owl::SubDataPropertyOf& a) {
                   if (!a.sub.iri.empty() && !a.sup.iri.empty())
                     index.sub_property_pairs.emplace_back(text(a.sub.iri), text(a.sup.iri));
                 },
                 [&](const owl::EquivalentDataProperties& a) {
                   for (std::size_t i = 0; i < a.members.size(); ++i)
                     for (std::size_t j = 0; j < a.members.size(); ++j)
                       if (i != j) index.sub_property_pairs.emplace_back(text(a.members[i].iri), text(a.members[j].iri));
                 },
                 [&](const owl::DisjointDataProperties& a) {
                   for (std::size_t i = 0; i < a.members.size(); ++i)
                     for (std::size_t j = i + 1; j < a.members.size(); ++j) {
                       std::string x = text(a.members[i].iri), y = text(a.members[j].iri);
                       if (y < x) std::swap(x, y);
                       index.disjoint_property_pairs.emplace_back(std::move(x), std::move(y));
                     }
                 },
                 [&](const owl::DataPropertyDomain& a) { index_domain(a, index); },
                 [&](const owl::DataPropertyRange& a) { index_range(a, index); },
                 [&](const owl::FunctionalDataProperty& a) { index.functional_properties.insert(text(a.property.iri)); },
                 [&](const owl::ClassAssertion& a) {
                   const owl::Iri* cls = named_class(a.class_expression);
                   const owl::Iri* who = named_individual(a.individual);
                   if (cls && who) index.class_assertions.emplace_back(text(*who), text(*cls));
                 },
                 [&](const owl::DataPropertyAssertion& a) { index_data_assertion(a, index); },
                 [](const auto&) {},
             },
             axiom);
}

DataAxiomIndex build_data_axiom_index(const owl::AxiomSet& axioms) {
  DataAxiomIndex index;
  for (const auto& annotated : axioms) index_data_component(annotated.axiom, index);
  return index;
}

}  // namespace kelmon
