#include "reasoner/kernel/test_concepts.h"

#include <gtest/gtest.h>

#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::IrFixture;

TEST(ConjoinConcepts, PairShapes) {
  IrFixture f;
  ConceptPool& pool = f.ir.concepts;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
  EXPECT_EQ(conjoin_concept_pair(pool, a, a), a);
  EXPECT_EQ(conjoin_concept_pair(pool, a, f.top()), a);
  EXPECT_EQ(conjoin_concept_pair(pool, a, f.bot()), f.bot());
  EXPECT_EQ(conjoin_concept_pair(pool, f.top(), f.top()), f.top());
  ConceptId ab = pool.intern(And{{a, b}});
  ConceptId abc = conjoin_concept_pair(pool, ab, c);
  EXPECT_EQ(pool.get(abc), Concept(And{{a, b, c}}));
  // One level only: an And inside a member of an operand stays.
  ConceptId nested = f.some(f.r("r"), ab);
  EXPECT_EQ(pool.get(conjoin_concept_pair(pool, c, nested)), Concept(And{{std::min(c, nested), std::max(c, nested)}}));
}

TEST(ConjoinConcepts, ListSortedAndUnique) {
  IrFixture f;
  ConceptPool& pool = f.ir.concepts;
  ConceptId a = f.A("A"), b = f.A("B"), nb = f.no(b);
  std::vector<ConceptId> operands{nb, a, f.top(), a};
  EXPECT_EQ(pool.get(conjoin_concepts(pool, operands)), Concept(And{{a, nb}}));
  EXPECT_EQ(conjoin_concepts(pool, std::vector<ConceptId>{}), f.top());
}

}  // namespace
}  // namespace kelmon::reasoner
