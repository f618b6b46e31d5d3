#include "core/convert/convert.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <random>

#include "core/convert/convert_support.h"
#include "core/convert/dropped.h"
#include "core/convert/role_chains.h"
#include "common/scoped_switch.h"

namespace kelmon {
namespace {

using namespace kelmon::testing;

std::vector<std::string> names(const auto& ns) {
  std::vector<std::string> out;
  for (const auto& n : ns.names()) out.push_back(*n);
  return out;
}

TEST(ConvertOntology, EmptyOntologyHoldsBottomThenTop) {
  auto o = convert_ofn("");
  EXPECT_EQ(o.vocabulary.classes.size(), 0u);
  EXPECT_EQ(o.vocabulary.roles.size(), 0u);
  EXPECT_EQ(o.vocabulary.individuals.size(), 0u);
  EXPECT_TRUE(o.axioms.empty());
  EXPECT_TRUE(o.dropped.empty());
  ASSERT_EQ(o.concepts.size(), 2u);
  EXPECT_TRUE(std::holds_alternative<Bottom>(o.concepts.get(ConceptId{0})));
  EXPECT_TRUE(std::holds_alternative<Top>(o.concepts.get(ConceptId{1})));
}

const char* kMixed[] = {
    "Declaration(Class(:Z))",
    "SubClassOf(:B ObjectSomeValuesFrom(:r :C))",
    "EquivalentClasses(:D ObjectIntersectionOf(:E ObjectAllValuesFrom(ObjectInverseOf(:s) :F)))",
    "DisjointClasses(:A :B :G)",
    "SubObjectPropertyOf(ObjectPropertyChain(:r :s :t :u) :v)",
    "TransitiveObjectProperty(:t)",
    "ClassAssertion(:A :i)",
    "ObjectPropertyAssertion(:r :i :j)",
    "SameIndividual(:k :j)",
    "ObjectPropertyDomain(:u ObjectUnionOf(:H :A))",
    "FunctionalObjectProperty(:w)",
};

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

TEST(ConvertOntology, IdsAndAxiomsDoNotDependOnDocumentOrder) {
  std::vector<std::string> lines(std::begin(kMixed), std::end(kMixed));
  auto reference = convert_ofn(join(lines));
  std::mt19937 rng(7);
  for (int round = 0; round < 5; ++round) {
    std::shuffle(lines.begin(), lines.end(), rng);
    auto o = convert_ofn(join(lines));
    EXPECT_EQ(names(o.vocabulary.classes), names(reference.vocabulary.classes));
    EXPECT_EQ(names(o.vocabulary.roles), names(reference.vocabulary.roles));
    EXPECT_EQ(names(o.vocabulary.individuals), names(reference.vocabulary.individuals));
    EXPECT_EQ(o.axioms, reference.axioms);
    EXPECT_EQ(o.concepts.size(), reference.concepts.size());
  }
  EXPECT_TRUE(std::is_sorted(reference.axioms.begin(), reference.axioms.end(),
                             [](const Axiom& a, const Axiom& b) { return axiom_less(a, b); }));
}

// Each reader numbers its own IRIs from 0, so in axioms gathered from two
// documents one number stands for two IRIs and one IRI has two numbers; an
// IRI made on its own has none.
TEST(ConvertOntology, AxiomsOfSeveralDocumentsConvertAsOne) {
  std::vector<std::string> lines(std::begin(kMixed), std::end(kMixed));
  auto reference = convert_ofn(join(lines));
  std::vector<std::string> first(lines.begin(), lines.begin() + lines.size() / 2);
  std::vector<std::string> second(lines.begin() + lines.size() / 2, lines.end());
  owl::LoadedOntology a = load_ofn(join(first)), b = load_ofn(join(second));
  owl::AxiomSet merged = a.axioms;
  for (const auto& axiom : b.axioms) merged.insert(axiom);
  merged.insert(owl::Axiom{owl::DeclareClass{owl::Class{owl::Iri("http://x/A")}}});
  merged.insert(owl::Axiom{owl::SubClassOf{owl::Class{owl::Iri("http://x/Z")}, owl::Class{owl::Iri("http://x/A")}}});
  lines.push_back("Declaration(Class(:A))");
  lines.push_back("SubClassOf(:Z :A)");
  reference = convert_ofn(join(lines));
  auto o = convert_ontology(merged);
  EXPECT_EQ(names(o.vocabulary.classes), names(reference.vocabulary.classes));
  EXPECT_EQ(names(o.vocabulary.roles), names(reference.vocabulary.roles));
  EXPECT_EQ(names(o.vocabulary.individuals), names(reference.vocabulary.individuals));
  EXPECT_EQ(o.axioms, reference.axioms);
  EXPECT_EQ(o.concepts.size(), reference.concepts.size());
}

TEST(ConvertOntology, HashOrderOnlyForExactlyOne) {
  std::vector<std::string> lines(std::begin(kMixed), std::end(kMixed));
  auto structural = convert_ofn(join(lines));
  auto still_structural = [&] {
    ScopedSwitch env(SwitchId::ConvertHashSort, "1 ");
    return convert_ofn(join(lines));
  }();
  EXPECT_EQ(names(still_structural.vocabulary.classes), names(structural.vocabulary.classes));
  EXPECT_EQ(names(still_structural.vocabulary.roles), names(structural.vocabulary.roles));
  ScopedSwitch env(SwitchId::ConvertHashSort, "1");
  auto hashed = convert_ofn(join(lines));
  // Same names and axioms under another interning order.
  auto sorted = [](std::vector<std::string> v) { std::sort(v.begin(), v.end()); return v; };
  EXPECT_EQ(sorted(names(hashed.vocabulary.classes)), sorted(names(structural.vocabulary.classes)));
  EXPECT_EQ(hashed.axioms.size(), structural.axioms.size());
}

TEST(ConvertOntology, UnsupportedKindsAreCountedByText) {
  auto o = convert_ofn(
      "HasKey(:A (:r) ()) HasKey(:B (:r) ())\n"
      "DatatypeDefinition(:dt xsd:integer)\n"
      "SubClassOf(:A :B)");
  std::map<std::string, std::uint64_t> expected = {{"DatatypeDefinition: unsupported data range", 1},
                                                   {"HasKey: unsupported axiom (HasKey)", 2}};
  EXPECT_EQ(o.dropped, expected);
  EXPECT_EQ(o.axioms.size(), 1u);
}

TEST(ConvertOntology, DataGateIsReadPerAxiomAndOnlyZeroCloses) {
  for (std::optional<std::string> value : {std::optional<std::string>(), std::optional<std::string>(""),
                                          std::optional<std::string>("false"), std::optional<std::string>("1"),
                                          std::optional<std::string>(" 0")}) {
    ScopedSwitch env(SwitchId::DataProperties, value);
    auto o = convert_ofn("FunctionalDataProperty(:p)");
    EXPECT_TRUE(o.dropped.empty()) << value.value_or("unset");
    EXPECT_TRUE(has_axiom(o, FunctionalRole{Role::named(role_id(o, "p"))}));
  }
  ScopedSwitch env(SwitchId::DataProperties, "0");
  auto o = convert_ofn("FunctionalDataProperty(:p) SubDataPropertyOf(:p :q) SubClassOf(:A :B)");
  std::map<std::string, std::uint64_t> expected = {{"FunctionalDataProperty: unsupported data range", 1},
                                                   {"SubDataPropertyOf: unsupported data range", 1}};
  EXPECT_EQ(o.dropped, expected);
  EXPECT_EQ(o.vocabulary.roles.size(), 0u);
}

TEST(ConvertOntology, PropertyAxiomsKeepTheirFlags) {
  auto o = convert_ofn(
      "InverseFunctionalObjectProperty(ObjectInverseOf(:p))\n"
      "InverseFunctionalObjectProperty(:q)\n"
      "InverseObjectProperties(ObjectInverseOf(:a) :b)\n"
      "SubDataPropertyOf(:d :e)\n"
      "ObjectPropertyAssertion(ObjectInverseOf(:r) :i :j)");
  Role p = Role::named(role_id(o, "p")), q = Role::named(role_id(o, "q"));
  EXPECT_TRUE(has_axiom(o, FunctionalRole{p}));
  EXPECT_TRUE(has_axiom(o, InverseFunctionalRole{q}));
  EXPECT_TRUE(has_axiom(o, InverseObjectProperties{Role::inverse_of(role_id(o, "a")), Role::named(role_id(o, "b"))}));
  EXPECT_TRUE(has_axiom(o, SubObjectPropertyOf{Single{Role::named(role_id(o, "d"))}, Role::named(role_id(o, "e"))}));
  EXPECT_TRUE(has_axiom(o, ObjectPropertyAssertion{Role::inverse_of(role_id(o, "r")), individual(o, "http://x/i"),
                                                   individual(o, "http://x/j")}));
}

TEST(ConvertOntology, NonLogicalComponentsChangeNothing) {
  auto o = convert_ofn(
      "Import(<http://x/other>)\n"
      "Annotation(rdfs:comment \"an ontology\")\n"
      "Declaration(DataProperty(:p)) Declaration(AnnotationProperty(:ap)) Declaration(Datatype(:dt))\n"
      "AnnotationAssertion(rdfs:label :A \"A\")\n"
      "SubAnnotationPropertyOf(:ap rdfs:label)\n"
      "DLSafeRule(Body(ClassAtom(:A Variable(:x))) Head(ClassAtom(:B Variable(:x))))");
  EXPECT_TRUE(o.axioms.empty());
  EXPECT_TRUE(o.dropped.empty());
  EXPECT_EQ(o.vocabulary.classes.size() + o.vocabulary.roles.size() + o.vocabulary.individuals.size(), 0u);
}

TEST(ConvertOntology, DeclarationsAreInternedEvenWithoutUse) {
  auto o = convert_ofn("Declaration(Class(:A)) Declaration(ObjectProperty(:r)) Declaration(NamedIndividual(:i))");
  EXPECT_TRUE(has_axiom(o, DeclareClass{class_id(o, "A")}));
  EXPECT_TRUE(has_axiom(o, DeclareObjectProperty{role_id(o, "r")}));
  EXPECT_TRUE(has_axiom(o, DeclareNamedIndividual{individual(o, "http://x/i")}));
}

TEST(ConvertOntology, LongChainsAreSplitIntoTwoRoleChains) {
  auto o = convert_ofn("SubObjectPropertyOf(ObjectPropertyChain(:r ObjectInverseOf(:s) :t) :v)");
  Role r = Role::named(role_id(o, "r")), s = Role::inverse_of(role_id(o, "s")), t = Role::named(role_id(o, "t"));
  Role v = Role::named(role_id(o, "v"));
  auto aux = o.vocabulary.roles.get("urn:kelmon-aux-role:0:1");
  ASSERT_TRUE(aux.has_value());
  Role a1 = Role::named(aux->id);
  EXPECT_TRUE(has_axiom(o, SubObjectPropertyOf{Chain{{r, s}}, a1}));
  EXPECT_TRUE(has_axiom(o, SubObjectPropertyOf{Chain{{a1, t}}, v}));
  EXPECT_EQ(o.axioms.size(), 2u);
}

struct ChainCase {
  size_t position;   // index of the long chain in the list
  size_t length;     // roles in it
};

class ChainSplit : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainSplit, AuxiliaryRolesAreNumberedByPositionAndStep) {
  InternalOntology o;
  std::vector<Role> roles;
  for (size_t i = 0; i < GetParam().length; ++i) roles.push_back(Role::named(o.vocabulary.roles.intern("r" + std::to_string(i))));
  Role sup = Role::named(o.vocabulary.roles.intern("sup"));
  for (size_t i = 0; i < GetParam().position; ++i) o.axioms.push_back(TransitiveRole{roles[0]});
  o.axioms.push_back(SubObjectPropertyOf{Chain{roles}, sup});
  o.axioms.push_back(SubObjectPropertyOf{Chain{{roles[0], roles[1]}}, sup});  // two roles: kept as is
  split_role_chains(o);

