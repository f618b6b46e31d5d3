// Whole searches over small converted knowledge bases, each under ancestor
// and anywhere blocking.
#include <gtest/gtest.h>

#include "kb_fixture.h"

namespace kelmon::completion {
namespace {

using testing::Kb;
using Tag = SearchOutcome::Tag;

struct SatCase {
  const char* name;
  const char* body;
  const char* cls;
  Tag expected;
};

class Satisfiability : public ::testing::TestWithParam<std::tuple<SatCase, bool>> {};

TEST_P(Satisfiability, decides_the_class) {
  const auto& [c, anywhere] = GetParam();
  Kb kb(c.body);
  EXPECT_EQ(kb.satisfiable(c.cls, anywhere), c.expected);
}

const SatCase kCases[] = {
    // Mends of the rule set.
    {"min_rule_leaves_existing_neighbours_unmarked",
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R ObjectIntersectionOf(:C :A1)) "
     "ObjectSomeValuesFrom(:R ObjectIntersectionOf(:C :B1)) ObjectMinCardinality(2 :R :C) "
     "ObjectMaxCardinality(1 :R ObjectUnionOf(:A1 :B1))))",
     "A", Tag::Sat},
    {"max_rule_chooses_which_pair_to_merge",
     "SubClassOf(:A ObjectIntersectionOf(ObjectMaxCardinality(2 :R owl:Thing) "
     "ObjectSomeValuesFrom(:R ObjectAllValuesFrom(:S :B)) :H))"
     "SubClassOf(:H ObjectIntersectionOf(ObjectSomeValuesFrom(:R ObjectIntersectionOf(:E2 ObjectSomeValuesFrom(:S "
     "ObjectComplementOf(:B)))) ObjectSomeValuesFrom(:R ObjectIntersectionOf(:E3 ObjectSomeValuesFrom(:S "
     "ObjectComplementOf(:B))))))",
     "A", Tag::Sat},
    {"equal_blocking_with_inverse_roles",
     "SubClassOf(:S ObjectSomeValuesFrom(:R :S)) SubClassOf(:S ObjectAllValuesFrom(ObjectInverseOf(:R) :D))"
     "SubClassOf(:D ObjectAllValuesFrom(ObjectInverseOf(:R) ObjectUnionOf(:M :M2)))"
     "SubClassOf(:M ObjectAllValuesFrom(ObjectInverseOf(:R) owl:Nothing))"
     "SubClassOf(:M2 ObjectAllValuesFrom(ObjectInverseOf(:R) owl:Nothing))",
     "S", Tag::Clash},
    {"at_most_rechecked_after_successor_gains_filler",
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R :P) ObjectSomeValuesFrom(:R :Q) "
     "ObjectMaxCardinality(1 :R :D))) SubClassOf(:P :D) SubClassOf(:Q :D) "
     "SubClassOf(ObjectIntersectionOf(:P :Q) owl:Nothing)",
     "A", Tag::Clash},
    {"float_and_double_values_are_disjoint",
     "DataPropertyRange(:p xsd:double) "
     "SubClassOf(:A DataSomeValuesFrom(:p DatatypeRestriction(xsd:double xsd:minInclusive \"1.0\"^^xsd:double "
     "xsd:maxInclusive \"1.0\"^^xsd:double)))"
     "SubClassOf(:A DataMaxCardinality(0 :p DatatypeRestriction(xsd:float xsd:minInclusive \"0.0\"^^xsd:float "
     "xsd:maxInclusive \"2.0\"^^xsd:float)))",
     "A", Tag::Sat},
    // An edge S(x, y) is an R(y, x) edge for every R above S⁻.
    {"range_of_a_super_role_of_a_declared_inverse",
     "InverseObjectProperties(:hasChild :hasParent) SubObjectPropertyOf(:hasParent :hasAncestor) "
     "ObjectPropertyRange(:hasAncestor :Person) "
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:hasChild owl:Thing) ObjectComplementOf(:Person)))",
     "A", Tag::Clash},
    {"inverse_sub_role_all",
     "SubObjectPropertyOf(ObjectInverseOf(:S) :R) "
     "SubClassOf(:A ObjectSomeValuesFrom(:S ObjectAllValuesFrom(:R ObjectComplementOf(:A))))",
     "A", Tag::Clash},
    {"inverse_sub_role_at_most",
     "SubObjectPropertyOf(ObjectInverseOf(:S) :R) DisjointClasses(:B :C) "
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(ObjectInverseOf(:S) :B) ObjectSomeValuesFrom(:R :C) "
     "ObjectMaxCardinality(1 :R owl:Thing)))",
     "A", Tag::Clash},
    {"inverse_sub_role_chain",
     "SubObjectPropertyOf(ObjectInverseOf(:S) :R) SubObjectPropertyOf(ObjectPropertyChain(:R :R) :T) "
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(ObjectInverseOf(:S) "
     "ObjectSomeValuesFrom(ObjectInverseOf(:S) owl:Thing)) ObjectAllValuesFrom(:T owl:Nothing)))",
     "A", Tag::Clash},
    {"inverse_sub_role_asymmetric",
     "AsymmetricObjectProperty(:R) SubObjectPropertyOf(:S :R) SubObjectPropertyOf(ObjectInverseOf(:S) :R) "
     "SubClassOf(:A ObjectSomeValuesFrom(:S owl:Thing))",
     "A", Tag::Clash},
    {"inverse_sub_role_disjoint",
     "DisjointObjectProperties(:R :Q) SubObjectPropertyOf(ObjectInverseOf(:S) :R) SubObjectPropertyOf(ObjectInverseOf(:S) :Q) "
     "SubClassOf(:A ObjectSomeValuesFrom(:S owl:Thing))",
     "A", Tag::Clash},
    {"inverse_sub_role_self",
     "SubObjectPropertyOf(ObjectInverseOf(:S) :R) "
     "SubClassOf(:A ObjectIntersectionOf(ObjectHasSelf(:S) ObjectComplementOf(ObjectHasSelf(:R))))",
     "A", Tag::Clash},
    {"inverse_sub_role_is_not_the_role",
     "SubObjectPropertyOf(ObjectInverseOf(:S) :R) "
     "SubClassOf(:A ObjectSomeValuesFrom(:S ObjectAllValuesFrom(ObjectInverseOf(:R) ObjectComplementOf(:A))))",
     "A", Tag::Sat},
    // An at-most-0 label with a neighbour: the clash rests on how the neighbour came to be.
    {"at_most_zero_clash_rests_on_the_neighbour",
     "SubClassOf(owl:Thing ObjectUnionOf(:C :D)) SubClassOf(:C ObjectSomeValuesFrom(:R :B)) "
     "SubClassOf(:A ObjectMaxCardinality(0 :R owl:Thing))",
     "A", Tag::Sat},
    {"data_at_most_zero_clash_rests_on_the_value",
     "EquivalentClasses(:C ObjectSomeValuesFrom(:R :B)) EquivalentClasses(:C DataMinCardinality(1 :p)) "
     "EquivalentClasses(:A DataExactCardinality(0 :p))",
     "A", Tag::Sat},
    {"negated_self_clash_rests_on_the_loop",
     "SubObjectPropertyOf(:S :R) SubClassOf(owl:Thing ObjectUnionOf(:C :D)) SubClassOf(:C ObjectHasSelf(:S)) "
     "SubClassOf(:A ObjectComplementOf(ObjectHasSelf(:R)))",
     "A", Tag::Sat},
    // Classic cases.
    {"disjunction_with_one_closed_branch",
     "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:A ObjectComplementOf(:B))", "A", Tag::Sat},
    {"disjunction_with_both_branches_closed",
     "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:A ObjectComplementOf(:B)) "
     "SubClassOf(:A ObjectComplementOf(:C))",
     "A", Tag::Clash},
    {"internalised_gci", "SubClassOf(ObjectSomeValuesFrom(:R :B) :C) SubClassOf(:A ObjectSomeValuesFrom(:R :B)) "
     "DisjointClasses(:A :C)", "A", Tag::Clash},
    {"inverse_propagation",
     "SubClassOf(:A ObjectSomeValuesFrom(:R ObjectAllValuesFrom(ObjectInverseOf(:R) :B))) "
     "DisjointClasses(:A :B)", "A", Tag::Clash},
    {"cycle_terminates", "SubClassOf(:A ObjectSomeValuesFrom(:R :A))", "A", Tag::Sat},
    {"cycle_with_inverse_terminates",
     "SubClassOf(:A ObjectSomeValuesFrom(:R :A)) SubClassOf(:A ObjectAllValuesFrom(ObjectInverseOf(:R) :A))", "A",
     Tag::Sat},
    {"transitive_role_propagates",
     "TransitiveObjectProperty(:R) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R "
     "ObjectSomeValuesFrom(:R :B)) ObjectAllValuesFrom(:R ObjectComplementOf(:B))))", "A", Tag::Clash},
    {"transitive_cycle_terminates",
     "TransitiveObjectProperty(:R) SubClassOf(:A ObjectSomeValuesFrom(:R :A))", "A", Tag::Sat},
    {"chain_of_two",
     "SubObjectPropertyOf(ObjectPropertyChain(:R :S) :T) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R "
     "ObjectSomeValuesFrom(:S :B)) ObjectAllValuesFrom(:T ObjectComplementOf(:B))))", "A", Tag::Clash},
    {"chain_of_three",
     "SubObjectPropertyOf(ObjectPropertyChain(:R :S :U) :T) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R "
     "ObjectSomeValuesFrom(:S ObjectSomeValuesFrom(:U :B))) ObjectAllValuesFrom(:T ObjectComplementOf(:B))))", "A",
     Tag::Clash},
    {"role_hierarchy",
     "SubObjectPropertyOf(:S :R) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:S :B) "
     "ObjectAllValuesFrom(:R ObjectComplementOf(:B))))", "A", Tag::Clash},
    {"at_most_merges_successors",
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R :B) ObjectSomeValuesFrom(:R :C) "
     "ObjectMaxCardinality(1 :R owl:Thing))) DisjointClasses(:B :C)", "A", Tag::Clash},
    {"at_most_merge_satisfiable",
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R :B) ObjectSomeValuesFrom(:R :C) "
     "ObjectMaxCardinality(1 :R owl:Thing)))", "A", Tag::Sat},
    {"inverse_functional_merge_into_predecessor",
     "InverseFunctionalObjectProperty(:R) SubClassOf(:A ObjectSomeValuesFrom(:R ObjectIntersectionOf(:B "
     "ObjectSomeValuesFrom(ObjectInverseOf(:R) :C)))) DisjointClasses(:A :C)", "A", Tag::Clash},
    {"qualified_counting_needs_choose",
     "SubClassOf(:A ObjectIntersectionOf(ObjectMinCardinality(3 :R owl:Thing) ObjectMaxCardinality(1 :R :B) "
     "ObjectMaxCardinality(1 :R ObjectComplementOf(:B))))", "A", Tag::Clash},
    {"qualified_counting_satisfiable",
     "SubClassOf(:A ObjectIntersectionOf(ObjectMinCardinality(2 :R owl:Thing) ObjectMaxCardinality(1 :R :B) "
     "ObjectMaxCardinality(1 :R ObjectComplementOf(:B))))", "A", Tag::Sat},
    {"nominal_with_cardinality",
     "SubClassOf(:A ObjectIntersectionOf(ObjectMinCardinality(2 :R owl:Thing) ObjectAllValuesFrom(:R "
     "ObjectOneOf(:o))))", "A", Tag::Clash},
    {"two_nominals_with_cardinality",
     "DifferentIndividuals(:o :p) SubClassOf(:A ObjectIntersectionOf(ObjectMinCardinality(2 :R owl:Thing) "
     "ObjectAllValuesFrom(:R ObjectOneOf(:o :p))))", "A", Tag::Sat},
    {"self_and_irreflexive",
     "IrreflexiveObjectProperty(:R) SubClassOf(:A ObjectHasSelf(:R))", "A", Tag::Clash},
    {"self_satisfiable", "SubClassOf(:A ObjectHasSelf(:R))", "A", Tag::Sat},
    {"asymmetric_role",
     "AsymmetricObjectProperty(:R) SubClassOf(:A ObjectSomeValuesFrom(:R ObjectHasValue(:R :a))) "
     "ClassAssertion(:A :a)", "A", Tag::Clash},
    {"disjoint_roles",
     "DisjointObjectProperties(:R :S) SubClassOf(:A ObjectIntersectionOf(ObjectHasValue(:R :a) "
     "ObjectHasValue(:S :a)))", "A", Tag::Clash},
    {"disjoint_roles_different_targets",
     "DisjointObjectProperties(:R :S) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:R :B) "
     "ObjectSomeValuesFrom(:S :B)))", "A", Tag::Sat},
    // Data ranges of each family.
    {"int_range_count",
     "SubClassOf(:A DataMinCardinality(5 :p DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer "
     "xsd:maxInclusive \"3\"^^xsd:integer)))", "A", Tag::Clash},
    {"int_range_fits",
     "SubClassOf(:A DataMinCardinality(3 :p DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer "
     "xsd:maxInclusive \"3\"^^xsd:integer)))", "A", Tag::Sat},
    {"string_set_packing",
     "SubClassOf(:A ObjectIntersectionOf(DataHasValue(:p \"a\") DataHasValue(:p \"b\") DataMaxCardinality(1 :p "
     "DataOneOf(\"a\" \"b\"))))", "A", Tag::Clash},
    {"decimal_single_point",
     "SubClassOf(:A DataMinCardinality(2 :p DatatypeRestriction(xsd:decimal xsd:minInclusive \"5\"^^xsd:decimal "
     "xsd:maxInclusive \"5\"^^xsd:decimal)))", "A", Tag::Clash},
    {"date_range_empty_meet",
     "SubClassOf(:A ObjectIntersectionOf(DataAllValuesFrom(:p DatatypeRestriction(xsd:date xsd:maxInclusive "
     "\"2000-01-01\"^^xsd:date)) DataSomeValuesFrom(:p DatatypeRestriction(xsd:date xsd:minExclusive "
     "\"2001-01-01\"^^xsd:date))))", "A", Tag::Clash},
    {"date_time_range_meets",
     "SubClassOf(:A ObjectIntersectionOf(DataAllValuesFrom(:p DatatypeRestriction(xsd:dateTime xsd:maxInclusive "
     "\"2002-01-01T00:00:00\"^^xsd:dateTime)) DataSomeValuesFrom(:p DatatypeRestriction(xsd:dateTime xsd:minExclusive "
     "\"2001-01-01T00:00:00\"^^xsd:dateTime))))", "A", Tag::Sat},
    {"negated_one_of_leaves_no_value",
     "SubClassOf(:A DataAllValuesFrom(:p DataOneOf(\"3\"^^xsd:integer \"4\"^^xsd:integer))) "
     "SubClassOf(:A DataAllValuesFrom(:p DataOneOf(\"2\"^^xsd:integer \"3\"^^xsd:integer))) "
     "SubClassOf(:A DataSomeValuesFrom(:p DataComplementOf(DataOneOf(\"3\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"negated_one_of_leaves_a_value",
     "SubClassOf(:A DataAllValuesFrom(:p DataOneOf(\"3\"^^xsd:integer \"4\"^^xsd:integer))) "
     "SubClassOf(:A DataSomeValuesFrom(:p DataComplementOf(DataOneOf(\"3\"^^xsd:integer))))",
     "A", Tag::Sat},
    {"disjoint_data_roles_need_one_value",
     "DisjointDataProperties(:p :q) SubClassOf(:A DataHasValue(:p \"10\"^^xsd:integer)) "
     "SubClassOf(:A DataSomeValuesFrom(:q DatatypeRestriction(xsd:integer xsd:minInclusive \"10\"^^xsd:integer "
     "xsd:maxInclusive \"10\"^^xsd:integer)))",
     "A", Tag::Clash},
    {"disjoint_data_roles_need_two_values",
     "DisjointDataProperties(:p :q) SubClassOf(:A DataHasValue(:p \"10\"^^xsd:integer)) "
     "SubClassOf(:A DataSomeValuesFrom(:q DatatypeRestriction(xsd:integer xsd:minInclusive \"11\"^^xsd:integer "
     "xsd:maxInclusive \"11\"^^xsd:integer)))",
     "A", Tag::Sat},
    // Integer ranges met together, a value excluded from what is left; decimals equal to integers.
    {"int_ranges_meet_in_excluded_zero",
     "SubClassOf(:A ObjectIntersectionOf(DataAllValuesFrom(:p xsd:nonNegativeInteger) "
     "DataSomeValuesFrom(:p xsd:nonPositiveInteger) ObjectComplementOf(DataHasValue(:p \"0\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"int_ranges_meet_in_allowed_zero",
     "SubClassOf(:A ObjectIntersectionOf(DataAllValuesFrom(:p xsd:nonNegativeInteger) "
     "DataSomeValuesFrom(:p xsd:nonPositiveInteger) ObjectComplementOf(DataHasValue(:p \"1\"^^xsd:integer))))",
     "A", Tag::Sat},
    {"int_range_all_values_excluded",
     "SubClassOf(:A ObjectIntersectionOf(DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive "
     "\"1\"^^xsd:integer xsd:maxInclusive \"3\"^^xsd:integer)) ObjectComplementOf(DataHasValue(:p \"1\"^^xsd:integer)) "
     "ObjectComplementOf(DataHasValue(:p \"2\"^^xsd:integer)) ObjectComplementOf(DataHasValue(:p \"3\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"int_range_one_value_left",
     "SubClassOf(:A ObjectIntersectionOf(DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive "
     "\"1\"^^xsd:integer xsd:maxInclusive \"3\"^^xsd:integer)) ObjectComplementOf(DataHasValue(:p \"1\"^^xsd:integer)) "
     "ObjectComplementOf(DataHasValue(:p \"2\"^^xsd:integer))))",
     "A", Tag::Sat},
    {"xsd_int_value_is_the_integer",
     "SubClassOf(:A ObjectIntersectionOf(DataHasValue(:p \"0\"^^xsd:int) "
     "ObjectComplementOf(DataHasValue(:p \"0\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"decimal_value_equals_integer",
     "SubClassOf(:A ObjectIntersectionOf(DataHasValue(:p \"1\"^^xsd:integer) "
     "ObjectComplementOf(DataHasValue(:p \"1.0\"^^xsd:decimal))))",
     "A", Tag::Clash},
    {"integer_value_equals_decimal",
     "SubClassOf(:A ObjectIntersectionOf(DataHasValue(:p \"2.00\"^^xsd:decimal) "
     "ObjectComplementOf(DataHasValue(:p \"2\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"decimal_value_differs_from_integer",
     "SubClassOf(:A ObjectIntersectionOf(DataHasValue(:p \"1\"^^xsd:integer) "
     "ObjectComplementOf(DataHasValue(:p \"1.5\"^^xsd:decimal))))",
     "A", Tag::Sat},
    // Too many values to enumerate: the integers are searched at the keys' bounds.
    {"wide_int_range_all_excluded",
     "SubClassOf(:A ObjectIntersectionOf(DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive "
     "\"0\"^^xsd:integer xsd:maxInclusive \"1000\"^^xsd:integer)) DataAllValuesFrom(:p DataComplementOf("
     "DatatypeRestriction(xsd:integer xsd:maxInclusive \"500\"^^xsd:integer))) DataAllValuesFrom(:p "
     "DataComplementOf(DatatypeRestriction(xsd:integer xsd:minInclusive \"501\"^^xsd:integer)))))",
     "A", Tag::Clash},
    {"wide_int_range_one_value_left",
     "SubClassOf(:A ObjectIntersectionOf(DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive "
     "\"0\"^^xsd:integer xsd:maxInclusive \"1000\"^^xsd:integer)) DataAllValuesFrom(:p DataComplementOf("
     "DatatypeRestriction(xsd:integer xsd:maxInclusive \"500\"^^xsd:integer))) DataAllValuesFrom(:p "
     "DataComplementOf(DatatypeRestriction(xsd:integer xsd:minInclusive \"502\"^^xsd:integer)))))",
     "A", Tag::Sat},
    // A value reached through a data role is reached through its super-roles too.
    {"sub_role_values_count_toward_super_max",
     "SubDataPropertyOf(:dp :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dp xsd:integer) DataMaxCardinality(1 :dq xsd:integer)))",
     "A", Tag::Clash},
    {"sub_role_values_under_functional_super",
     "SubDataPropertyOf(:dp :dq) FunctionalDataProperty(:dq) SubClassOf(:A DataMinCardinality(2 :dp xsd:integer))",
     "A", Tag::Clash},
    {"sub_role_values_under_super_range",
     "SubDataPropertyOf(:dp :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(3 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer)) DataAllValuesFrom(:dq DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"sub_role_values_fit_super_range",
     "SubDataPropertyOf(:dp :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer)) DataAllValuesFrom(:dq DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer))))",
     "A", Tag::Sat},
    {"super_range_leaves_sub_role_nothing",
     "SubDataPropertyOf(:dp :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"5\"^^xsd:integer)) DataAllValuesFrom(:dq DatatypeRestriction(xsd:integer xsd:maxInclusive \"3\"^^xsd:integer))))",
     "A", Tag::Clash},
    {"two_sub_roles_overfill_super_max",
     "SubDataPropertyOf(:dp :dq) SubDataPropertyOf(:dr :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"5\"^^xsd:integer)) DataMinCardinality(2 :dr DatatypeRestriction(xsd:integer xsd:minInclusive \"10\"^^xsd:integer xsd:maxInclusive \"15\"^^xsd:integer)) DataMaxCardinality(3 :dq xsd:integer)))",
     "A", Tag::Clash},
    {"two_sub_roles_fill_super_max",
     "SubDataPropertyOf(:dp :dq) SubDataPropertyOf(:dr :dq) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"5\"^^xsd:integer)) DataMinCardinality(2 :dr DatatypeRestriction(xsd:integer xsd:minInclusive \"10\"^^xsd:integer xsd:maxInclusive \"15\"^^xsd:integer)) DataMaxCardinality(4 :dq xsd:integer)))",
     "A", Tag::Sat},
    {"equivalent_data_roles_share_counts",
     "EquivalentDataProperties(:dp :dr) SubClassOf(:A ObjectIntersectionOf(DataMinCardinality(2 :dr xsd:integer) DataMaxCardinality(1 :dp xsd:integer)))",
     "A", Tag::Clash},
    {"disjoint_super_roles_one_value",
     "SubDataPropertyOf(:dp :dq) DisjointDataProperties(:dq :dr) SubClassOf(:A ObjectIntersectionOf(DataHasValue(:dp \"5\"^^xsd:integer) DataHasValue(:dr \"5\"^^xsd:integer)))",
     "A", Tag::Clash},
    {"disjoint_super_roles_two_values",
     "SubDataPropertyOf(:dp :dq) DisjointDataProperties(:dq :dr) SubClassOf(:A ObjectIntersectionOf(DataHasValue(:dp \"5\"^^xsd:integer) DataHasValue(:dr \"6\"^^xsd:integer)))",
     "A", Tag::Sat},
    // All-values restrictions absorbed into role records bind counted values too.
    {"absorbed_all_values_bind_counted_values",
     "SubClassOf(:A DataMinCardinality(3 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer))) SubClassOf(:A DataAllValuesFrom(:dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer)))",
     "A", Tag::Clash},
    {"data_range_binds_counted_values",
     "DataPropertyRange(:dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer)) SubClassOf(:A DataMinCardinality(3 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer)))",
     "A", Tag::Clash},
    {"data_range_fits_counted_values",
     "DataPropertyRange(:dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer)) SubClassOf(:A DataMinCardinality(2 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer)))",
     "A", Tag::Sat},
    {"super_role_range_binds_sub_role_values",
     "SubDataPropertyOf(:dp :dq) DataPropertyRange(:dq DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer)) SubClassOf(:A DataMinCardinality(3 :dp DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer)))",
     "A", Tag::Clash},
    {"float_set_value_count",
     "SubClassOf(:A DataMinCardinality(2 :p DataOneOf(\"1.5\"^^xsd:float)))", "A", Tag::Clash},
};

INSTANTIATE_TEST_SUITE_P(Cases, Satisfiability, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_anywhere" : "_ancestor");
                         });

}  // namespace
}  // namespace kelmon::completion
