// The role hierarchy: per role every super-role and every sub-role (itself
// included) and a symmetric flag, over role ids with inverses folded away by
// the caller. Built once, then shared read-only.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <tsl/robin_map.h>

#include "common/ids.h"
#include "core/concept.h"
#include "core/ontology.h"
#include "core/row_table.h"

namespace kelmon {

// Direct super-roles of one role: up to four inline, more on the heap.
class RoleEdgeList {
 public:
  // Appends unless already present.
  void add(RoleId sup);
  std::size_t size() const { return inline_count_ < kInline ? inline_count_ : kInline + spill_.size(); }
  RoleId operator[](std::size_t i) const { return i < kInline ? inline_[i] : spill_[i - kInline]; }

 private:
  static constexpr std::size_t kInline = 4;
  std::array<RoleId, kInline> inline_{};
  std::uint32_t inline_count_ = 0;
  std::vector<RoleId> spill_;
};

struct RoleHierarchy {
  RowTable<RoleId> supers{"RoleHierarchy: role id out of range"};
  RowTable<RoleId> subs{"RoleHierarchy: role id out of range"};
  std::vector<std::uint8_t> symmetric;
  // Per role S every R with S⁻ ⊑ R, and per role R every such S.
  RowTable<RoleId> reverse_supers{"RoleHierarchy: role id out of range"};
  RowTable<RoleId> reverse_subs{"RoleHierarchy: role id out of range"};
  // 1 for a role some reversed sub-role reaches (a symmetric role at or below it).
  std::vector<std::uint8_t> reversed_below;
  // The two relations again as bit rows over the first dense_n roles: the
  // engines ask them for every edge they walk. Left empty (dense_n 0) for
  // hierarchies too large for a square of bits, or not built by the builders.
  std::vector<std::uint64_t> dense_supers;
  std::vector<std::uint64_t> dense_reverse_supers;
  std::uint32_t dense_n = 0;

  std::span<const RoleId> super_roles(RoleId role) const { return supers[role]; }
  std::span<const RoleId> sub_roles(RoleId role) const { return subs[role]; }
  // Reflexive: every role is a sub-role of itself.
  bool is_sub_role(RoleId sub, RoleId sup) const {
    if (sub.v < dense_n && sup.v < dense_n) return dense_bit(dense_supers, sub, sup);
    return supers.contains(sub, sup);
  }
  // sub⁻ ⊑ sup.
  bool is_reverse_sub_role(RoleId sub, RoleId sup) const {
    if (sub.v < dense_n && sup.v < dense_n) return dense_bit(dense_reverse_supers, sub, sup);
    return reverse_supers.contains(sub, sup);
  }
  // Fills the bit rows from supers and reverse_supers when the roles are few enough.
  void index_densely();
  // Every S with S⁻ ⊑ role.
  std::span<const RoleId> reverse_sub_roles(RoleId role) const { return reverse_subs[role]; }
  bool has_reversed_sub_role(RoleId role) const;
  bool is_symmetric(RoleId role) const;
  std::size_t role_count() const { return symmetric.size(); }

 private:
  std::uint64_t dense_words() const { return (std::uint64_t{dense_n} + 63) / 64; }
  bool dense_bit(const std::vector<std::uint64_t>& bits, RoleId row, RoleId col) const {
    return ((bits[row.v * dense_words() + col.v / 64] >> (col.v % 64)) & 1) != 0;
  }
};

class RoleHierarchyBuilder {
 public:
  explicit RoleHierarchyBuilder(std::uint32_t role_count) : edges(role_count), symmetric(role_count, 0) {}

  void add_edge(RoleId sub, RoleId sup);
  void mark_symmetric(RoleId role);
  // Closes the edges by one breadth-first search per role; consumes the builder.
  RoleHierarchy build() &&;

  std::vector<RoleEdgeList> edges;
  std::vector<std::uint8_t> symmetric;
};

// Inverse-role folding: InverseObjectProperties(P, Q) over two different named
// roles makes Q stand for inv(P); pairs in axiom order, a pair ignored when P
// or Q is already folded.
using InverseRoleMap = tsl::robin_map<std::uint32_t, Role>;
InverseRoleMap collect_inverse_role_map(const std::vector<Axiom>& axioms);
Role canonical_role_of(const InverseRoleMap& inverses, Role role);

// The hierarchy the reasoning kernel uses: builder over the vocabulary's roles,
// edges from single-role inclusions and equivalences after folding, symmetric
// flags from SymmetricRole and self-inverse roles.
RoleHierarchy build_role_hierarchy(const InternalOntology& ontology);

// The hierarchy over roles as written, for engines that keep inverse roles
// unfolded: S ⊑ R and S⁻ ⊑ R closed over every single-role inclusion and
// equivalence (inverse on either side), inverse-role and symmetric axioms.
RoleHierarchy build_directed_role_hierarchy(const InternalOntology& ontology);

}  // namespace kelmon