  const size_t n = GetParam().length, i = GetParam().position;
  ASSERT_EQ(o.axioms.size(), i + 1 + (n - 1));
  EXPECT_EQ(o.axioms[i], Axiom(SubObjectPropertyOf{Chain{{roles[0], roles[1]}}, sup}));
  auto aux = [&](size_t j) {
    auto e = o.vocabulary.roles.get("urn:kelmon-aux-role:" + std::to_string(i) + ":" + std::to_string(j));
    EXPECT_TRUE(e.has_value()) << j;
    return Role::named(e ? e->id : RoleId{});
  };
  EXPECT_EQ(o.axioms[i + 1], Axiom(SubObjectPropertyOf{Chain{{roles[0], roles[1]}}, aux(1)}));
  for (size_t j = 2; j <= n - 2; ++j)
    EXPECT_EQ(o.axioms[i + j], Axiom(SubObjectPropertyOf{Chain{{aux(j - 1), roles[j]}}, aux(j)}));
  EXPECT_EQ(o.axioms.back(), Axiom(SubObjectPropertyOf{Chain{{aux(n - 2), roles[n - 1]}}, sup}));
  EXPECT_EQ(o.vocabulary.roles.size(), n + 1 + (n - 2));
}

INSTANTIATE_TEST_SUITE_P(Table, ChainSplit,
                         ::testing::Values(ChainCase{7, 3}, ChainCase{0, 4}, ChainCase{2, 6}));

TEST(SplitRoleChains, ShortChainsLeaveTheListUntouched) {
  InternalOntology o;
  Role a = Role::named(o.vocabulary.roles.intern("a")), b = Role::named(o.vocabulary.roles.intern("b"));
  o.axioms = {SubObjectPropertyOf{Chain{{b, a}}, a}, TransitiveRole{a}, SubObjectPropertyOf{Single{a}, b}};
  auto before = o.axioms;
  split_role_chains(o);
  EXPECT_EQ(o.axioms, before);
  EXPECT_EQ(o.vocabulary.roles.size(), 2u);
}

TEST(DroppedReport, TextsByReason) {
  EXPECT_EQ(dropped_text("SubClassOf", Unsupported(UnsupportedDataRange{})), "SubClassOf: unsupported data range");
  EXPECT_EQ(dropped_text("HasKey", Unsupported(UnsupportedAxiom{"HasKey"})), "HasKey: unsupported axiom (HasKey)");
  EXPECT_EQ(dropped_text("ClassAssertion", Unsupported(AnonymousIndividual{})), "ClassAssertion: anonymous individual");
  EXPECT_EQ(dropped_text("SubClassOf", Unsupported(UnsupportedConcept{"X"})), "SubClassOf: unsupported concept (X)");
  EXPECT_EQ(dropped_kind_name(owl::AxiomKind::InverseObjectProperties), "Other");
  EXPECT_EQ(dropped_kind_name(owl::AxiomKind::SameIndividual), "Other");
  EXPECT_EQ(dropped_kind_name(owl::AxiomKind::NegativeDataPropertyAssertion), "NegativeDataPropertyAssertion");
  std::map<std::string, std::uint64_t> m;
  count_dropped_axiom(m, "b");
  count_dropped_axiom(m, "a");
  count_dropped_axiom(m, "b");
  EXPECT_EQ(m, (std::map<std::string, std::uint64_t>{{"a", 1}, {"b", 2}}));
}

}  // namespace
}  // namespace kelmon

