#include "reasoner/kernel/wedge_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;

// z takes part in three role assertions, y in two, w and x in one each.
constexpr const char* kAbox =
    "ObjectPropertyAssertion(:r :z :y) ObjectPropertyAssertion(:r :z :x) ObjectPropertyAssertion(:r :w :z) "
    "ObjectPropertyAssertion(:s :y :y) ClassAssertion(:A :z) SameIndividual(:w :z) "
    "SubClassOf(:A ObjectHasValue(:r :x))";

std::uint32_t id_of(const InternalOntology& ir, const char* local) {
  return ir.vocabulary.individuals.get(std::string("http://x/") + local)->id.v;
}

// Every nominal class (K + i) that the clauses mention, sorted.
std::vector<std::uint32_t> nominals_in(const WedgeClauseSet& set) {
  std::vector<std::uint32_t> out;
  for (const DlClause& c : set.clauses)
    for (const auto* atoms : {&c.body, &c.head})
      for (const ClauseAtom& a : *atoms)
        if ((a.atom_kind() == ClauseAtomKind::ConceptAtom || a.atom_kind() == ClauseAtomKind::ExistsAtom) &&
            a.a >= set.class_count && a.a - set.class_count < set.individual_count)
          out.push_back(a.a - set.class_count);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(WedgeOrder, FewerRoleAssertionsFirstTiesByIriAndEveryMentionRenamedAlike) {
  const InternalOntology ir = convert_ofn(kAbox);
  const WedgeClauseSet before = build_wedge_clause_set(ir);
  WedgeClauseSet after = before;
  order_individuals_for_search(ir.vocabulary, after);
  ASSERT_EQ(after.individual_count, 4U);

  // w and x (one assertion each, by IRI), then y (two), then z (three).
  std::vector<std::uint32_t> renamed(4);
  renamed[id_of(ir, "w")] = 0;
  renamed[id_of(ir, "x")] = 1;
  renamed[id_of(ir, "y")] = 2;
  renamed[id_of(ir, "z")] = 3;

  ASSERT_EQ(after.abox.role_assertions.size(), before.abox.role_assertions.size());
  for (std::size_t i = 0; i < before.abox.role_assertions.size(); ++i) {
    const AboxRoleAssertion& b = before.abox.role_assertions[i];
    const AboxRoleAssertion& a = after.abox.role_assertions[i];
    EXPECT_EQ(a.subject, renamed[b.subject]);
    EXPECT_EQ(a.object, renamed[b.object]);
    EXPECT_EQ(a.role, b.role);
  }
  ASSERT_EQ(after.abox.equalities.size(), 1U);
  const auto [p, q] = after.abox.equalities[0];
  EXPECT_EQ(std::minmax(p, q), std::minmax(renamed[id_of(ir, "w")], renamed[id_of(ir, "z")]));

  std::vector<std::uint32_t> expected;
  for (std::uint32_t i : nominals_in(before)) expected.push_back(renamed[i]);
  std::sort(expected.begin(), expected.end());
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(nominals_in(after), expected);
  // Nothing else moves: with the nominals put back, the clauses are the same.
  ASSERT_EQ(after.clauses.size(), before.clauses.size());
  for (std::size_t i = 0; i < before.clauses.size(); ++i)
    EXPECT_EQ(after.clauses[i].body.size() + after.clauses[i].head.size(),
              before.clauses[i].body.size() + before.clauses[i].head.size());
}

}  // namespace
}  // namespace kelmon::reasoner
