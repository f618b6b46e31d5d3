#include "reasoner/explanation/locality.h"

#include <utility>

#include "common/overload.h"
#include "owl/vocabulary.h"

namespace kelmon::explain {

namespace {

struct Equivalence {
  bool bottom = false;
  bool top = false;
};

bool outside(const owl::Iri& iri, const Signature& signature) { return !signature.contains(iri); }
bool outside(const owl::ObjectPropertyExpression& p, const Signature& signature) {
  return outside(owl::named_property(p).iri, signature);
}

// Both flags of every node at once, children first, without recursion: a node
// is visited twice, once to push its children and once to combine their flags.
Equivalence equivalence(const owl::ClassExpression& root, const Signature& signature) {
  struct Frame {
    const owl::ClassExpression* expression;
    bool children_done;
  };
  std::vector<Frame> stack{{&root, false}};
  std::vector<Equivalence> values;
  auto children = [](const owl::ClassExpression& e, auto&& push) {
    std::visit(Overload{
                   [&](const owl::ObjectIntersectionOf& c) {
                     for (const auto& op : c.operands) push(op);
                   },
                   [&](const owl::ObjectUnionOf& c) {
                     for (const auto& op : c.operands) push(op);
                   },
                   [&](const owl::ObjectComplementOf& c) { push(c.operand); },
                   [&](const owl::ObjectSomeValuesFrom& c) { push(c.filler); },
                   [&](const owl::ObjectAllValuesFrom& c) { push(c.filler); },
                   [&](const owl::ObjectMinCardinality& c) { push(c.filler); },
                   [&](const owl::ObjectMaxCardinality& c) { push(c.filler); },
                   [&](const owl::ObjectExactCardinality& c) { push(c.filler); },
                   [](const auto&) {},
               },
               e.data());
  };
  while (!stack.empty()) {
    Frame frame = stack.back();
    stack.pop_back();
    const owl::ClassExpression& e = *frame.expression;
    if (!frame.children_done) {
      stack.push_back({&e, true});
      // Pushed in reverse so that their values land on `values` in operand order.
      std::vector<const owl::ClassExpression*> kids;
      children(e, [&](const owl::ClassExpression& c) { kids.push_back(&c); });
      for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back({*it, false});
      continue;
    }
    std::size_t arity = 0;
    children(e, [&](const owl::ClassExpression&) { ++arity; });
    const std::span<const Equivalence> args(values.data() + values.size() - arity, arity);
    auto any_bottom = [&] {
      for (const auto& a : args) if (a.bottom) return true;
      return false;
    };
    auto all_top = [&] {
      for (const auto& a : args) if (!a.top) return false;
      return true;
    };
    Equivalence result = std::visit(
        Overload{
            [&](const owl::Class& c) {
              const bool thing = c.iri.str() == owl::vocab::kOwlThing;
              const bool nothing = c.iri.str() == owl::vocab::kOwlNothing;
              return Equivalence{nothing || (outside(c.iri, signature) && !thing), thing};
            },
            [&](const owl::ObjectIntersectionOf&) { return Equivalence{any_bottom(), all_top()}; },
            [&](const owl::ObjectUnionOf&) {
              bool all_bottom = !args.empty();
              bool any_top = false;
              for (const auto& a : args) {
                all_bottom = all_bottom && a.bottom;
                any_top = any_top || a.top;
              }
              return Equivalence{all_bottom, any_top};
            },
            [&](const owl::ObjectComplementOf&) { return Equivalence{args[0].top, args[0].bottom}; },
            [&](const owl::ObjectOneOf& c) { return Equivalence{c.individuals.empty(), false}; },
            [&](const owl::ObjectSomeValuesFrom& c) {
              return Equivalence{outside(c.property, signature) || args[0].bottom, false};
            },
            [&](const owl::ObjectAllValuesFrom& c) {
              return Equivalence{false, outside(c.property, signature) || args[0].top};
            },
            [&](const owl::ObjectHasValue& c) { return Equivalence{outside(c.property, signature), false}; },
            [&](const owl::ObjectHasSelf& c) { return Equivalence{outside(c.property, signature), false}; },
            [&](const owl::ObjectMinCardinality& c) {
              const bool empty = outside(c.property, signature) || args[0].bottom;
              return Equivalence{c.cardinality >= 1 && empty, c.cardinality == 0};
            },
            [&](const owl::ObjectMaxCardinality& c) {
              return Equivalence{false, outside(c.property, signature) || args[0].bottom};
            },
            [&](const owl::ObjectExactCardinality& c) {
              const bool empty = outside(c.property, signature) || args[0].bottom;
              return Equivalence{c.cardinality >= 1 && empty, c.cardinality == 0 && empty};
            },
            [&](const owl::DataSomeValuesFrom& c) { return Equivalence{outside(c.property.iri, signature), false}; },
            [&](const owl::DataHasValue& c) { return Equivalence{outside(c.property.iri, signature), false}; },
            [&](const owl::DataMinCardinality& c) {
              return Equivalence{c.cardinality >= 1 && outside(c.property.iri, signature), c.cardinality == 0};
            },
            [&](const owl::DataExactCardinality& c) {
              return Equivalence{c.cardinality >= 1 && outside(c.property.iri, signature), false};
            },
            [&](const owl::DataAllValuesFrom& c) { return Equivalence{false, outside(c.property.iri, signature)}; },
            [&](const owl::DataMaxCardinality& c) { return Equivalence{false, outside(c.property.iri, signature)}; },
        },
        e.data());
    values.resize(values.size() - arity);
    values.push_back(result);
  }
  return values.back();
}

template <class Members>
std::size_t count_inside(const Members& members, const Signature& signature) {
  std::size_t n = 0;
  for (const auto& m : members) {
    if constexpr (requires { m.iri; }) {
      n += signature.contains(m.iri) ? 1 : 0;
    } else {
      n += outside(m, signature) ? 0 : 1;
    }
  }
  return n;
}

void add_individual(const owl::Individual& individual, Signature& signature) {
  if (const auto* named = std::get_if<owl::NamedIndividual>(&individual)) signature.insert(named->iri);
}
void add_property(const owl::ObjectPropertyExpression& p, Signature& signature) {
  signature.insert(owl::named_property(p).iri);
}

}  // namespace

bool is_bottom_equivalent(const owl::ClassExpression& expression, const Signature& signature) {
  return equivalence(expression, signature).bottom;
}

bool is_top_equivalent(const owl::ClassExpression& expression, const Signature& signature) {
  return equivalence(expression, signature).top;
}

bool is_bottom_local(const owl::Axiom& axiom, const Signature& signature) {
  auto bottom = [&](const owl::ClassExpression& c) { return is_bottom_equivalent(c, signature); };
  auto top = [&](const owl::ClassExpression& c) { return is_top_equivalent(c, signature); };
  return std::visit(
      Overload{
          [&](const owl::SubClassOf& a) { return bottom(a.sub) || top(a.sup); },
          [&](const owl::EquivalentClasses& a) {
            bool all_bottom = true, all_top = true;
            for (const auto& m : a.members) {
              const Equivalence e = equivalence(m, signature);
              all_bottom = all_bottom && e.bottom;
              all_top = all_top && e.top;
            }
            return all_bottom || all_top;
          },
          [&](const owl::DisjointClasses& a) {
            std::size_t not_bottom = 0;
            for (const auto& m : a.members) not_bottom += bottom(m) ? 0 : 1;
            return not_bottom <= 1;
          },
          [&](const owl::SubObjectPropertyOf& a) {
            return std::visit(Overload{
                                  [&](const owl::ObjectPropertyExpression& p) { return outside(p, signature); },
                                  [&](const owl::ObjectPropertyChain& chain) {
                                    return count_inside(chain.properties, signature) < chain.properties.size();
                                  },
                              },
                              a.sub);
          },
          [&](const owl::EquivalentObjectProperties& a) { return count_inside(a.members, signature) == 0; },
          [&](const owl::EquivalentDataProperties& a) { return count_inside(a.members, signature) == 0; },
          [&](const owl::DisjointObjectProperties& a) { return count_inside(a.members, signature) <= 1; },
          [&](const owl::DisjointDataProperties& a) { return count_inside(a.members, signature) <= 1; },
          [&](const owl::InverseObjectProperties& a) {
            return outside(a.first, signature) && outside(a.second, signature);
          },
          [&](const owl::ObjectPropertyDomain& a) { return outside(a.property, signature) || top(a.domain); },
          [&](const owl::ObjectPropertyRange& a) { return outside(a.property, signature) || top(a.range); },
          [&](const owl::DataPropertyDomain& a) { return outside(a.property.iri, signature) || top(a.domain); },
          [&](const owl::DataPropertyRange& a) { return outside(a.property.iri, signature); },
          [&](const owl::FunctionalObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::InverseFunctionalObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::IrreflexiveObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::SymmetricObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::AsymmetricObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::TransitiveObjectProperty& a) { return outside(a.property, signature); },
          [&](const owl::FunctionalDataProperty& a) { return outside(a.property.iri, signature); },
          [&](const owl::SubDataPropertyOf& a) { return outside(a.sub.iri, signature); },
          // Never local: DisjointUnion, ReflexiveObjectProperty, DatatypeDefinition,
          // HasKey, individual axioms and rules. Non-logical components are not
          // candidates; reading them as non-local keeps the module a superset.
          [](const auto&) { return false; },
      },
      axiom);
}

void add_module_names(const owl::Axiom& axiom, Signature& signature) {
  auto names = [&](const owl::ClassExpression& c) { collect_signature(c, signature); };
  std::visit(
      Overload{
          [&](const owl::SubClassOf& a) {
            names(a.sub);
            names(a.sup);
          },
          [&](const owl::EquivalentClasses& a) {
            for (const auto& m : a.members) names(m);
          },
          [&](const owl::DisjointClasses& a) {
            for (const auto& m : a.members) names(m);
          },
          [&](const owl::DisjointUnion& a) {
            signature.insert(a.cls.iri);
            for (const auto& m : a.members) names(m);
          },
          [&](const owl::SubObjectPropertyOf& a) {
            add_property(a.sup, signature);
            std::visit(Overload{
                           [&](const owl::ObjectPropertyExpression& p) { add_property(p, signature); },
                           [&](const owl::ObjectPropertyChain& chain) {
                             for (const auto& p : chain.properties) add_property(p, signature);
                           },
                       },
                       a.sub);
          },
          [&](const owl::EquivalentObjectProperties& a) {
            for (const auto& p : a.members) add_property(p, signature);
          },
          [&](const owl::DisjointObjectProperties& a) {
            for (const auto& p : a.members) add_property(p, signature);
          },
          [&](const owl::EquivalentDataProperties& a) {
            for (const auto& p : a.members) signature.insert(p.iri);
          },
          [&](const owl::DisjointDataProperties& a) {
            for (const auto& p : a.members) signature.insert(p.iri);
          },
          [&](const owl::InverseObjectProperties& a) {
            add_property(a.first, signature);
            add_property(a.second, signature);
          },
          [&](const owl::ObjectPropertyDomain& a) {
            add_property(a.property, signature);
            names(a.domain);
          },
          [&](const owl::ObjectPropertyRange& a) {
            add_property(a.property, signature);
            names(a.range);
          },
          [&](const owl::DataPropertyDomain& a) {
            signature.insert(a.property.iri);
            names(a.domain);
          },
          [&](const owl::DataPropertyRange& a) { signature.insert(a.property.iri); },
          [&](const owl::FunctionalObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::InverseFunctionalObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::ReflexiveObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::IrreflexiveObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::SymmetricObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::AsymmetricObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::TransitiveObjectProperty& a) { add_property(a.property, signature); },
          [&](const owl::FunctionalDataProperty& a) { signature.insert(a.property.iri); },
          [&](const owl::SubDataPropertyOf& a) {
            signature.insert(a.sub.iri);
            signature.insert(a.sup.iri);
          },
          [&](const owl::HasKey& a) { names(a.class_expression); },
          [&](const owl::SameIndividual& a) {
            for (const auto& i : a.members) add_individual(i, signature);
          },
          [&](const owl::DifferentIndividuals& a) {
            for (const auto& i : a.members) add_individual(i, signature);
          },
          [&](const owl::ClassAssertion& a) {
            names(a.class_expression);
            add_individual(a.individual, signature);
          },
          [&](const owl::ObjectPropertyAssertion& a) {
            add_property(a.property, signature);
            add_individual(a.subject, signature);
            add_individual(a.object, signature);
          },
          [&](const owl::NegativeObjectPropertyAssertion& a) {
            add_property(a.property, signature);
            add_individual(a.subject, signature);
            add_individual(a.object, signature);
          },
          [&](const owl::DataPropertyAssertion& a) {
            signature.insert(a.property.iri);
            add_individual(a.subject, signature);
          },
          [&](const owl::NegativeDataPropertyAssertion& a) {
            signature.insert(a.property.iri);
            add_individual(a.subject, signature);
          },
          // DatatypeDefinition and rules bring no names.
          [](const auto&) {},
      },
      axiom);
}

std::vector<owl::Axiom> bottom_locality_module(const std::vector<owl::Axiom>& logical, Signature signature) {
  std::vector<bool> in_module(logical.size(), false);
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 0; i < logical.size(); ++i) {
      if (in_module[i] || is_bottom_local(logical[i], signature)) continue;
      in_module[i] = true;
      add_module_names(logical[i], signature);
      grew = true;
    }
  }
  std::vector<owl::Axiom> module;
  for (std::size_t i = 0; i < logical.size(); ++i)
    if (in_module[i]) module.push_back(logical[i]);
  return module;
}

}  // namespace kelmon::explain
