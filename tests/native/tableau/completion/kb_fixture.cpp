#include "kb_fixture.h"

#include <gtest/gtest.h>

#include "common/overload.h"
#include "core/convert/convert.h"
#include "core/data/dkey_encode.h"
#include "core/data/dkey_value.h"
#include "owl/functional_reader.h"

namespace kelmon::completion::testing {

std::string ofn_document(const std::string& body) {
  return "Prefix(:=<http://x/>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
         "Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\nOntology(<http://x/o>\n" +
         body + "\n)";
}

Kb::Kb(const std::string& ofn_body) {
  auto loaded = owl::read_functional(ofn_document(ofn_body));
  if (!loaded) {
    ADD_FAILURE() << loaded.error().to_string();
    return;
  }
  ir = convert_ontology(loaded->axioms);
  prepare();
}

Kb::Kb(InternalOntology ontology) : ir(std::move(ontology)) { prepare(); }

void Kb::prepare() {
  profile = logic_profile(ir);
  hierarchy = build_directed_role_hierarchy(ir);
  pool = ir.concepts.clone();
  std::vector<Axiom> axioms = nnf_axioms(ir.axioms, pool);
  // Role axioms the tableau reads as concepts: irreflexive, reflexive and functional roles.
  const ConceptId top = pool.intern(Top{});
  for (const Axiom& a : ir.axioms) {
    if (const auto* r = std::get_if<IrreflexiveRole>(&a))
      axioms.push_back(SubClassOf{top, pool.intern(Not{pool.intern(Self{r->role})})});
    if (const auto* r = std::get_if<ReflexiveRole>(&a)) axioms.push_back(SubClassOf{top, pool.intern(Self{r->role})});
    if (const auto* r = std::get_if<FunctionalRole>(&a)) axioms.push_back(SubClassOf{top, pool.intern(Max{1, top, r->role})});
    if (const auto* r = std::get_if<InverseFunctionalRole>(&a))
      axioms.push_back(SubClassOf{top, pool.intern(Max{1, top, inverse_role(r->role)})});
  }
  tbox = absorb_tbox(axioms, pool);
  pool.intern(Bottom{});
  // Complements of at-most fillers, for the choice between C and ¬C.
  const std::size_t count = pool.size();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (const Max* m = std::get_if<Max>(&pool.get(ConceptId{i}))) pool.nnf_not(m->filler);
  }
}

ClassId Kb::class_id(std::string_view local) const {
  auto e = ir.vocabulary.classes.get("http://x/" + std::string(local));
  EXPECT_TRUE(e.has_value()) << local;
  return e ? e->id : ClassId{~0u};
}

RoleId Kb::role_id(std::string_view local) const {
  auto e = ir.vocabulary.roles.get("http://x/" + std::string(local));
  EXPECT_TRUE(e.has_value()) << local;
  return e ? e->id : RoleId{~0u};
}

IndividualId Kb::individual(std::string_view local) const {
  auto e = ir.vocabulary.individuals.get("http://x/" + std::string(local));
  EXPECT_TRUE(e.has_value()) << local;
  return e ? e->id : IndividualId{~0u};
}

std::unique_ptr<TableauContext> Kb::context(bool anywhere) {
  auto ctx = std::make_unique<TableauContext>(pool, &tbox, &hierarchy);
  ctx->set_anywhere_blocking(anywhere);
  ctx->inverse_roles = profile == 0;
  for (std::uint32_t c = 0; c < ir.vocabulary.classes.size(); ++c) {
    const auto name = ir.vocabulary.classes.name(ClassId{c});
    if (auto v = decode_dkey_value(name)) ctx->data_ranges.emplace(ClassId{c}, std::move(*v));
  }
  for (const Axiom& a : ir.axioms) {
    std::visit(Overload{
                   [&](const InverseObjectProperties& x) { ctx->add_inverse_pair(x.first.id, x.second.id); },
                   [&](const SymmetricRole& x) { ctx->add_inverse_pair(x.role.id, x.role.id); },
                   [&](const TransitiveRole& x) { ctx->role_chains.push_back({x.role, x.role, x.role}); },
                   [&](const SubObjectPropertyOf& x) {
                     if (const Chain* c = std::get_if<Chain>(&x.sub); c && c->roles.size() == 2)
                       ctx->role_chains.push_back({c->roles[0], c->roles[1], x.sup});
                   },
                   [&](const AsymmetricRole& x) { ctx->asymmetric_roles.push_back(x.role.id); },
                   [&](const DisjointObjectProperties& x) {
                     for (std::size_t i = 0; i < x.roles.size(); ++i) {
                       for (std::size_t j = i + 1; j < x.roles.size(); ++j)
                         if (x.roles[i] != x.roles[j]) ctx->disjoint_role_pairs.emplace_back(x.roles[i], x.roles[j]);
                     }
                   },
                   [](const auto&) {},
               },
               a);
  }
  for (std::uint32_t i = 0; i < pool.size(); ++i) {
    if (const Max* m = std::get_if<Max>(&pool.get(ConceptId{i}))) {
      const ConceptId k = pool.nnf_not(m->filler);
      ctx->set_complement(m->filler, k);
      ctx->set_complement(k, m->filler);
    }
  }
  // Individuals: one node each, then the facts about them.
  std::vector<NodeId> node_of(ir.vocabulary.individuals.size());
  for (std::uint32_t i = 0; i < node_of.size(); ++i) {
    node_of[i] = ctx->add_trailed_node(std::nullopt, std::nullopt);
    ctx->add_label(node_of[i], pool.intern(Nominal{IndividualId{i}}), DepSet{});
    ctx->set_nominal_node(i, node_of[i]);
  }
  for (const Axiom& a : ir.axioms) {
    std::visit(Overload{
                   [&](const ClassAssertion& x) {
                     ctx->add_label(node_of[x.individual.v], pool.nnf(x.concept_id), DepSet{});
                   },
                   [&](const ObjectPropertyAssertion& x) {
                     NodeId s = node_of[x.subject.v], o = node_of[x.object.v];
                     if (x.role.inverse) std::swap(s, o);
                     ctx->add_edge(s, x.role.id, o, DepSet{});
                   },
                   [&](const DifferentIndividuals& x) {
                     for (std::size_t i = 0; i < x.individuals.size(); ++i) {
                       for (std::size_t j = i + 1; j < x.individuals.size(); ++j)
                         ctx->mark_distinct(node_of[x.individuals[i].v], node_of[x.individuals[j].v]);
                     }
                   },
                   [](const auto&) {},
               },
               a);
  }
  return ctx;
}

std::unique_ptr<TableauContext> Kb::context_for(ConceptId test, bool anywhere) {
  auto ctx = context(anywhere);
  const NodeId node = ctx->add_trailed_node(std::nullopt, std::nullopt);
  ctx->add_label(node, test, DepSet{});
  return ctx;
}

SearchOutcome::Tag Kb::satisfiable(std::string_view local, bool anywhere) {
  auto ctx = context_for(atom(local), anywhere);
  return search(*ctx, 1000).tag;
}

}  // namespace kelmon::completion::testing
