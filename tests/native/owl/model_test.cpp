#include <gtest/gtest.h>

#include <algorithm>

#include "owl/axiom_set.h"
#include "owl/structural.h"

namespace kelmon::owl {
namespace {

Class cls(const char* s) { return Class{Iri(s)}; }
ObjectProperty prop(const char* s) { return ObjectProperty{Iri(s)}; }
ClassExpression some(const char* p, ClassExpression f) {
  return ObjectSomeValuesFrom{prop(p), std::move(f)};
}

TEST(Model, EqualExpressionsBuiltSeparatelyAreStructurallyEqual) {
  ClassExpression a = ObjectIntersectionOf{{cls("A"), some("r", cls("B"))}};
  ClassExpression b = ObjectIntersectionOf{{cls("A"), some("r", cls("B"))}};
  ClassExpression c = ObjectIntersectionOf{{some("r", cls("B")), cls("A")}};
  EXPECT_TRUE(a == b);
  EXPECT_EQ(structural_hash(a), structural_hash(b));
  EXPECT_FALSE(a == c);  // operand lists keep document order
}

TEST(Model, LiteralFormsStayDistinct) {
  auto with = [](Literal l) {
    return Axiom(DataPropertyAssertion{DataProperty{Iri("p")}, NamedIndividual{Iri("a")}, std::move(l)});
  };
  Axiom plain = with(Literal::plain("x"));
  Axiom tagged = with(Literal::language_tagged("x", "en"));
  Axiom typed = with(Literal::typed("x", Datatype{Iri("http://www.w3.org/2001/XMLSchema#string")}));
  EXPECT_FALSE(structurally_equal(plain, tagged));
  EXPECT_FALSE(structurally_equal(plain, typed));
  EXPECT_FALSE(structurally_equal(tagged, typed));
  EXPECT_TRUE(structurally_equal(typed, with(Literal::typed("x", Datatype{Iri("http://www.w3.org/2001/XMLSchema#string")}))));
}

struct OrderCase {
  const char* name;
  Axiom smaller;
  Axiom larger;
};

std::vector<OrderCase> order_cases() {
  return {
      {"kind_first_declaration_before_subclass", DeclareClass{cls("Z")},
       SubClassOf{cls("A"), cls("A")}},
      {"iri_bytewise", DeclareClass{cls("A")}, DeclareClass{cls("a")}},
      {"proper_prefix_first", DeclareClass{cls("A")}, DeclareClass{cls("AB")}},
      {"nul_byte_after_prefix", DeclareClass{cls("A")}, DeclareClass{Class{Iri(std::string_view("A\0", 2))}}},
      {"sub_before_super_in_document_order", SubClassOf{cls("A"), cls("Z")},
       SubClassOf{cls("B"), cls("C")}},
      {"list_prefix_first", EquivalentClasses{{cls("A"), cls("B")}},
       EquivalentClasses{{cls("A"), cls("B"), cls("C")}}},
      {"list_elementwise", EquivalentClasses{{cls("A"), cls("C")}},
       EquivalentClasses{{cls("B"), cls("A")}}},
      {"nested_kind_before_operands", SubClassOf{cls("Z"), cls("A")},
       SubClassOf{ObjectIntersectionOf{{cls("A")}}, cls("A")}},
      {"characteristics_in_listed_order", FunctionalObjectProperty{prop("z")},
       TransitiveObjectProperty{prop("a")}},
      {"named_individual_before_anonymous", ClassAssertion{cls("A"), NamedIndividual{Iri("z")}},
       ClassAssertion{cls("A"), AnonymousIndividual{Iri("a")}}},
      {"named_property_before_inverse", FunctionalObjectProperty{prop("b")},
       FunctionalObjectProperty{ObjectInverseOf{prop("a")}}},
      {"plain_before_tagged_before_typed_literal",
       DataPropertyAssertion{DataProperty{Iri("p")}, NamedIndividual{Iri("a")}, Literal::plain("z")},
       DataPropertyAssertion{DataProperty{Iri("p")}, NamedIndividual{Iri("a")}, Literal::language_tagged("a", "en")}},
      {"ontology_items_and_declarations_before_axioms", Import{Iri("z")}, DeclareClass{cls("a")}},
      {"annotation_axioms_and_rules_last", NegativeDataPropertyAssertion{DataProperty{Iri("z")}, NamedIndividual{Iri("z")}, Literal::plain("z")},
       AnnotationAssertion{AnnotationProperty{Iri("a")}, Iri("a"), Literal::plain("a")}},
      {"cardinality_number_before_property", SubClassOf{cls("A"), ObjectMinCardinality{2, prop("z"), cls("A")}},
       SubClassOf{cls("A"), ObjectMinCardinality{10, prop("a"), cls("A")}}},
  };
}

class StructuralOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(StructuralOrder, OrdersAsListed) {
  const auto& c = GetParam();
  EXPECT_LT(compare_axioms(c.smaller, c.larger), 0);
  EXPECT_GT(compare_axioms(c.larger, c.smaller), 0);
  EXPECT_EQ(compare_axioms(c.smaller, c.smaller), 0);
}
INSTANTIATE_TEST_SUITE_P(Cases, StructuralOrder, ::testing::ValuesIn(order_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Keys escape the bytes 0x00 and 0x01 so that strings compare byte-wise with
// a proper prefix first, wherever in a long text those bytes stand.
TEST(Model, TextsWithLowBytesCompareByteWise) {
  using namespace std::string_literals;
  const std::vector<std::string> texts = {
      ""s, "a"s, "a\0"s, "a\x01"s, "a\x02"s, "a\0\0"s, "a\x01\0"s, "\xff"s,
      "abcdefghijklmnop"s, "abcdefghijklmnop\0"s, "abcdefghij\0klmnop"s, "abcdefghij\x01klmnop"s,
      "abcdefghij\x02klmnop"s, "abcdefgh\x01"s, "abcdefgh"s, "abcdefgh\xc3\xa9"s, "abc\0\x01\0\x01" "defghijklmnopq"s,
      "ab"s, "ab\0aaaaaaaaaa"s, "ab\x01" "aaaaaaaaaa"s, "abzzzzzzzz\0aaaaaaaaaa"s, "abzzzzzzzz"s};
  // The language tag after the text: a text's end must still sort below any byte of it.
  auto assertion = [](const std::string& text) {
    return Axiom{DataPropertyAssertion{DataProperty{Iri("p")}, NamedIndividual{Iri("a")},
                                       Literal::language_tagged(text, "zz")}};
  };
  for (const auto& x : texts) {
    for (const auto& y : texts) {
      int expected = x < y ? -1 : (y < x ? 1 : 0);
      int got = compare_axioms(assertion(x), assertion(y));
      EXPECT_EQ(got < 0 ? -1 : (got > 0 ? 1 : 0), expected) << testing::PrintToString(x) << " vs " << testing::PrintToString(y);
    }
  }
}

TEST(Model, SuperFirstOrderComparesSuperclassFirst) {
  Axiom a = SubClassOf{cls("A"), cls("Z")};
  Axiom b = SubClassOf{cls("B"), cls("C")};
  EXPECT_LT(compare_axioms(a, b, OperandOrder::Document), 0);
  EXPECT_GT(compare_axioms(a, b, OperandOrder::SuperFirst), 0);
  Axiom p = SubObjectPropertyOf{ObjectPropertyExpression(prop("a")), prop("z")};
  Axiom q = SubObjectPropertyOf{ObjectPropertyExpression(prop("b")), prop("c")};
  EXPECT_LT(compare_axioms(p, q, OperandOrder::Document), 0);
  EXPECT_GT(compare_axioms(p, q, OperandOrder::SuperFirst), 0);
  Axiom d1 = SubDataPropertyOf{DataProperty{Iri("a")}, DataProperty{Iri("z")}};
  Axiom d2 = SubDataPropertyOf{DataProperty{Iri("b")}, DataProperty{Iri("c")}};
  EXPECT_GT(compare_axioms(d1, d2, OperandOrder::SuperFirst), 0);
}

TEST(Model, AxiomSetMergesDuplicatesButKeepsAnnotatedCopies) {
  AxiomSet set;
  EXPECT_TRUE(set.insert(Axiom(SubClassOf{cls("A"), cls("B")})));
  EXPECT_FALSE(set.insert(Axiom(SubClassOf{cls("A"), cls("B")})));
  Annotation note{AnnotationProperty{Iri("label")}, Literal::plain("x"), {}};
  AnnotatedAxiom annotated{SubClassOf{cls("A"), cls("B")}, AnnotationSet::from({note})};
  EXPECT_TRUE(set.insert(annotated));
  EXPECT_FALSE(set.insert(annotated));
  EXPECT_EQ(set.size(), 2u);
  EXPECT_TRUE(set.contains(annotated));
  EXPECT_TRUE(set.erase(AnnotatedAxiom{SubClassOf{cls("A"), cls("B")}, {}}));
  EXPECT_EQ(set.size(), 1u);
  EXPECT_TRUE(set.contains(annotated));
  AxiomSet copy = set;
  EXPECT_FALSE(copy.insert(annotated));
  EXPECT_TRUE(copy.insert(Axiom(DeclareClass{cls("A")})));
  EXPECT_EQ(set.size(), 1u);
}

TEST(Model, AnnotatedCopySortsAfterThePlainAxiom) {
  Annotation note{AnnotationProperty{Iri("label")}, Literal::plain("x"), {}};
  AnnotatedAxiom plain{SubClassOf{cls("A"), cls("B")}, {}};
  AnnotatedAxiom annotated{SubClassOf{cls("A"), cls("B")}, AnnotationSet::from({note})};
  EXPECT_LT(compare_axioms(plain, annotated), 0);
  EXPECT_FALSE(plain == annotated);
  EXPECT_TRUE(without_annotations(annotated) == plain);
  EXPECT_NE(structural_hash(plain), structural_hash(annotated));
}

TEST(Model, AnnotationSetsAreOrderInsensitive) {
  Annotation x{AnnotationProperty{Iri("p")}, Literal::plain("x"), {}};
  Annotation y{AnnotationProperty{Iri("p")}, Literal::plain("y"), {}};
  AnnotatedAxiom a{DeclareClass{cls("A")}, AnnotationSet::from({x, y})};
  AnnotatedAxiom b{DeclareClass{cls("A")}, AnnotationSet::from({y, x, y})};
  EXPECT_TRUE(a == b);
  EXPECT_EQ(b.annotations.size(), 2u);
}

TEST(Model, DeepNestingIsBuiltComparedAndFreedWithoutRecursion) {
  ClassExpression a = cls("A"), b = cls("A");
  for (int i = 0; i < 1000000; ++i) {
    a = ObjectComplementOf{std::move(a)};
    b = ObjectComplementOf{std::move(b)};
  }
  EXPECT_TRUE(a == b);
  AxiomSet set;
  set.insert(Axiom(SubClassOf{a, b}));
  EXPECT_FALSE(set.insert(Axiom(SubClassOf{a, b})));
}

}  // namespace
}  // namespace kelmon::owl
