#include "reasoner/explanation/diagnosis.h"

#include <gtest/gtest.h>

#include "explain_support.h"
#include "test_kernel.h"

namespace kelmon::explain {
namespace {

using kelmon::testing::load_ofn;
using testing::axioms;
using testing::iri;
using testing::TestKernel;

ClassSet classes(const std::vector<std::string>& locals) {
  ClassSet s;
  for (const auto& l : locals) s.insert(iri(l));
  return s;
}

using Derived = std::vector<std::pair<std::string, std::vector<std::string>>>;

struct PartitionCase {
  const char* name;
  std::vector<std::string> logical;
  std::vector<std::string> unsatisfiable;
  std::vector<std::string> roots;
  std::vector<std::pair<std::string, std::vector<std::string>>> derived;
};

class PartitionTests : public ::testing::TestWithParam<PartitionCase> {};

TEST_P(PartitionTests, RootsAndDerivedClasses) {
  const auto& c = GetParam();
  const ClassSet unsat = classes(c.unsatisfiable);
  const UnsatPartition p = partition_unsatisfiable(unsat, told_dependency_graph(axioms(c.logical), unsat));
  std::vector<std::string> roots;
  for (const auto& r : c.roots) roots.push_back(iri(r));
  Derived derived;
  for (const auto& [d, rs] : c.derived) {
    std::vector<std::string> full;
    for (const auto& r : rs) full.push_back(iri(r));
    derived.emplace_back(iri(d), full);
  }
  EXPECT_EQ(p.roots, roots);
  EXPECT_EQ(p.derived, derived);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PartitionTests,
    ::testing::Values(
        PartitionCase{"subclass_of_root", {"SubClassOf(:A :B)"}, {"A", "B"}, {"B"}, {{"A", {"B"}}}},
        PartitionCase{"existential_gives_edge", {"SubClassOf(:A ObjectSomeValuesFrom(:r :B))"}, {"A", "B"}, {"B"},
                      {{"A", {"B"}}}},
        PartitionCase{"universal_gives_no_edge", {"SubClassOf(:A ObjectAllValuesFrom(:r :B))"}, {"A", "B"},
                      {"A", "B"}, {}},
        PartitionCase{"intersection_operands", {"SubClassOf(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))"},
                      {"A", "B", "C"}, {"B", "C"}, {{"A", {"B", "C"}}}},
        PartitionCase{"satisfiable_parent_ignored", {"SubClassOf(:A :S)"}, {"A"}, {"A"}, {}},
        PartitionCase{"complex_subclass_ignored", {"SubClassOf(ObjectIntersectionOf(:A :X) :B)"}, {"A", "B"},
                      {"A", "B"}, {}},
        PartitionCase{"equivalence_cycle_both_roots", {"EquivalentClasses(:A :B)"}, {"A", "B"}, {"A", "B"}, {}},
        PartitionCase{"cycle_leaving_to_a_root",
                      {"EquivalentClasses(:A :B)", "SubClassOf(:B :C)"},
                      {"A", "B", "C"},
                      {"C"},
                      {{"A", {"C"}}, {"B", {"C"}}}},
        PartitionCase{"chain_lists_only_roots", {"SubClassOf(:A :B)", "SubClassOf(:B :C)"}, {"A", "B", "C"}, {"C"},
                      {{"A", {"C"}}, {"B", {"C"}}}},
        PartitionCase{"equivalence_to_intersection",
                      {"EquivalentClasses(:A ObjectIntersectionOf(:B :C))"},
                      {"A", "B"},
                      {"B"},
                      {{"A", {"B"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiagnosisTests, WholeDiagnosisThroughTheKernel) {
  TestKernel kernel;
  auto none = diagnose(load_ofn("SubClassOf(:A :B)").axioms, kernel);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->consistent);
  EXPECT_TRUE(none->roots.empty());

  auto found = diagnose(load_ofn("SubClassOf(:B :X) SubClassOf(:B :Y) DisjointClasses(:X :Y) SubClassOf(:A :B) "
                                 "Declaration(Class(:S))")
                            .axioms,
                        kernel);
  ASSERT_TRUE(found.has_value());
  EXPECT_TRUE(found->consistent);
  EXPECT_EQ(found->roots, std::vector<std::string>{iri("B")});
  EXPECT_EQ(found->derived, (Derived{{iri("A"), {iri("B")}}}));
}

TEST(DiagnosisTests, InconsistencyFromTheAboxCheckOrTheConsistencyTest) {
  TestKernel clashing;
  clashing.clash = true;
  auto early = diagnose(load_ofn("ClassAssertion(:A :a)").axioms, clashing);
  ASSERT_TRUE(early.has_value());
  EXPECT_FALSE(early->consistent);
  EXPECT_EQ(clashing.count("classify_unbounded"), 0u);

  // Every class unsatisfiable: the consistency test decides.
  TestKernel kernel;
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{false}; };
  auto late = diagnose(load_ofn("SubClassOf(:A owl:Nothing)").axioms, kernel);
  ASSERT_TRUE(late.has_value());
  EXPECT_FALSE(late->consistent);
  EXPECT_EQ(kernel.count("check_consistency"), 1u);
}

TEST(DiagnosisTests, BuiltKernelDiagnosesFromItsClassification) {
  auto result = diagnose(load_ofn("SubClassOf(:A owl:Nothing) SubClassOf(:B :A) SubClassOf(:C :D)").axioms,
                         built_kernel());
  ASSERT_TRUE(result.has_value());
  EXPECT_TRUE(result->consistent);
  EXPECT_EQ(result->roots, std::vector<std::string>{iri("A")});
  ASSERT_EQ(result->derived.size(), 1u);
  EXPECT_EQ(result->derived[0].first, iri("B"));
  EXPECT_EQ(result->derived[0].second, std::vector<std::string>{iri("A")});
}

}  // namespace
}  // namespace kelmon::explain
