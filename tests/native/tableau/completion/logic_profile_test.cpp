#include <gtest/gtest.h>

#include "kb_fixture.h"
#include "tableau/completion/logic_profile.h"

namespace kelmon::completion {
namespace {

struct ProfileCase {
  const char* name;
  const char* body;
  int ontology;
  const char* cls;
  int class_code;
};

class Profile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(Profile, codes) {
  const auto& c = GetParam();
  testing::Kb kb(c.body);
  EXPECT_EQ(logic_profile(kb.ir), c.ontology);
  EXPECT_EQ(logic_profile_of_class(kb.class_id(c.cls), kb.ir), c.class_code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Profile,
    ::testing::Values(
        ProfileCase{"declarations_only", "Declaration(Class(:A))", 5, "A", 5},
        ProfileCase{"inverse_axiom_counts_for_the_ontology_only",
                    "InverseObjectProperties(:R :S) SubClassOf(:A :B)", 0, "A", 5},
        ProfileCase{"self_over_inverse", "SubClassOf(:A ObjectHasSelf(ObjectInverseOf(:R)))", 0, "A", 0},
        ProfileCase{"self_over_named", "SubClassOf(:A ObjectHasSelf(:R))", 5, "A", 5},
        ProfileCase{"definitions_are_not_followed",
                    "SubClassOf(:A :B) SubClassOf(:B ObjectMaxCardinality(1 :R :C))", 2, "A", 5},
        ProfileCase{"filler_mention_counts",
                    "SubClassOf(:B ObjectSomeValuesFrom(:R ObjectIntersectionOf(:A ObjectOneOf(:o))))", 1, "A", 1},
        ProfileCase{"precedence",
                    "SubClassOf(:A ObjectIntersectionOf(ObjectOneOf(:o) ObjectMaxCardinality(1 :R :C) "
                    "ObjectSomeValuesFrom(ObjectInverseOf(:S) :C)))",
                    0, "A", 0},
        ProfileCase{"nominal_over_number",
                    "SubClassOf(:A ObjectIntersectionOf(ObjectOneOf(:o) ObjectMaxCardinality(1 :R :C)))", 1, "A", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFlags, packing) {
  InternalOntology o;
  const ConceptId a = o.concepts.intern(Atomic{o.vocabulary.classes.intern("A")});
  const ConceptId m = o.concepts.intern(Max{1, a, Role::inverse_of(RoleId{0})});
  EXPECT_EQ(concept_profile_flags(m, o), (1u << 16) | 1u);
  EXPECT_EQ(concept_profile_flags(o.concepts.intern(Nominal{IndividualId{0}}), o), 1u << 8);
  EXPECT_EQ(logic_profile(o), 5);
  // At-least 0 still counts as a number restriction.
  const ConceptId min0 = o.concepts.intern(Min{0, a, Role::named(RoleId{0})});
  o.axioms.push_back(SubClassOf{a, min0});
  EXPECT_EQ(logic_profile(o), 2);
  EXPECT_EQ(logic_profile_of_class(ClassId{0}, o), 2);
}

}  // namespace
}  // namespace kelmon::completion
