#include <gtest/gtest.h>

#include "owl/functional_reader.h"
#include "owl/manchester_writer.h"

namespace kelmon::owl {
namespace {

struct LineCase {
  const char* name;
  const char* axiom;  // functional syntax, prefix ":" = http://x/
  const char* line;
};

class ManchesterLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ManchesterLines, RendersTheLineForm) {
  const auto& c = GetParam();
  auto o = read_functional(std::string("Prefix(:=<http://x/>)\nOntology(") + c.axiom + ")");
  ASSERT_TRUE(o.has_value()) << o.error().to_string();
  ASSERT_EQ(o->axioms.size(), 1u);
  EXPECT_EQ(render_manchester_axiom(o->axioms[0]), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManchesterLines,
    ::testing::Values(
        LineCase{"subclass_nested", "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectIntersectionOf(:B :C)))",
                 "<http://x/A> SubClassOf <http://x/r> some (<http://x/B> and <http://x/C>)"},
        LineCase{"annotations_not_rendered", "SubClassOf(Annotation(:p \"x\") :A :B)", "<http://x/A> SubClassOf <http://x/B>"},
        LineCase{"top_level_without_brackets", "SubClassOf(ObjectUnionOf(:A :B) ObjectComplementOf(:C))",
                 "<http://x/A> or <http://x/B> SubClassOf not <http://x/C>"},
        LineCase{"complement_of_complex", "SubClassOf(:A ObjectComplementOf(ObjectUnionOf(:B :C)))",
                 "<http://x/A> SubClassOf not (<http://x/B> or <http://x/C>)"},
        LineCase{"equivalent_classes", "EquivalentClasses(:A :B :C)",
                 "<http://x/A> EquivalentTo <http://x/B> EquivalentTo <http://x/C>"},
        LineCase{"equivalent_object_properties", "EquivalentObjectProperties(:r ObjectInverseOf(:s))",
                 "<http://x/r> EquivalentTo inverse (<http://x/s>)"},
        LineCase{"equivalent_data_properties", "EquivalentDataProperties(:p :q :u)",
                 "<http://x/p> EquivalentTo <http://x/q> EquivalentTo <http://x/u>"},
        LineCase{"disjoint_classes", "DisjointClasses(:A :B :C)", "<http://x/A> DisjointWith <http://x/B>, <http://x/C>"},
        LineCase{"disjoint_object_properties", "DisjointObjectProperties(:r :s :t)",
                 "<http://x/r> DisjointWith <http://x/s>, <http://x/t>"},
        LineCase{"disjoint_data_properties", "DisjointDataProperties(:p :q)", "<http://x/p> DisjointWith <http://x/q>"},
        LineCase{"disjoint_union", "DisjointUnion(:A :B ObjectSomeValuesFrom(:r :C))",
                 "<http://x/A> DisjointUnionOf <http://x/B>, <http://x/r> some <http://x/C>"},
        LineCase{"sub_object_property", "SubObjectPropertyOf(ObjectInverseOf(:r) :s)",
                 "inverse (<http://x/r>) SubPropertyOf <http://x/s>"},
        LineCase{"property_chain", "SubObjectPropertyOf(ObjectPropertyChain(:r :s) :t)",
                 "<http://x/r> o <http://x/s> SubPropertyOf <http://x/t>"},
        LineCase{"sub_data_property", "SubDataPropertyOf(:p :q)", "<http://x/p> SubPropertyOf <http://x/q>"},
        LineCase{"inverse_of", "InverseObjectProperties(:r :s)", "<http://x/r> InverseOf <http://x/s>"},
        LineCase{"object_domain", "ObjectPropertyDomain(:r ObjectUnionOf(:A :B))", "<http://x/r> Domain <http://x/A> or <http://x/B>"},
        LineCase{"data_domain", "DataPropertyDomain(:p :A)", "<http://x/p> Domain <http://x/A>"},
        LineCase{"object_range", "ObjectPropertyRange(:r :A)", "<http://x/r> Range <http://x/A>"},
        LineCase{"data_range", "DataPropertyRange(:p DataUnionOf(:int :str))", "<http://x/p> Range <http://x/int> or <http://x/str>"},
        LineCase{"functional", "FunctionalObjectProperty(:r)", "<http://x/r> Characteristics: Functional"},
        LineCase{"functional_data", "FunctionalDataProperty(:p)", "<http://x/p> Characteristics: Functional"},
        LineCase{"inverse_functional", "InverseFunctionalObjectProperty(:r)", "<http://x/r> Characteristics: InverseFunctional"},
        LineCase{"reflexive", "ReflexiveObjectProperty(:r)", "<http://x/r> Characteristics: Reflexive"},
        LineCase{"irreflexive", "IrreflexiveObjectProperty(:r)", "<http://x/r> Characteristics: Irreflexive"},
        LineCase{"symmetric", "SymmetricObjectProperty(:r)", "<http://x/r> Characteristics: Symmetric"},
        LineCase{"asymmetric", "AsymmetricObjectProperty(:r)", "<http://x/r> Characteristics: Asymmetric"},
        LineCase{"transitive", "TransitiveObjectProperty(ObjectInverseOf(:r))", "inverse (<http://x/r>) Characteristics: Transitive"},
        LineCase{"same_individual", "SameIndividual(:a :b _:c)", "<http://x/a> SameAs <http://x/b> SameAs _:c"},
        LineCase{"different_individuals", "DifferentIndividuals(:a :b :c)", "<http://x/a> DifferentFrom <http://x/b>, <http://x/c>"},
        LineCase{"class_assertion", "ClassAssertion(ObjectHasValue(:r :b) :a)", "<http://x/a> Type <http://x/r> value <http://x/b>"},
        LineCase{"object_assertion", "ObjectPropertyAssertion(:r :a :b)", "<http://x/a> <http://x/r> <http://x/b>"},
        LineCase{"negative_object_assertion", "NegativeObjectPropertyAssertion(:r :a :b)", "<http://x/a> not <http://x/r> <http://x/b>"},
        LineCase{"data_assertion_tagged", "DataPropertyAssertion(:p :a \"hi \\\"you\\\"\"@en)", "<http://x/a> <http://x/p> \"hi \\\"you\\\"\"@en"},
        LineCase{"data_assertion_typed", "DataPropertyAssertion(:p :a \"5\"^^:int)", "<http://x/a> <http://x/p> \"5\"^^<http://x/int>"},
        LineCase{"data_assertion_plain", "DataPropertyAssertion(:p :a \"a\\\\b\")", "<http://x/a> <http://x/p> \"a\\\\b\""},
        LineCase{"negative_data_assertion", "NegativeDataPropertyAssertion(:p _:a \"5\")", "_:a not <http://x/p> \"5\""},
        LineCase{"restrictions",
                 "SubClassOf(ObjectIntersectionOf(ObjectAllValuesFrom(:r :A) ObjectHasSelf(:s) ObjectOneOf(:a :b)) "
                 "ObjectUnionOf(ObjectMinCardinality(1 :r :A) ObjectMaxCardinality(2 :r ObjectComplementOf(:A)) ObjectExactCardinality(3 ObjectInverseOf(:r) :B)))",
                 "(<http://x/r> only <http://x/A>) and (<http://x/s> Self) and ({<http://x/a>, <http://x/b>}) SubClassOf "
                 "(<http://x/r> min 1 <http://x/A>) or (<http://x/r> max 2 (not <http://x/A>)) or (inverse (<http://x/r>) exactly 3 <http://x/B>)"},
        LineCase{"data_restrictions",
                 "SubClassOf(ObjectIntersectionOf(DataSomeValuesFrom(:p :int) DataAllValuesFrom(:p DataOneOf(\"a\" \"b\"@en)) DataHasValue(:p \"1\"^^:int)) "
                 "ObjectUnionOf(DataMinCardinality(1 :p) DataMaxCardinality(2 :p :int) DataExactCardinality(3 :p DataComplementOf(:int))))",
                 "(<http://x/p> some <http://x/int>) and (<http://x/p> only { \"a\", \"b\"@en }) and (<http://x/p> value \"1\"^^<http://x/int>) SubClassOf "
                 "(<http://x/p> min 1 <http://www.w3.org/2000/01/rdf-schema#Literal>) or (<http://x/p> max 2 <http://x/int>) or (<http://x/p> exactly 3 not <http://x/int>)"},
        LineCase{"data_range_brackets",
                 "DataPropertyRange(:p DataIntersectionOf(DataUnionOf(:a :b) DataComplementOf(DataIntersectionOf(:c :d)) DataComplementOf(:e)))",
                 "<http://x/p> Range (<http://x/a> or <http://x/b>) and not (<http://x/c> and <http://x/d>) and not <http://x/e>"},
        LineCase{"facets",
                 "DataPropertyRange(:p DatatypeRestriction(:int <http://www.w3.org/2001/XMLSchema#minInclusive> \"1\" "
                 "<http://www.w3.org/2001/XMLSchema#maxExclusive> \"9\" <http://www.w3.org/2001/XMLSchema#length> \"2\" "
                 "<http://www.w3.org/2001/XMLSchema#minLength> \"1\" <http://www.w3.org/2001/XMLSchema#maxLength> \"3\" "
                 "<http://www.w3.org/2001/XMLSchema#pattern> \"x\" <http://www.w3.org/2001/XMLSchema#minExclusive> \"0\" "
                 "<http://www.w3.org/2001/XMLSchema#maxInclusive> \"8\" <http://www.w3.org/2001/XMLSchema#totalDigits> \"4\" "
                 "<http://www.w3.org/2001/XMLSchema#fractionDigits> \"0\" <http://www.w3.org/1999/02/22-rdf-syntax-ns#langRange> \"en\"))",
                 "<http://x/p> Range <http://x/int>[>= \"1\", < \"9\", length \"2\", minLength \"1\", maxLength \"3\", pattern \"x\", "
                 "> \"0\", <= \"8\", totalDigits \"4\", fractionDigits \"0\", langRange \"en\"]"},
        LineCase{"has_key_functional", "HasKey(:A (:r) ())", "HasKey(<http://x/A> (<http://x/r>) ())"},
        LineCase{"datatype_definition_functional", "DatatypeDefinition(:d :int)", "DatatypeDefinition(<http://x/d> <http://x/int>)"},
        LineCase{"sub_annotation_property_functional", "SubAnnotationPropertyOf(:p :q)", "SubAnnotationPropertyOf(<http://x/p> <http://x/q>)"},
        LineCase{"annotation_assertion_functional", "AnnotationAssertion(Annotation(:n \"m\") :p :A \"v\")",
                 "AnnotationAssertion(<http://x/p> <http://x/A> \"v\")"},
        LineCase{"declaration_functional", "Declaration(Class(:A))", "Declaration(Class(<http://x/A>))"},
        LineCase{"rule_functional", "DLSafeRule(Body(ClassAtom(:A Variable(:x))) Head(ClassAtom(:B Variable(:x))))",
                 "DLSafeRule(Body(ClassAtom(<http://x/A> Variable(<http://x/x>))) Head(ClassAtom(<http://x/B> Variable(<http://x/x>))))"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ManchesterLines, ListAxiomsWithFewMembers) {
  EXPECT_EQ(render_manchester_axiom(Axiom(EquivalentClasses{})), "");
  EXPECT_EQ(render_manchester_axiom(Axiom(DisjointClasses{})), "");
  EXPECT_EQ(render_manchester_axiom(Axiom(DisjointClasses{{Class{Iri("http://x/A")}}})), "<http://x/A>");
  EXPECT_EQ(render_manchester_axiom(Axiom(SameIndividual{{NamedIndividual{Iri("http://x/a")}}})), "<http://x/a>");
  EXPECT_EQ(render_manchester_axiom(Axiom(SubClassOf{ObjectIntersectionOf{}, ObjectUnionOf{}})), " SubClassOf ");
}

TEST(ManchesterLines, DeepNestingRendersWithoutRecursion) {
  ClassExpression c = Class{Iri("http://x/A")};
  for (int i = 0; i < 200000; ++i) c = ObjectComplementOf{std::move(c)};
  std::string s = render_manchester_axiom(Axiom(ClassAssertion{c, NamedIndividual{Iri("http://x/a")}}));
  EXPECT_EQ(s.rfind("<http://x/a> Type not (not (not ", 0), 0u);
}

}  // namespace
}  // namespace kelmon::owl
