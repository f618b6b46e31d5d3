#include "reasoner/kernel/snapshot_capture.h"

#include <gtest/gtest.h>

#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::class_id;
using kelmon::testing::convert_ofn;

struct RoleCase {
  const char* name;
  const char* body;
};

class SnapshotRoles : public ::testing::TestWithParam<RoleCase> {};

// The snapshot engines carry no role hierarchy: A's cached model has to reach
// C through the role axioms alone, and the refutation of C on it must close.
TEST_P(SnapshotRoles, AModelOfASubClassRefutesNoEntailedSuperClass) {
  auto ir = convert_ofn(GetParam().body);
  auto capture = build_snapshot_capture(ir);
  const std::uint32_t t = capture->id_bound;
  std::vector<DlClause> clauses = capture->clauses;
  clauses.push_back({{concept_atom(t, 0)}, {concept_atom(class_id(ir, "A").v, 0)}});
  HyperEngine engine(clauses, t);
  ASSERT_EQ(engine.run(256, std::nullopt), HyperOutcome::Sat);
  std::optional<HyperSnapshot> snapshot = engine.snapshot_root(t);
  ASSERT_TRUE(snapshot.has_value());
  const std::vector<DlClause> refutation{{{concept_atom(t, 0), concept_atom(class_id(ir, "C").v, 0)}, {}}};
  EXPECT_EQ(hyper_test_eager(clauses, *snapshot, refutation), 0);
  EXPECT_EQ(hyper_test_lazy(clauses, *snapshot, refutation), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SnapshotRoles,
    ::testing::Values(
        RoleCase{"SubRole",
                 "SubObjectPropertyOf(:s :r) SubClassOf(:A ObjectSomeValuesFrom(:s :B))"
                 "EquivalentClasses(:C ObjectSomeValuesFrom(:r :B))"},
        RoleCase{"SubRoleOfASubRole",
                 "SubObjectPropertyOf(:t :s) SubObjectPropertyOf(:s :r) SubClassOf(:A ObjectSomeValuesFrom(:t :B))"
                 "EquivalentClasses(:C ObjectSomeValuesFrom(:r :B))"},
        RoleCase{"EquivalentRole",
                 "EquivalentObjectProperties(:s :r) SubClassOf(:A ObjectSomeValuesFrom(:r :B))"
                 "EquivalentClasses(:C ObjectSomeValuesFrom(:s :B))"},
        RoleCase{"SymmetricRole",
                 "SymmetricObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:r :B))"
                 "SubClassOf(:B ObjectAllValuesFrom(:r :C))"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
