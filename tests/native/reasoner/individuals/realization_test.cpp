#include "reasoner/individuals/realization.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <string>
#include <string_view>

#include "core/convert/convert.h"
#include "owl/load.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/individuals/instance_retrieval.h"

namespace kelmon::reasoner {
namespace {

InternalOntology ontology(std::string_view axioms) {
  auto loaded = owl::parse_ontology_text(
      "Prefix(:=<http://x/>) Prefix(owl:=<http://www.w3.org/2002/07/owl#>) Ontology(<http://x/o> " +
          std::string(axioms) + ")",
      "ofn");
  EXPECT_TRUE(loaded) << loaded.error();
  return loaded ? convert_ontology(loaded->axioms) : InternalOntology{};
}

std::string short_names(const std::vector<std::string>& iris) {
  std::string out;
  for (const std::string& iri : iris) {
    if (!out.empty()) out += ' ';
    out += std::string_view(iri).substr(std::string_view("http://x/").size());
  }
  return out;
}

// "a:A,B b: c:C": the listed individuals and their most specific types, each sorted.
std::string realization_text(const Realization& r) {
  std::vector<std::string> listed = r.individuals;
  std::sort(listed.begin(), listed.end());
  std::string out;
  for (const std::string& iri : listed) {
    if (!out.empty()) out += ' ';
    std::vector<std::string> specific = r.most_specific_types(iri);
    std::sort(specific.begin(), specific.end());
    std::string types = short_names(specific);
    for (char& ch : types) ch = ch == ' ' ? ',' : ch;
    out += short_names({iri}) + ':' + types;
  }
  return out;
}

// Sets an environment variable for one scope (nullptr unsets it).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct RealizeCase {
  const char* name;
  const char* axioms;
  const char* expected;
};

class RealizeBothRoutes : public ::testing::TestWithParam<std::tuple<RealizeCase, const char*, const char*>> {};

TEST_P(RealizeBothRoutes, GivesTheMostSpecificTypes) {
  const auto& [c, saturation, pseudo] = GetParam();
  ScopedEnv s("KELMON_REALIZE_SATURATION", saturation);
  ScopedEnv p("KELMON_PSEUDO_MODEL", pseudo);
  const InternalOntology ir = ontology(c.axioms);
  auto r = realize_internal(ir);
  ASSERT_TRUE(r);
  EXPECT_EQ(realization_text(*r), c.expected);
  // Listed in id order, anonymous ones left out; types keep class id order.
  std::vector<std::string> named;
  for (const auto& name : ir.vocabulary.individuals.names())
    if (!name->starts_with("urn:kelmon-anon:")) named.push_back(*name);
  EXPECT_EQ(r->individuals, named);
  for (const std::string& iri : r->individuals) {
    std::vector<ClassId> ids;
    for (const std::string& t : r->types_of(iri)) ids.push_back(ir.vocabulary.classes.get(t)->id);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(r->types.size(), r->most_specific.size());
  }
  EXPECT_FALSE(r->any_timed_out);
}

const RealizeCase kRealizeCases[] = {
    {"el", "SubClassOf(:A :B) ClassAssertion(:A :a) ClassAssertion(:C :b) Declaration(NamedIndividual(:c))",
     "a:A b:C c:"},
    {"forall", "SubClassOf(:A ObjectAllValuesFrom(:r :C)) ClassAssertion(:A :a) ObjectPropertyAssertion(:r :a :b)",
     "a:A b:C"},
    {"case_split",
     "SubClassOf(owl:Thing ObjectUnionOf(:A :B)) ClassAssertion(ObjectComplementOf(:B) :a)", "a:A"},
    {"equivalent_types", "EquivalentClasses(:A :B) ClassAssertion(:A :a) SubClassOf(:B :C)", "a:A,B"},
    // An assertion over an inverse property states the named one the other way round.
    {"inverse_assertion",
     "ObjectPropertyDomain(:r :D) ObjectPropertyRange(:r :R) ObjectPropertyAssertion(ObjectInverseOf(:r) :a :b)",
     "a:R b:D"},
    {"no_individuals", "SubClassOf(:A :B)", ""},
    {"anonymous", "ClassAssertion(:A _:x) ObjectPropertyAssertion(:r :a _:x) SubClassOf(:A :B)", "a:"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RealizeBothRoutes,
                         ::testing::Combine(::testing::ValuesIn(kRealizeCases),
                                            ::testing::Values(nullptr, "0"), ::testing::Values(nullptr, "0")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_tableau" : "_auto") +
                                  (std::get<2>(info.param) ? "_nomodel" : "_model");
                         });

TEST(Realize, PseudoModelOnlyOnTheTableauRouteAndOnlyWhenOn) {
  const char* axioms = "SubClassOf(:A ObjectAllValuesFrom(:r :C)) ClassAssertion(:A :a) ObjectPropertyAssertion(:r :a :b)";
  struct Case {
    const char* saturation;
    const char* pseudo;
    bool used;
  };
  for (const Case& c : {Case{nullptr, nullptr, true}, Case{nullptr, "0", false}, Case{nullptr, "", false}}) {
    ScopedEnv s("KELMON_REALIZE_SATURATION", c.saturation);
    ScopedEnv p("KELMON_PSEUDO_MODEL", c.pseudo);
    auto r = realize_internal(ontology(axioms));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->pseudo_model_used, c.used) << (c.pseudo ? c.pseudo : "unset");
  }
  // The saturation route never has one.
  auto el = realize_internal(ontology("SubClassOf(:A :B) ClassAssertion(:A :a) ObjectPropertyAssertion(:r :a :b)"));
  ASSERT_TRUE(el);
  EXPECT_FALSE(el->pseudo_model_used);
}

TEST(Realize, ChoosesItsRoute) {
  EXPECT_TRUE(use_saturation_for_realize(ontology("SubClassOf(:A :B) ClassAssertion(ObjectIntersectionOf(:A :C) :a)")));
  EXPECT_TRUE(use_saturation_for_realize(ontology("")));
  {
    ScopedEnv s("KELMON_REALIZE_SATURATION", "0");
    EXPECT_FALSE(use_saturation_for_realize(ontology("SubClassOf(:A :B) ClassAssertion(:A :a)")));
  }
  for (const char* axioms : {
           "SubClassOf(:A ObjectAllValuesFrom(:r :C)) ClassAssertion(:A :a)",
           "SameIndividual(:a :b) ClassAssertion(:A :a)",
           "FunctionalObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)",
           "ObjectPropertyAssertion(ObjectInverseOf(:r) :a :b)",
           "ClassAssertion(ObjectSomeValuesFrom(:r :A) :a)",
       })
    EXPECT_FALSE(use_saturation_for_realize(ontology(axioms))) << axioms;
}

TEST(Realize, TimeoutSwitch) {
  const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
      {nullptr, 750}, {"0", std::nullopt}, {"+40", 40}, {"", 750}, {"abc", 750}, {"-5", 750}, {"+", 750},
      {"99999999999999999999999", 750}, {"12", 12}};
  for (const auto& [value, expected] : cases) {
    ScopedEnv e("KELMON_REALIZE_PAIR_TIMEOUT_MS", value);
    EXPECT_EQ(realize_pair_timeout_ms(), expected) << (value ? value : "unset");
  }
}