namespace kelmon {
namespace {

using namespace kelmon::testing;

TEST(ConvertDataPasses, DomainUnionCoversClassesGivenAValue) {
  auto o = convert_ofn(
      "DataPropertyDomain(:p ObjectUnionOf(:A :B))\n"
      "SubClassOf(:X DataSomeValuesFrom(:p xsd:integer))\n"
      "SubClassOf(:A DataHasValue(:p \"1\"^^xsd:integer))");
  ConceptId a = atomic(o, "A"), b = atomic(o, "B");
  ConceptId a_or_b = pooled(o, Or{{std::min(a, b), std::max(a, b)}});
  EXPECT_TRUE(has_axiom(o, SubClassOf{atomic(o, "X"), a_or_b}));
  // A is one of the operands: nothing is added for it.
  EXPECT_FALSE(has_axiom(o, SubClassOf{a, a_or_b}));
}

TEST(ConvertDataPasses, ToldDataContradictionMakesTopBottom) {
  auto o = convert_ofn(
      "FunctionalDataProperty(:p)\n"
      "DataPropertyAssertion(:p :i \"1\"^^xsd:integer)\n"
      "DataPropertyAssertion(:p :i \"2\"^^xsd:integer)");
  EXPECT_TRUE(has_axiom(o, SubClassOf{pooled(o, Top{}), pooled(o, Bottom{})}));
}

TEST(ConvertDataPasses, UnkeyableRangeDropsTheAxiomButKeepsTheSubclassId) {
  auto o = convert_ofn("SubClassOf(:A DataAllValuesFrom(:p DataIntersectionOf(xsd:string xsd:integer)))");
  EXPECT_EQ(o.dropped, (std::map<std::string, std::uint64_t>{{"SubClassOf: unsupported data range", 1}}));
  EXPECT_TRUE(o.vocabulary.classes.get("http://x/A"));
}

}  // namespace
}  // namespace kelmon

