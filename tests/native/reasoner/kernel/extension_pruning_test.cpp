#include "reasoner/kernel/extension_pruning.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmon::reasoner {
namespace {

// Classes 0..9, nominals 10..11.
constexpr std::uint32_t C = 1, N = 2, D = 3, E = 4, B = 5, Nom = 10;
const Role kR = Role::named(RoleId{0});

DlClause disjoint(std::uint32_t x, std::uint32_t y) { return {{concept_atom(x, 0), concept_atom(y, 0)}, {}}; }
DlClause top_union(std::uint32_t x, std::uint32_t y) { return {{}, {concept_atom(x, 0), concept_atom(y, 0)}}; }

struct PruneCase {
  const char* name;
  std::vector<DlClause> clauses;
  std::vector<std::uint32_t> protect;
  std::vector<std::size_t> dropped;  // positions in `clauses`
};

class ExtensionPruning : public ::testing::TestWithParam<PruneCase> {};

TEST_P(ExtensionPruning, DropsExactlyTheClausesAnExtensionSatisfies) {
  const PruneCase& c = GetParam();
  std::vector<DlClause> clauses = c.clauses;
  const std::size_t n = drop_extension_satisfied_clauses(clauses, {10, 2, c.protect});
  std::vector<DlClause> expected;
  for (std::size_t i = 0; i < c.clauses.size(); ++i)
    if (std::find(c.dropped.begin(), c.dropped.end(), i) == c.dropped.end()) expected.push_back(c.clauses[i]);
  EXPECT_EQ(n, c.dropped.size());
  EXPECT_EQ(clauses, expected);
}

// Readers with empty heads, so that no head of theirs is extended away.
const DlClause kReadsC{{concept_atom(C, 0), role_atom(0, 1, kR)}, {}};
const DlClause kDToN{{concept_atom(D, 0)}, {concept_atom(N, 0), exists_atom(B, 0, kR)}};
const DlClause kReadsN{{concept_atom(N, 0), role_atom(0, 1, kR)}, {}};
const DlClause kEToD{{concept_atom(E, 0)}, {concept_atom(D, 0)}};
const DlClause kRToN{{concept_atom(D, 0), role_atom(0, 1, kR)}, {concept_atom(C, 0), concept_atom(N, 1)}};
const DlClause kCountsN{{concept_atom(D, 0)}, {at_most_atom(1, 0, kR, N)}};
const DlClause kAtLeastN{{concept_atom(D, 0)}, {at_least_atom(2, 0, kR, N)}};

INSTANTIATE_TEST_SUITE_P(
    Table, ExtensionPruning,
    ::testing::Values(
        // N ≡ ¬C: the union goes, the disjointness that keeps N apart from C stays.
        PruneCase{"complement_union", {disjoint(N, C), top_union(C, N), kReadsC}, {}, {1}},
        PruneCase{"complement_read_elsewhere", {disjoint(N, C), top_union(C, N), kReadsC, kReadsN}, {}, {}},
        PruneCase{"complement_counted_by_at_most", {disjoint(N, C), top_union(C, N), kReadsC, kCountsN}, {}, {}},
        PruneCase{"complement_required_alone", {disjoint(N, C), kReadsC, kDToN}, {}, {}},
        // The partner on another variable does not cover the node that needs N.
        PruneCase{"partner_on_another_variable", {disjoint(N, C), kReadsC, kRToN}, {}, {}},
        PruneCase{"two_partners", {disjoint(N, C), disjoint(N, D), top_union(C, N), kReadsC}, {}, {}},
        PruneCase{"protected", {disjoint(N, C), top_union(C, N), kReadsC}, {N}, {}},
        PruneCase{"nominal_partner_is_never_extended", {disjoint(Nom, C), top_union(C, Nom), kReadsC}, {}, {}},
        // Either side of a complement pair read by nothing else can be the one extended.
        PruneCase{"lower_side_extended", {disjoint(N, C), top_union(C, N), kReadsN}, {}, {1}},
        // Read by nothing at all: every clause that may conclude it is true.
        PruneCase{"unread_class", {kDToN, kRToN, kEToD, kAtLeastN}, {}, {0, 1}},
        PruneCase{"unread_but_counted", {kDToN, kCountsN}, {}, {}},
        // Two classes read only by their mutual disjointness: one of them is
        // extended, never both, and the union between them goes.
        PruneCase{"mutual_partners", {disjoint(C, N), top_union(C, N)}, {}, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