TEST(Realize, ToldTypesFollowTheAssertedDirection) {
  InternalOntology ir = ontology(
      "ObjectPropertyDomain(:r :D) ObjectPropertyRange(:r :R) ClassAssertion(:A :a) "
      "ObjectPropertyAssertion(ObjectInverseOf(:r) :a :b) ObjectPropertyAssertion(:r :c :a)");
  auto names = [&](std::string_view individual) {
    std::vector<std::string> out;
    for (ClassId c : told_types(ir, ir.vocabulary.individuals.get(individual)->id))
      out.emplace_back(ir.vocabulary.classes.name(c));
    std::sort(out.begin(), out.end());
    return short_names(out);
  };
  EXPECT_EQ(names("http://x/a"), "A R R");
  EXPECT_EQ(names("http://x/b"), "D");
  EXPECT_EQ(names("http://x/c"), "D");
}

class RealizeInconsistent : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {};

TEST_P(RealizeInconsistent, Fails) {
  const auto& [axioms, saturation] = GetParam();
  ScopedEnv s("KELMON_REALIZE_SATURATION", saturation);
  auto r = realize_internal(ontology(axioms));
  ASSERT_FALSE(r);
  EXPECT_TRUE(std::holds_alternative<Inconsistent>(r.error()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealizeInconsistent,
    ::testing::Combine(
        ::testing::Values("SubClassOf(:A owl:Nothing) SubClassOf(:A ObjectSomeValuesFrom(:r :B)) ClassAssertion(:A :a)",
                          "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)",
                          "SubClassOf(owl:Thing owl:Nothing) Declaration(NamedIndividual(:a))",
                          "SubClassOf(:A ObjectAllValuesFrom(:r owl:Nothing)) ClassAssertion(:A :a) "
                          "ObjectPropertyAssertion(:r :a :b)"),
        ::testing::Values(nullptr, "0")));

TEST(Realize, MostSpecificFilterKeepsEquivalentsAndUnknowns) {
  const Classification c = classify_saturation_only(ontology("EquivalentClasses(:A :B) SubClassOf(:B :C) SubClassOf(:C :D)"));
  const std::vector<std::string> types = {"http://x/D", "http://x/A", "http://x/C", "http://x/B", "http://x/Elsewhere"};
  EXPECT_EQ(short_names(most_specific_filter(types, c)), "A B Elsewhere");
  EXPECT_EQ(short_names(most_specific_filter({"http://x/C", "http://x/D"}, c)), "C");
  EXPECT_EQ(short_names(most_specific_filter({}, c)), "");
}

TEST(InstanceRetrieval, ListsInstancesInIndividualOrder) {
  for (const char* saturation : {static_cast<const char*>(nullptr), "0"}) {
    ScopedEnv s("KELMON_REALIZE_SATURATION", saturation);
    InternalOntology ir = ontology("SubClassOf(:A :B) ClassAssertion(:A :z) ClassAssertion(:C :b) "
                                   "ClassAssertion(:B :a) ClassAssertion(:A _:x)");
    auto list = instances_of_internal(ir, "http://x/B");
    ASSERT_TRUE(list);
    EXPECT_EQ(short_names(list->instances), "z a");
    EXPECT_FALSE(list->timed_out);
    auto yes = is_instance_of_internal(ir, "http://x/B", "http://x/z");
    ASSERT_TRUE(yes);
    EXPECT_EQ(*yes, (InstanceAnswer{true, false}));
    auto no = is_instance_of_internal(ir, "http://x/B", "http://x/b");
    ASSERT_TRUE(no);
    EXPECT_EQ(*no, (InstanceAnswer{false, false}));
  }
}

TEST(InstanceRetrieval, UnknownClassComesBeforeUnknownIndividual) {
  InternalOntology ir = ontology("ClassAssertion(:A :a)");
  auto both = is_instance_of_internal(ir, "http://x/Nope", "http://x/nobody");
  ASSERT_FALSE(both);
  EXPECT_EQ(both.error(), ReasonerError(UnknownClass{"http://x/Nope"}));
  auto individual = is_instance_of_internal(ir, "http://x/A", "http://x/nobody");
  ASSERT_FALSE(individual);
  EXPECT_EQ(individual.error(), ReasonerError(UnknownIndividual{"http://x/nobody"}));
  auto list = instances_of_internal(ir, "http://x/Nope");
  ASSERT_FALSE(list);
  EXPECT_EQ(list.error(), ReasonerError(UnknownClass{"http://x/Nope"}));
}

}  // namespace
}  // namespace kelmon::reasoner