#include "core/convert/visiting_order.h"
#include "owl/structural.h"

namespace kelmon {
namespace {

TEST(VisitingOrder, IsTheStructuralOrder) {
  std::string body;
  for (const char* line : kMixed) body += std::string(line) + "\n";
  // Long shared prefixes, names that are prefixes of others, and several kinds.
  for (int i = 0; i < 300; ++i) {
    std::string n = std::to_string((i * 7919) % 1000);
    body += "SubClassOf(:Common_prefix_" + n + " :Common_prefix_" + n + "0)\n";
    body += "Declaration(Class(:D" + n + "))\n";
  }
  auto loaded = testing::load_ofn(body);
  auto order = visiting_order(loaded.axioms);
  ASSERT_EQ(order.size(), loaded.axioms.size());
  for (size_t i = 1; i < order.size(); ++i) EXPECT_LT(owl::compare_axioms(*order[i - 1], *order[i]), 0) << i;
  auto hashed = [&] {
    ScopedSwitch env(SwitchId::ConvertHashSort, "1");
    return visiting_order(loaded.axioms);
  }();
  for (size_t i = 1; i < hashed.size(); ++i) {
    uint64_t a = owl::structural_hash(*hashed[i - 1]), b = owl::structural_hash(*hashed[i]);
    EXPECT_TRUE(a < b || (a == b && owl::compare_axioms(*hashed[i - 1], *hashed[i]) < 0)) << i;
  }
}

// Enough axioms of one kind for the radix sort, runs that tie on many bytes
// (twenty axioms per subclass, names that share a long prefix or are prefixes
// of each other, a text with low bytes), and keys that end inside a window.
TEST(VisitingOrder, IsTheStructuralOrderForLargeTyingRuns) {
  std::string body;
  for (int i = 0; i < 60; ++i) {
    std::string sub = ":A_long_shared_prefix_of_many_bytes_" + std::to_string(i % 30);
    for (int j = 0; j < 20; ++j) {
      std::string sup = ":B_another_long_shared_prefix_" + std::to_string((j * 7 + i) % 40);
      if (j % 3 == 0) sup += "_more";
      body += "SubClassOf(" + sub + " " + sup + ")\n";
    }
    body += "Declaration(Class(:D" + std::to_string(i) + "))\n";
    body += "Declaration(Class(:D" + std::to_string(i) + "0))\n";
    body += "AnnotationAssertion(:label :D" + std::to_string(i) + " \"x" + std::to_string(i % 4) + "\")\n";
  }
  body += std::string("AnnotationAssertion(:label :D1 \"x\x01y\")\n");
  auto loaded = testing::load_ofn(body);
  ASSERT_GT(loaded.axioms.size(), 700u);
  auto order = visiting_order(loaded.axioms, /*hash_order=*/false);
  ASSERT_EQ(order.size(), loaded.axioms.size());
  for (size_t i = 1; i < order.size(); ++i) EXPECT_LT(owl::compare_axioms(*order[i - 1], *order[i]), 0) << i;
}

}  // namespace
}  // namespace kelmon
