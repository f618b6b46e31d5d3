#include "reasoner/kernel/hyper_clause_set.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"
#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::class_id;
using kelmon::testing::convert_ofn;
using kelmon::testing::IrFixture;
using kelmon::testing::ScopedSwitch;

std::size_t count_clause(const std::vector<DlClause>& clauses, const DlClause& c) {
  return static_cast<std::size_t>(std::count(clauses.begin(), clauses.end(), c));
}

struct EntryCase {
  const char* name;
  const char* body;
  std::size_t entries;
};

class DefinitionEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DefinitionEntries, NeedAtomicConjunctsAndAtLeastOneAtomicExistential) {
  auto ir = convert_ofn(GetParam().body);
  auto set = build_hyper_clause_set(ir);
  ASSERT_EQ(set->definition_entries.size(), GetParam().entries);
  if (GetParam().entries == 1) {
    const DefinitionEntry& e = set->definition_entries[0];
    EXPECT_EQ(e.cls, class_id(ir, "A").v);
    EXPECT_EQ(e.conjuncts, std::vector<std::uint32_t>{class_id(ir, "B").v});
    ASSERT_EQ(e.existentials.size(), 1u);
    EXPECT_EQ(e.existentials[0].second, class_id(ir, "C").v);
    EXPECT_EQ(set->entries_by_conjunct.at(class_id(ir, "B").v), std::vector<std::uint32_t>{0});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefinitionEntries,
    ::testing::Values(
        EntryCase{"ConjunctAndExistential", "EquivalentClasses(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))", 1},
        EntryCase{"NoExistential", "EquivalentClasses(:A ObjectIntersectionOf(:B :C))", 0},
        EntryCase{"ComplexFiller",
                  "EquivalentClasses(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r ObjectIntersectionOf(:C :D))))",
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HyperClauseSet, ProbeIdIsZeroForAnEmptyOntology) {
  InternalOntology empty;
  EXPECT_EQ(build_hyper_clause_set(empty)->probe_id, 0u);
}

TEST(HyperClauseSet, ProbeIdFollowsClassesAndIndividualsAndComplementsFollowIt) {
  // Three classes, two individuals; the negated definition ¬B ⊔ ¬C needs two complements.
  auto ir = convert_ofn(
      "Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C))"
      "EquivalentClasses(:A ObjectIntersectionOf(:B :C)) DifferentIndividuals(:a :b)");
  ASSERT_EQ(ir.vocabulary.classes.size(), 3u);
  auto set = build_hyper_clause_set(ir);
  EXPECT_EQ(set->probe_id, 5u);
  const std::uint32_t b = class_id(ir, "B").v, c = class_id(ir, "C").v;
  const auto& atoms = set->negated_definitions.at(class_id(ir, "A").v);
  ASSERT_EQ(atoms.size(), 2u);
  EXPECT_EQ(atoms[0], concept_atom(6, 0));
  EXPECT_EQ(atoms[1], concept_atom(7, 0));
  EXPECT_EQ(count_clause(set->clauses, {{concept_atom(std::min(b, c), 0), concept_atom(6, 0)}, {}}), 1u);
}

TEST(HyperClauseSet, NegatedDefinitionWithAUnionFillerIsLeftOut) {
  auto ir = convert_ofn(
      "EquivalentClasses(:A ObjectAllValuesFrom(:r ObjectIntersectionOf(:B ObjectSomeValuesFrom(:s :C))))");
  auto set = build_hyper_clause_set(ir);
  EXPECT_FALSE(set->negated_definitions.contains(class_id(ir, "A").v));
}

TEST(HyperClauseSet, DifferentIndividualsGiveOneClausePerPairOfDistinctIndividuals) {
  IrFixture f;
  f.cid("A");
  const IndividualId a = f.ind("a"), b = f.ind("b");
  f.add(DifferentIndividuals{{a, b}});
  f.add(DifferentIndividuals{{a, b}});
  f.add(DifferentIndividuals{{a, a}});
  std::vector<DlClause> clauses;
  add_different_individual_clauses(f.ir.axioms, 1, clauses);
  const DlClause ab{{concept_atom(1, 0), concept_atom(2, 0)}, {}};
  EXPECT_EQ(clauses, (std::vector<DlClause>{ab, ab}));
}

TEST(HyperClauseSet, SeedsComeFromSaturationAndAreOffWithTheSwitch) {
  const char* body = "SubClassOf(:A :B) SubClassOf(:B ObjectSomeValuesFrom(:r :C))";
  {
    auto ir = convert_ofn(body);
    auto set = build_hyper_clause_set(ir);
    ASSERT_TRUE(set->seed_subsumers && set->seed_links);
    const std::uint32_t a = class_id(ir, "A").v;
    EXPECT_EQ((*set->seed_subsumers)[a], std::vector<std::uint32_t>{class_id(ir, "B").v});
    ASSERT_EQ((*set->seed_links)[a].size(), 1u);
    EXPECT_EQ((*set->seed_links)[a][0].second, class_id(ir, "C").v);
  }
  ScopedSwitch off(SwitchId::SatSeed, "0");
  ScopedSwitch value_types(SwitchId::ValueTypeDisjoint, "1");
  auto set = build_hyper_clause_set(convert_ofn(body));
  EXPECT_FALSE(set->seed_subsumers);
  EXPECT_FALSE(set->seed_links);
  EXPECT_TRUE(!set->loose_disjoint_pairs || set->loose_disjoint_pairs->empty());
}

TEST(HyperClauseSet, ValueTypePairsFromFunctionalLinksToDifferentIndividuals) {
  const char* body =
      "FunctionalObjectProperty(:r) DifferentIndividuals(:a :b)"
      "SubClassOf(:X ObjectHasValue(:r :a)) SubClassOf(:Y ObjectHasValue(:r :b))";
  ScopedSwitch loose(SwitchId::ClassifyAmortizeIdx, "0");
  auto ir = convert_ofn(body);
  auto set = build_hyper_clause_set(ir);
  const std::uint32_t x = class_id(ir, "X").v, y = class_id(ir, "Y").v;
  ASSERT_TRUE(set->loose_disjoint_pairs);
  EXPECT_EQ(*set->loose_disjoint_pairs,
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{std::min(x, y), std::max(x, y)}}));
}

TEST(HyperClauseSet, TautologyPairsFromComplementDefinitions) {
  auto ir = convert_ofn("EquivalentClasses(:A ObjectComplementOf(:B))");
  auto set = build_hyper_clause_set(ir);
  ASSERT_TRUE(set->tautology_pairs);
  const std::uint64_t a = class_id(ir, "A").v, b = class_id(ir, "B").v;
  EXPECT_TRUE(set->tautology_pairs->contains((a << 32) | b));
  EXPECT_TRUE(set->tautology_pairs->contains((b << 32) | a));
  ScopedSwitch off(SwitchId::TautologySkip, "");
  EXPECT_FALSE(build_hyper_clause_set(ir)->tautology_pairs);
}

TEST(HyperClauseSet, TheProbeTriggerIsReservedRightAfterTheBaseClauses) {
  auto ir = convert_ofn("SubClassOf(:A :B)");
  auto set = build_hyper_clause_set(ir);
  EXPECT_EQ(set->indexes->compiled.size(), set->clauses.size() + 1);
  EXPECT_TRUE(set->indexes->centre_concept_triggers.any(set->probe_id));
}

struct ExactCase {
  const char* name;
  const char* body;
  bool hyper_exact;
  bool wedge_exact;
};

class Exactness : public ::testing::TestWithParam<ExactCase> {};

TEST_P(Exactness, ModelsAreTrustedOnlyFromCompleteTranslations) {
  auto ir = convert_ofn(GetParam().body);
  EXPECT_EQ(build_hyper_clause_set(ir)->sat_exact, GetParam().hyper_exact);
  EXPECT_EQ(build_wedge_clause_set(ir).exact, GetParam().wedge_exact);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Exactness,
    ::testing::Values(
        ExactCase{"PlainTbox", "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) ClassAssertion(:A :a)", true, true},
        ExactCase{"NominalInTbox", "SubClassOf(:A ObjectHasValue(:r :b))", true, true},
        ExactCase{"NumberOverDataKey",
                  "SubClassOf(:A DataMinCardinality(2 :d xsd:integer)) DataPropertyAssertion(:d :a \"1\"^^xsd:integer)",
                  false, false},
        ExactCase{"RoleHierarchyInIndex", "SubObjectPropertyOf(:s :r) SubClassOf(:A ObjectSomeValuesFrom(:s :B))",
                  true, true},
        ExactCase{"RoleCharacteristicsBecomeClauses",
                  "AsymmetricObjectProperty(:r) IrreflexiveObjectProperty(:r) ReflexiveObjectProperty(:s)"
                  "InverseFunctionalObjectProperty(:r) DisjointObjectProperties(:r :s)",
                  true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Exactness, AValueExcludedAmongThreeKeysChecksEachModelInsteadOfDistrustingAll) {
  const char* three =
      "SubClassOf(:A DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer))) "
      "SubClassOf(:B DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:maxInclusive \"9\"^^xsd:integer))) "
      "SubClassOf(:C ObjectComplementOf(DataHasValue(:p \"5\"^^xsd:integer)))";
  auto ir = convert_ofn(three);
  auto set = build_hyper_clause_set(ir);
  EXPECT_TRUE(set->sat_exact);
  ASSERT_TRUE(set->key_check);
  EXPECT_FALSE(set->key_check->tested.empty());
  EXPECT_TRUE(build_wedge_clause_set(ir).key_check);
  // Without an excluded value the key axioms say everything.
  EXPECT_FALSE(build_hyper_clause_set(convert_ofn("SubClassOf(:A DataSomeValuesFrom(:p xsd:integer))"))->key_check);
}

TEST(Exactness, AValueRequiredOutsideAKeyChecksEveryNodeAndCoversTheKeys) {
  const char* bands =
      "DataPropertyRange(:p xsd:nonNegativeInteger)"
      "SubClassOf(:A DataSomeValuesFrom(:p DataComplementOf(DatatypeRestriction(xsd:nonNegativeInteger "
      "xsd:maxExclusive \"10\"^^xsd:integer))))"
      "SubClassOf(:B DataAllValuesFrom(:p DatatypeRestriction(xsd:nonNegativeInteger "
      "xsd:minInclusive \"10\"^^xsd:integer xsd:maxExclusive \"20\"^^xsd:integer)))"
      "SubClassOf(:C DataAllValuesFrom(:p DatatypeRestriction(xsd:nonNegativeInteger "
      "xsd:minInclusive \"20\"^^xsd:integer)))"
      "SubClassOf(:D DataAllValuesFrom(:p DatatypeRestriction(xsd:nonNegativeInteger "
      "xsd:minInclusive \"65\"^^xsd:integer)))";
  auto ir = convert_ofn(bands);
  auto set = build_hyper_clause_set(ir);
  EXPECT_TRUE(set->sat_exact);
  EXPECT_TRUE(build_wedge_clause_set(ir).exact);
  ASSERT_TRUE(set->key_check);
  EXPECT_TRUE(set->key_check->keyless_nodes);
  // The range splits into the three bands (the fourth lies inside the third):
  // one clause, range → <10 ∨ [10,20) ∨ ≥20.
  std::vector<const DlClause*> covers;
  for (const DlClause& c : set->clauses)
    if (c.head.size() >= 2 && std::all_of(c.head.begin(), c.head.end(), [&](const ClauseAtom& a) {
          return set->key_check->keys.contains(a.a);
        }))
      covers.push_back(&c);
  ASSERT_EQ(covers.size(), 1u);
  EXPECT_EQ(covers[0]->head.size(), 3u);
  // Disjoint roles that carry values still leave the models untrusted.
  EXPECT_FALSE(build_hyper_clause_set(convert_ofn(std::string(bands) + "DisjointObjectProperties(:p :q)"))->sat_exact);
}

TEST(Exactness, AHierarchyLeftOutOfTheIndexMakesModelsUntrusted) {
  auto ir = convert_ofn("SubObjectPropertyOf(:s :r) SubClassOf(:A ObjectSomeValuesFrom(:s :B))");
  ScopedSwitch off(SwitchId::ClassifyRoleHierarchy, "0");
  auto set = build_hyper_clause_set(ir);
  EXPECT_FALSE(set->hierarchy_in_index);
  EXPECT_FALSE(set->sat_exact);
  // Without a hierarchy worth carrying the models stay trusted.
  EXPECT_TRUE(build_hyper_clause_set(convert_ofn("SubClassOf(:A ObjectSomeValuesFrom(:s :B))"))->sat_exact);
}

TEST(WedgeClauseSet, ClassAssertionsBecomeNominalInclusionsAndRolesAreFolded) {
  auto ir = convert_ofn(
      "InverseObjectProperties(:p :q) ObjectPropertyAssertion(:q :a :b) ClassAssertion(:A :a)"
      "SameIndividual(:a :c) AsymmetricObjectProperty(:p)");
  WedgeClauseSet set = build_wedge_clause_set(ir);
  const std::uint32_t k = static_cast<std::uint32_t>(ir.vocabulary.classes.size());
  const std::uint32_t a = kelmon::testing::individual(ir, "http://x/a").v;
  const std::uint32_t b = kelmon::testing::individual(ir, "http://x/b").v;
  const std::uint32_t c = kelmon::testing::individual(ir, "http://x/c").v;
  EXPECT_EQ(set.class_count, k);
  EXPECT_EQ(set.abox.first_nominal, k);
  EXPECT_EQ(set.abox.individual_count, 3u);
  EXPECT_EQ(count_clause(set.clauses, {{concept_atom(k + a, 0)}, {concept_atom(class_id(ir, "A").v, 0)}}), 1u);
  // q stands for the inverse of p: the edge q(a, b) is stored as p(b, a).
  const std::uint32_t p = kelmon::testing::role_id(ir, "p").v;
  ASSERT_EQ(set.abox.role_assertions.size(), 1u);
  EXPECT_EQ(set.abox.role_assertions[0].role, p);
  EXPECT_EQ(set.abox.role_assertions[0].subject, b);
  EXPECT_EQ(set.abox.role_assertions[0].object, a);
  EXPECT_EQ(set.abox.equalities, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{std::min(a, c), std::max(a, c)}}));
  const Role rp = Role::named(RoleId{p});
  EXPECT_EQ(count_clause(set.clauses, {{role_atom(0, 1, rp), role_atom(1, 0, rp)}, {}}), 1u);
  EXPECT_TRUE(set.exact);
}

}  // namespace
}  // namespace kelmon::reasoner
