#include "core/convert/class_expression.h"

#include <span>

#include "common/overload.h"
#include "core/convert/data_restrictions.h"
#include "core/convert/name_cache.h"

namespace kelmon {

namespace {

using owl::ClassExpression;

// One pending class expression of the explicit walk. Its converted operands
// (or single filler), in document order, are the operand stack from `base` on.
struct Frame {
  const ClassExpression* expression;
  std::uint32_t base = 0;
  std::uint32_t next_child = 0;
  bool entered = false;
  Role role{};
};

// The walk's two stacks, kept per thread so that converting an expression
// allocates nothing but what the concepts themselves hold.
struct Walk {
  std::vector<Frame> frames;
  std::vector<ConceptId> operands;
};
thread_local Walk walk;

// Empties the stacks after a walk, and frees them after an unusually deep one.
struct WalkReset {
  static constexpr std::size_t kKeep = 1024;
  ~WalkReset() {
    walk.frames.clear();
    walk.operands.clear();
    if (walk.frames.capacity() > kKeep) std::vector<Frame>().swap(walk.frames);
    if (walk.operands.capacity() > kKeep) std::vector<ConceptId>().swap(walk.operands);
  }
};

// The operands that are themselves class expressions, in conversion order.
const ClassExpression* child_at(const ClassExpression& e, size_t i) {
  return std::visit(Overload{
                        [&](const owl::ObjectIntersectionOf& x) -> const ClassExpression* {
                          return i < x.operands.size() ? &x.operands[i] : nullptr;
                        },
                        [&](const owl::ObjectUnionOf& x) -> const ClassExpression* {
                          return i < x.operands.size() ? &x.operands[i] : nullptr;
                        },
                        [&](const owl::ObjectComplementOf& x) -> const ClassExpression* {
                          return i == 0 ? &x.operand : nullptr;
                        },
                        [&](const owl::ObjectSomeValuesFrom& x) -> const ClassExpression* {
                          return i == 0 ? &x.filler : nullptr;
                        },
                        [&](const owl::ObjectAllValuesFrom& x) -> const ClassExpression* {
                          return i == 0 ? &x.filler : nullptr;
                        },
                        [&](const owl::ObjectMinCardinality& x) -> const ClassExpression* {
                          return i == 0 ? &x.filler : nullptr;
                        },
                        [&](const owl::ObjectMaxCardinality& x) -> const ClassExpression* {
                          return i == 0 ? &x.filler : nullptr;
                        },
                        [&](const owl::ObjectExactCardinality& x) -> const ClassExpression* {
                          return i == 0 ? &x.filler : nullptr;
                        },
                        [](const auto&) -> const ClassExpression* { return nullptr; },
                    },
                    e.data());
}

// Work done before the operands: the role of a restriction is interned first.
void enter(Frame& f, InternalOntology& onto) {
  std::visit(Overload{
                 [&](const owl::ObjectSomeValuesFrom& x) { f.role = object_property_role(x.property, onto); },
                 [&](const owl::ObjectAllValuesFrom& x) { f.role = object_property_role(x.property, onto); },
                 [&](const owl::ObjectMinCardinality& x) { f.role = object_property_role(x.property, onto); },
                 [&](const owl::ObjectMaxCardinality& x) { f.role = object_property_role(x.property, onto); },
                 [&](const owl::ObjectExactCardinality& x) { f.role = object_property_role(x.property, onto); },
                 [](const auto&) {},
             },
             f.expression->data());
}

// Builds the concept once every operand is converted.
UnsupportedOr<ConceptId> finish(const Frame& f, std::span<const ConceptId> parts, InternalOntology& onto) {
  ConceptPool& pool = onto.concepts;
  return std::visit(
      Overload{
          [&](const owl::Class& x) -> UnsupportedOr<ConceptId> {
            std::string_view iri = x.iri.str();
            if (iri == kOwlThing) return pool.intern(Top{});
            if (iri == kOwlNothing) return pool.intern(Bottom{});
            return intern_atomic(x.iri, onto);
          },
          [&](const owl::ObjectIntersectionOf&) -> UnsupportedOr<ConceptId> {
            if (parts.empty()) return pool.intern(Top{});
            return pool.mk_and(std::vector<ConceptId>(parts.begin(), parts.end()));
          },
          [&](const owl::ObjectUnionOf&) -> UnsupportedOr<ConceptId> {
            if (parts.empty()) return pool.intern(Bottom{});
            return pool.mk_or(std::vector<ConceptId>(parts.begin(), parts.end()));
          },
          [&](const owl::ObjectComplementOf&) -> UnsupportedOr<ConceptId> { return pool.intern(Not{parts[0]}); },
          [&](const owl::ObjectOneOf& x) -> UnsupportedOr<ConceptId> {
            if (x.individuals.empty()) return pool.intern(Bottom{});
            std::vector<ConceptId> nominals;
            nominals.reserve(x.individuals.size());
            for (const auto& a : x.individuals) nominals.push_back(pool.intern(Nominal{individual_id(a, onto)}));
            return pool.mk_or(std::move(nominals));
          },
          [&](const owl::ObjectSomeValuesFrom&) -> UnsupportedOr<ConceptId> {
            return pool.intern(Some{parts[0], f.role});
          },
          [&](const owl::ObjectAllValuesFrom&) -> UnsupportedOr<ConceptId> {
            return pool.intern(All{parts[0], f.role});
          },
          [&](const owl::ObjectHasValue& x) -> UnsupportedOr<ConceptId> {
            Role role = object_property_role(x.property, onto);
            IndividualId a = individual_id(x.individual, onto);
            ConceptId nominal = pool.intern(Nominal{a});
            return pool.intern(Some{nominal, role});
          },
          [&](const owl::ObjectHasSelf& x) -> UnsupportedOr<ConceptId> {
            return pool.intern(Self{object_property_role(x.property, onto)});
          },
          [&](const owl::ObjectMinCardinality& x) -> UnsupportedOr<ConceptId> {
            return pool.mk_min(x.cardinality, f.role, parts[0]);
          },
          [&](const owl::ObjectMaxCardinality& x) -> UnsupportedOr<ConceptId> {
            return pool.intern(Max{x.cardinality, parts[0], f.role});
          },
          [&](const owl::ObjectExactCardinality& x) -> UnsupportedOr<ConceptId> {
            ConceptId at_least = pool.mk_min(x.cardinality, f.role, parts[0]);
            ConceptId at_most = pool.intern(Max{x.cardinality, parts[0], f.role});
            return pool.mk_and_pair(at_least, at_most);
          },
          [&](const owl::DataSomeValuesFrom& x) { return convert_data_some(x, onto); },
          [&](const owl::DataAllValuesFrom& x) { return convert_data_all(x, onto); },
          [&](const owl::DataHasValue& x) { return convert_data_has_value(x, onto); },
          [&](const owl::DataMinCardinality& x) {
            return convert_data_cardinality(x.cardinality, x.property, x.filler, CardinalityMode::AtLeast, onto);
          },
          [&](const owl::DataMaxCardinality& x) {
            return convert_data_cardinality(x.cardinality, x.property, x.filler, CardinalityMode::AtMost, onto);
          },
          [&](const owl::DataExactCardinality& x) {
            return convert_data_cardinality(x.cardinality, x.property, x.filler, CardinalityMode::Exact, onto);
          },
      },
      f.expression->data());
}

}  // namespace

UnsupportedOr<ConceptId> convert_class_expression(const owl::ClassExpression& expression, InternalOntology& onto) {
  if (owl::kind_of(expression) == owl::ClassExpressionKind::Class) {
    return finish(Frame{&expression}, {}, onto);  // most operands are names: no walk needed
  }
  WalkReset reset;
  std::vector<Frame>& stack = walk.frames;
  std::vector<ConceptId>& operands = walk.operands;
  stack.push_back(Frame{&expression});
  for (;;) {
    Frame& top = stack.back();
    if (!top.entered) {
      top.entered = true;
      enter(top, onto);
    }
    if (const ClassExpression* child = child_at(*top.expression, top.next_child)) {
      ++top.next_child;
      stack.push_back(Frame{child, static_cast<std::uint32_t>(operands.size())});
      continue;
    }
    auto done = finish(top, std::span<const ConceptId>(operands).subspan(top.base), onto);
    if (!done) return done;  // a failure fails every enclosing expression
    operands.resize(top.base);
    stack.pop_back();
    if (stack.empty()) return done;
    operands.push_back(*done);
  }
}

UnsupportedOr<std::vector<ConceptId>> convert_class_expression_list(const std::vector<owl::ClassExpression>& list,
                                                                    InternalOntology& onto) {
  std::vector<ConceptId> out;
  out.reserve(list.size());
  for (const auto& e : list) {
    auto c = convert_class_expression(e, onto);
    if (!c) return std::unexpected(c.error());
    out.push_back(*c);
  }
  return out;
}

IndividualId individual_id(const owl::Individual& individual, InternalOntology& onto) {
  if (const auto* named = std::get_if<owl::NamedIndividual>(&individual)) {
    return intern_individual(named->iri, onto);
  }
  const auto& anon = std::get<owl::AnonymousIndividual>(individual);
  std::string name(kAnonIndividualPrefix);
  name += anon.node_id.str();
  return onto.vocabulary.individuals.intern(name);
}

std::vector<IndividualId> individual_ids(const std::vector<owl::Individual>& individuals, InternalOntology& onto) {
  std::vector<IndividualId> out;
  out.reserve(individuals.size());
  for (const auto& a : individuals) out.push_back(individual_id(a, onto));
  return out;
}

Role object_property_role(const owl::ObjectPropertyExpression& property, InternalOntology& onto) {
  RoleId id = intern_role(owl::named_property(property).iri, onto);
  return Role{owl::is_inverse(property) ? 1u : 0u, id};
}

std::vector<Role> object_property_ids(const std::vector<owl::ObjectPropertyExpression>& properties,
                                      InternalOntology& onto) {
  std::vector<Role> out;
  out.reserve(properties.size());
  for (const auto& p : properties) out.push_back(object_property_role(p, onto));
  return out;
}

}  // namespace kelmon
