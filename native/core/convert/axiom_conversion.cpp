#include "core/convert/axiom_conversion.h"

#include "common/overload.h"
#include "core/convert/class_expression.h"
#include "core/convert/data_axioms.h"
#include "core/convert/name_cache.h"

namespace kelmon {

namespace {

using Out = UnsupportedOr<ComponentAxioms>;

Out none() { return ComponentAxioms{}; }
Out one(Axiom a) { return ComponentAxioms{std::move(a), std::nullopt}; }

bool is_owl_thing_or_nothing(std::string_view iri) { return iri == kOwlThing || iri == kOwlNothing; }

Role data_role(const owl::DataProperty& p, InternalOntology& onto) {
  return Role::named(intern_role(p.iri, onto));
}

std::vector<Role> data_roles(const std::vector<owl::DataProperty>& ps, InternalOntology& onto) {
  std::vector<Role> out;
  out.reserve(ps.size());
  for (const auto& p : ps) out.push_back(data_role(p, onto));
  return out;
}

// DisjointUnion(A, C1 … Cn): A is interned, then the parts. owl:Thing and
// owl:Nothing are never class names, so their disjoint unions become the two
// axioms that state the same thing over Top or Bottom.
Out convert_disjoint_union(const owl::DisjointUnion& x, InternalOntology& onto) {
  std::string_view iri = x.cls.iri.str();
  if (!is_owl_thing_or_nothing(iri)) {
    ClassId cls = intern_class(x.cls.iri, onto);
    auto parts = convert_class_expression_list(x.members, onto);
    if (!parts) return std::unexpected(parts.error());
    return one(DisjointUnion{cls, std::move(*parts)});
  }
  auto parts = convert_class_expression_list(x.members, onto);
  if (!parts) return std::unexpected(parts.error());
  ConceptId whole = iri == kOwlThing ? onto.concepts.intern(Top{}) : onto.concepts.intern(Bottom{});
  ConceptId united = onto.concepts.mk_or(*parts);
  ComponentAxioms out{EquivalentClasses{{whole, united}}, std::nullopt};
  if (parts->size() >= 2) out.second = DisjointClasses{std::move(*parts)};
  return out;
}

}  // namespace

bool is_data_gated(owl::AxiomKind kind) {
  using K = owl::AxiomKind;
  switch (kind) {
    case K::SubDataPropertyOf:
    case K::EquivalentDataProperties:
    case K::DisjointDataProperties:
    case K::DataPropertyDomain:
    case K::DataPropertyRange:
    case K::FunctionalDataProperty:
    case K::DataPropertyAssertion:
    case K::NegativeDataPropertyAssertion:
      return true;
    default:
      return false;
  }
}

UnsupportedOr<ComponentAxioms> convert_component(const owl::Axiom& component, InternalOntology& onto) {
  auto ce = [&](const owl::ClassExpression& e) { return convert_class_expression(e, onto); };
  return std::visit(
      Overload{
          // Declarations of owl:Thing and owl:Nothing name Top and Bottom, never classes.
          [&](const owl::DeclareClass& x) -> Out {
            if (is_owl_thing_or_nothing(x.entity.iri.str())) return none();
            return one(DeclareClass{intern_class(x.entity.iri, onto)});
          },
          [&](const owl::DeclareObjectProperty& x) -> Out {
            return one(DeclareObjectProperty{intern_role(x.entity.iri, onto)});
          },
          [&](const owl::DeclareNamedIndividual& x) -> Out {
            return one(DeclareNamedIndividual{intern_individual(x.entity.iri, onto)});
          },
          [&](const owl::SubClassOf& x) -> Out {
            auto sub = ce(x.sub);
            if (!sub) return std::unexpected(sub.error());
            auto sup = ce(x.sup);
            if (!sup) return std::unexpected(sup.error());
            return one(SubClassOf{*sub, *sup});
          },
          [&](const owl::EquivalentClasses& x) -> Out {
            auto members = convert_class_expression_list(x.members, onto);
            if (!members) return std::unexpected(members.error());
            return one(EquivalentClasses{std::move(*members)});
          },
          [&](const owl::DisjointClasses& x) -> Out {
            auto members = convert_class_expression_list(x.members, onto);
            if (!members) return std::unexpected(members.error());
            return one(DisjointClasses{std::move(*members)});
          },
          [&](const owl::DisjointUnion& x) -> Out { return convert_disjoint_union(x, onto); },
          // The sub side is interned before the super side, as the document reads.
          [&](const owl::SubObjectPropertyOf& x) -> Out {
            if (const auto* chain = std::get_if<owl::ObjectPropertyChain>(&x.sub)) {
              std::vector<Role> roles = object_property_ids(chain->properties, onto);
              Role sup = object_property_role(x.sup, onto);
              return one(SubObjectPropertyOf{Chain{std::move(roles)}, sup});
            }
            Role sub = object_property_role(std::get<owl::ObjectPropertyExpression>(x.sub), onto);
            Role sup = object_property_role(x.sup, onto);
            return one(SubObjectPropertyOf{Single{sub}, sup});
          },
          [&](const owl::EquivalentObjectProperties& x) -> Out {
            return one(EquivalentObjectProperties{object_property_ids(x.members, onto)});
          },
          [&](const owl::DisjointObjectProperties& x) -> Out {
            return one(DisjointObjectProperties{object_property_ids(x.members, onto)});
          },
          // An operand written as ObjectInverseOf keeps its inverse flag.
          [&](const owl::InverseObjectProperties& x) -> Out {
            Role first = object_property_role(x.first, onto);
            Role second = object_property_role(x.second, onto);
            return one(InverseObjectProperties{first, second});
          },
          [&](const owl::ObjectPropertyDomain& x) -> Out {
            Role r = object_property_role(x.property, onto);
            auto c = ce(x.domain);
            if (!c) return std::unexpected(c.error());
            return one(ObjectPropertyDomain{r, *c});
          },
          [&](const owl::ObjectPropertyRange& x) -> Out {
            Role r = object_property_role(x.property, onto);
            auto c = ce(x.range);
            if (!c) return std::unexpected(c.error());
            return one(ObjectPropertyRange{r, *c});
          },
          [&](const owl::FunctionalObjectProperty& x) -> Out {
            return one(FunctionalRole{object_property_role(x.property, onto)});
          },
          // The inverse of an inverse-functional role is functional.
          [&](const owl::InverseFunctionalObjectProperty& x) -> Out {
            Role r = object_property_role(x.property, onto);
            if (r.inverse == 1) return one(FunctionalRole{Role::named(r.id)});
            return one(InverseFunctionalRole{r});
          },
          [&](const owl::ReflexiveObjectProperty& x) -> Out {
            return one(ReflexiveRole{object_property_role(x.property, onto)});
          },
          [&](const owl::IrreflexiveObjectProperty& x) -> Out {
            return one(IrreflexiveRole{object_property_role(x.property, onto)});
          },
          [&](const owl::SymmetricObjectProperty& x) -> Out {
            return one(SymmetricRole{object_property_role(x.property, onto)});
          },
          [&](const owl::AsymmetricObjectProperty& x) -> Out {
            return one(AsymmetricRole{object_property_role(x.property, onto)});
          },
          [&](const owl::TransitiveObjectProperty& x) -> Out {
            return one(TransitiveRole{object_property_role(x.property, onto)});
          },
          [&](const owl::SubDataPropertyOf& x) -> Out {
            Role sub = data_role(x.sub, onto);
            Role sup = data_role(x.sup, onto);
            return one(SubObjectPropertyOf{Single{sub}, sup});
          },
          [&](const owl::EquivalentDataProperties& x) -> Out {
            return one(EquivalentObjectProperties{data_roles(x.members, onto)});
          },
          [&](const owl::DisjointDataProperties& x) -> Out {
            return one(DisjointObjectProperties{data_roles(x.members, onto)});
          },
          [&](const owl::DataPropertyDomain& x) -> Out {
            Role r = data_role(x.property, onto);
            auto c = ce(x.domain);
            if (!c) return std::unexpected(c.error());
            return one(ObjectPropertyDomain{r, *c});
          },
          [&](const owl::DataPropertyRange& x) -> Out {
            auto axiom = convert_data_property_range(x, onto);
            if (!axiom) return std::unexpected(axiom.error());
            return one(std::move(*axiom));
          },
          [&](const owl::FunctionalDataProperty& x) -> Out {
            return one(FunctionalRole{data_role(x.property, onto)});
          },
          [&](const owl::DatatypeDefinition&) -> Out { return std::unexpected(Unsupported(UnsupportedDataRange{})); },
          [&](const owl::HasKey&) -> Out { return std::unexpected(Unsupported(UnsupportedAxiom{"HasKey"})); },
          [&](const owl::SameIndividual& x) -> Out { return one(SameIndividual{individual_ids(x.members, onto)}); },
          [&](const owl::DifferentIndividuals& x) -> Out {
            return one(DifferentIndividuals{individual_ids(x.members, onto)});
          },
          [&](const owl::ClassAssertion& x) -> Out {
            auto c = ce(x.class_expression);
            if (!c) return std::unexpected(c.error());
            return one(ClassAssertion{*c, individual_id(x.individual, onto)});
          },
          [&](const owl::ObjectPropertyAssertion& x) -> Out {
            Role r = object_property_role(x.property, onto);
            IndividualId a = individual_id(x.subject, onto);
            IndividualId b = individual_id(x.object, onto);
            return one(ObjectPropertyAssertion{r, a, b});
          },
          [&](const owl::NegativeObjectPropertyAssertion& x) -> Out {
            Role r = object_property_role(x.property, onto);
            IndividualId a = individual_id(x.subject, onto);
            IndividualId b = individual_id(x.object, onto);
            return one(NegativeObjectPropertyAssertion{r, a, b});
          },
          [&](const owl::DataPropertyAssertion& x) -> Out {
            auto k = data_value_assertion_concept(x.property, x.value, onto, /*negated=*/false);
            if (!k) return std::unexpected(k.error());
            return one(ClassAssertion{*k, individual_id(x.subject, onto)});
          },
          [&](const owl::NegativeDataPropertyAssertion& x) -> Out {
            auto k = data_value_assertion_concept(x.property, x.value, onto, /*negated=*/true);
            if (!k) return std::unexpected(k.error());
            return one(ClassAssertion{*k, individual_id(x.subject, onto)});
          },
          // Ontology-level items, other declarations, annotation axioms and rules carry no logic we read.
          [&](const auto&) -> Out { return none(); },
      },
      component);
}

}  // namespace kelmon
