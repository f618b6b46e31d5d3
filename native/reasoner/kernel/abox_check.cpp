#include "reasoner/kernel/abox_check.h"

#include <algorithm>
#include <limits>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/invariant.h"
#include "common/overload.h"
#include "reasoner/kernel/internal/abox_hash.h"
#include "reasoner/kernel/union_find.h"

namespace kelmon::reasoner {

std::string debug_text(const AboxClash& clash) {
  struct Fields {
    std::string text;
    Fields& add(const char* name, const std::string& value) {
      text += text.empty() ? " { " : ", ";
      text += std::string(name) + ": " + value;
      return *this;
    }
  };
  using namespace clash;
  auto render = Overload{
      [](const AssertedBot& c) {
        return "AssertedBot" + Fields{}.add("individual", debug_text(c.individual)).add("class", debug_text(c.cls)).text;
      },
      [](const DisjointTypes& c) {
        return "DisjointTypes" + Fields{}
                                     .add("individual", debug_text(c.individual))
                                     .add("c", debug_text(c.c))
                                     .add("d", debug_text(c.d))
                                     .text;
      },
      [](const NegOpaConflict& c) {
        return "NegOpaConflict" +
               Fields{}.add("from", debug_text(c.from)).add("role", debug_text(c.role)).add("to", debug_text(c.to)).text;
      },
      [](const SameDifferent& c) {
        return "SameDifferent" + Fields{}.add("a", debug_text(c.a)).add("b", debug_text(c.b)).text;
      },
      [](const FunctionalDiff& c) {
        return "FunctionalDiff" + Fields{}
                                      .add("role", debug_text(c.role))
                                      .add("a", debug_text(c.a))
                                      .add("b1", debug_text(c.b1))
                                      .add("b2", debug_text(c.b2))
                                      .text;
      },
      [](const AsymmetricViolation& c) {
        return "AsymmetricViolation" +
               Fields{}.add("role", debug_text(c.role)).add("a", debug_text(c.a)).add("b", debug_text(c.b)).text;
      },
      [](const IrreflexiveViolation& c) {
        return "IrreflexiveViolation" + Fields{}.add("role", debug_text(c.role)).add("a", debug_text(c.a)).text;
      },
      [](const FunctionalCollapse& c) {
        return "FunctionalCollapse" + Fields{}
                                          .add("individual", debug_text(c.individual))
                                          .add("role", debug_text(c.role))
                                          .add("q1", debug_text(c.q1))
                                          .add("q2", debug_text(c.q2))
                                          .text;
      },
      [](const DisjointRolePairViolation& c) {
        return "DisjointRolePairViolation" + Fields{}
                                                 .add("r", debug_text(c.r))
                                                 .add("s", debug_text(c.s))
                                                 .add("from", debug_text(c.from))
                                                 .add("to", debug_text(c.to))
                                                 .text;
      }};
  return std::visit(render, clash) + " }";
}

namespace {

using namespace clash;

using abox::EdgeHash;

constexpr std::uint32_t kNotIndexed = ~std::uint32_t{0};

// (role, filler) of ∃r.B with r named and B atomic: the concept itself, or a direct member of an And.
std::vector<std::pair<RoleId, ClassId>> top_level_existentials(const ConceptPool& pool, ConceptId id) {
  std::vector<std::pair<RoleId, ClassId>> out;
  auto take = [&](ConceptId c) {
    const auto* some = std::get_if<Some>(&pool.get(c));
    if (some == nullptr || !some->role.is_named()) return;
    if (const auto* filler = std::get_if<Atomic>(&pool.get(some->filler))) out.emplace_back(some->role.id, filler->cls);
  };
  if (const auto* conj = std::get_if<And>(&pool.get(id))) {
    for (ConceptId m : conj->members) take(m);
  } else {
    take(id);
  }
  return out;
}

const Atomic* as_atomic(const ConceptPool& pool, ConceptId id) { return std::get_if<Atomic>(&pool.get(id)); }

// Different pairs that unions may bring into one set, listed per set so that a
// union looks only at the pairs of the smaller side.
class DifferentWatch {
 public:
  DifferentWatch(std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs, UnionFind& sets)
      : pairs_(std::move(pairs)), sets_(sets) {
    for (std::uint32_t k = 0; k < pairs_.size(); ++k) {
      by_root_[sets_.find(pairs_[k].first)].push_back(k);
      by_root_[sets_.find(pairs_[k].second)].push_back(k);
    }
  }

  // Unites a and b; true when that put some different pair into one set.
  bool unite_breaks_a_pair(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t ra = sets_.find(a);
    const std::uint32_t rb = sets_.find(b);
    if (!sets_.unite(a, b)) return false;
    auto ia = by_root_.find(ra);
    auto ib = by_root_.find(rb);
    if (ia == by_root_.end() || ib == by_root_.end()) {
      // At most one side has pairs: none can join, the list just follows the new root.
      if (ia == by_root_.end() && ib == by_root_.end()) return false;
      move_list(ia != by_root_.end() ? ra : rb, sets_.find(a));
      return false;
    }
    std::vector<std::uint32_t> small = std::move(ia.value());
    std::vector<std::uint32_t> large = std::move(ib.value());
    if (small.size() > large.size()) std::swap(small, large);
    by_root_.erase(ra);
    by_root_.erase(rb);
    bool broken = false;
    for (std::uint32_t k : small) {
      broken = broken || sets_.same(pairs_[k].first, pairs_[k].second);
      large.push_back(k);
    }
    by_root_[sets_.find(a)] = std::move(large);
    return broken;
  }

 private:
  void move_list(std::uint32_t from_root, std::uint32_t to_root) {
    if (from_root == to_root) return;
    std::vector<std::uint32_t> list = std::move(by_root_[from_root]);
    by_root_.erase(from_root);
    by_root_[to_root] = std::move(list);
  }

  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs_;
  UnionFind& sets_;
  tsl::robin_map<std::uint32_t, std::vector<std::uint32_t>> by_root_;
};

class Checker {
 public:
  explicit Checker(const AboxCheckInput& in)
      : in_(in), facts_(in.facts), class_count_(static_cast<std::uint32_t>(in.told.class_count())) {}

  std::optional<AboxClash> run() {
    if (facts_.individual_nominals.empty()) return std::nullopt;
    if (auto c = asserted_bot()) return c;
    build_index();
    for (const auto& [individual, concept_id] : facts_.class_assertions) {
      const Atomic* a = as_atomic(in_.pool, concept_id);
      const std::uint32_t pos = position(individual);
      if (a != nullptr && pos != kNotIndexed) add_class(pos, a->cls.v);
    }
    normalise_types();
    if (auto c = disjoint_types()) return c;
    if (auto c = negative_assertion_conflict()) return c;
    UnionFind sets(positions_);
    if (auto c = same_different(sets)) return c;
    read_characteristics();
    if (auto c = functional_diff(sets)) return c;
    if (auto c = asymmetric_violation()) return c;
    if (auto c = irreflexive_violation(sets)) return c;
    if (apply_domains_and_ranges())
      if (auto c = disjoint_types()) return c;
    if (auto c = functional_collapse()) return c;
    return disjoint_role_pair_violation();
  }

 private:
  std::optional<AboxClash> asserted_bot() const {
    for (const auto& [individual, concept_id] : facts_.class_assertions) {
      const Atomic* a = as_atomic(in_.pool, concept_id);
      if (a != nullptr && in_.saturation.unsat.test(a->cls.v)) return AssertedBot{individual, a->cls};
    }
    return std::nullopt;
  }

  void build_index() {
    const auto& list = facts_.individual_nominals;
    invariant(list.size() <= std::size_t{std::numeric_limits<std::uint32_t>::max()}, "ind index fits in u32");
    positions_ = static_cast<std::uint32_t>(list.size());
    for (std::uint32_t pos = 0; pos < positions_; ++pos) index_[list[pos].first.v] = pos;
    types_.resize(positions_);
    sizes_.assign(positions_, 0);
    for (const auto& [individual, pos] : index_) individual_at_.emplace_back(pos, IndividualId{individual});
    std::sort(individual_at_.begin(), individual_at_.end());
  }
  std::uint32_t position(IndividualId i) const {
    auto it = index_.find(i.v);
    return it == index_.end() ? kNotIndexed : it->second;
  }

  // The class and its saturation subsumers; sorted once all are in.
  void add_class(std::uint32_t pos, std::uint32_t cls) {
    in_.saturation.subsumers.row_into(cls, row_);
    auto& types = types_[pos];
    types.push_back(cls);
    types.insert(types.end(), row_.begin(), row_.end());
  }
  // Sorts and deduplicates every type set; true when some set grew since the last call.
  bool normalise_types() {
    bool grew = false;
    for (std::uint32_t pos = 0; pos < positions_; ++pos) {
      auto& types = types_[pos];
      std::sort(types.begin(), types.end());
      types.erase(std::unique(types.begin(), types.end()), types.end());
      grew = grew || types.size() != sizes_[pos];
      sizes_[pos] = types.size();
    }
    return grew;
  }

  // The first told-disjoint pair, in ascending order, among an individual's classes.
  std::optional<AboxClash> disjoint_types() const {
    for (const auto& [pos, individual] : individual_at_) {
      const auto& types = types_[pos];
      const auto classes_end = std::lower_bound(types.begin(), types.end(), class_count_);
      for (auto it = types.begin(); it != classes_end; ++it) {
        const ClassId c{*it};
        const auto row = in_.told.disjoint[c];
        const auto later_row = std::upper_bound(row.begin(), row.end(), c);
        if (static_cast<std::size_t>(row.end() - later_row) <= static_cast<std::size_t>(classes_end - it)) {
          for (auto d = later_row; d != row.end(); ++d)
            if (std::binary_search(it + 1, classes_end, d->v)) return DisjointTypes{individual, c, *d};
        } else {
          for (auto d = it + 1; d != classes_end; ++d)
            if (in_.told.are_disjoint(c, ClassId{*d})) return DisjointTypes{individual, c, ClassId{*d}};
        }
      }
    }
    return std::nullopt;
  }

  bool asserted(IndividualId s, RoleId r, IndividualId o) const { return edges_.contains(AboxEdge{r, s, o}); }

  std::optional<AboxClash> negative_assertion_conflict() {
    for (const auto& f : facts_.role_assertions) edges_.insert(AboxEdge{f.role, f.source, f.target});
    for (const auto& n : facts_.negative_role_assertions) {
      if (asserted(n.source, n.role, n.target)) return NegOpaConflict{n.source, n.role, n.target};
      if (n.role.v >= in_.role_hierarchy.role_count()) continue;
      for (RoleId s : in_.role_hierarchy.sub_roles(n.role))
        if (asserted(n.source, s, n.target)) return NegOpaConflict{n.source, n.role, n.target};
      // S(b, a) gives R(a, b) when S⁻ ⊑ R.
      for (RoleId s : in_.role_hierarchy.reverse_sub_roles(n.role))
        if (asserted(n.target, s, n.source)) return NegOpaConflict{n.source, n.role, n.target};
    }
    return std::nullopt;
  }

  std::optional<AboxClash> same_different(UnionFind& sets) {
    for (const auto& [a, b] : facts_.same_pairs) {
      const std::uint32_t pa = position(a), pb = position(b);
      if (pa != kNotIndexed && pb != kNotIndexed) sets.unite(pa, pb);
    }
    for (const auto& [a, b] : facts_.different_pairs) {
      const std::uint32_t pa = position(a), pb = position(b);
      if (pa == kNotIndexed || pb == kNotIndexed) continue;
      different_.emplace_back(pa, pb);
      if (sets.same(pa, pb)) return SameDifferent{a, b};
    }
    return std::nullopt;
  }

  void read_characteristics() {
    for (const Axiom& axiom : in_.axioms) {
      std::visit(Overload{[&](const FunctionalRole& a) {
                            (a.role.is_named() ? functional_ : inverse_functional_).insert(a.role.id.v);
                          },
                          [&](const InverseFunctionalRole& a) { inverse_functional_.insert(a.role.id.v); },
                          [&](const AsymmetricRole& a) { asymmetric_.insert(a.role.id.v); },
                          [&](const IrreflexiveRole& a) { irreflexive_.insert(a.role.id.v); }, [](const auto&) {}},
                 axiom);
    }
  }

  // Objects of one (subject, role) over a functional role are one individual,
  // and so are subjects of one (role, object) over an inverse-functional one.
  std::optional<AboxClash> functional_diff(UnionFind& sets) {
    DifferentWatch watch(different_, sets);
    for (bool inverse : {false, true}) {
      const auto& roles = inverse ? inverse_functional_ : functional_;
      if (roles.empty()) continue;
      // (anchor, role, index of the assertion): sorting keeps each group's members in list order.
      std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> links;
      for (std::uint32_t k = 0; k < facts_.role_assertions.size(); ++k) {
        const auto& f = facts_.role_assertions[k];
        if (roles.contains(f.role.v)) links.emplace_back(inverse ? f.target.v : f.source.v, f.role.v, k);
      }
      std::sort(links.begin(), links.end());
      for (std::size_t i = 0; i < links.size();) {
        std::size_t j = i;
        while (j < links.size() && std::get<0>(links[j]) == std::get<0>(links[i]) &&
               std::get<1>(links[j]) == std::get<1>(links[i]))
          ++j;
        auto member = [&](std::size_t n) {
          const auto& f = facts_.role_assertions[std::get<2>(links[n])];
          return inverse ? f.source : f.target;
        };
        const IndividualId b1 = member(i);
        const std::uint32_t p1 = position(b1);
        for (std::size_t n = i + 1; n < j && p1 != kNotIndexed; ++n) {
          const IndividualId b2 = member(n);
          const std::uint32_t p2 = position(b2);
          if (p2 != kNotIndexed && watch.unite_breaks_a_pair(p1, p2))
            return FunctionalDiff{RoleId{std::get<1>(links[i])}, IndividualId{std::get<0>(links[i])}, b1, b2};
        }
        i = j;
      }
    }
    return std::nullopt;
  }

  std::optional<AboxClash> asymmetric_violation() const {
    for (const auto& f : facts_.role_assertions)
      if (asymmetric_.contains(f.role.v) && asserted(f.target, f.role, f.source))
        return AsymmetricViolation{f.role, f.source, f.target};
    return std::nullopt;
  }

  std::optional<AboxClash> irreflexive_violation(UnionFind& sets) const {
    for (const auto& f : facts_.role_assertions) {
      if (!irreflexive_.contains(f.role.v)) continue;
      const std::uint32_t ps = position(f.source), pt = position(f.target);
      if (f.source == f.target || (ps != kNotIndexed && pt != kNotIndexed && sets.same(ps, pt)))
        return IrreflexiveViolation{f.role, f.source};
    }
    return std::nullopt;
  }

  // The other role of the first inverse pair that holds r.
  std::optional<RoleId> inverse_partner(RoleId r) const {
    for (const auto& [p, q] : in_.inverse_pairs) {
      if (p == r) return q;
      if (q == r) return p;
    }
    return std::nullopt;
  }

  // Adds the atomic domains and ranges of every role assertion to its ends;
  // true when some type is new.
  bool apply_domains_and_ranges() {
    std::vector<std::pair<RoleId, ConceptId>> domains, ranges;
    for (const Axiom& axiom : in_.axioms) {
      if (const auto* d = std::get_if<ObjectPropertyDomain>(&axiom); d && d->role.is_named())
        domains.emplace_back(d->role.id, d->domain);
      if (const auto* r = std::get_if<ObjectPropertyRange>(&axiom); r && r->role.is_named())
        ranges.emplace_back(r->role.id, r->range);
    }
    // A range of one role of an inverse pair is a domain of the other, and back.
    for (std::size_t k = 0, n = ranges.size(); k < n; ++k)
      if (auto other = inverse_partner(ranges[k].first)) domains.emplace_back(*other, ranges[k].second);
    for (std::size_t k = 0, n = domains.size(); k < n; ++k)
      if (auto other = inverse_partner(domains[k].first)) ranges.emplace_back(*other, domains[k].second);
    tsl::robin_map<std::uint32_t, std::vector<ClassId>> domain_of, range_of;
    for (const auto& [r, c] : domains)
      if (const Atomic* a = as_atomic(in_.pool, c)) domain_of[r.v].push_back(a->cls);
    for (const auto& [r, c] : ranges)
      if (const Atomic* a = as_atomic(in_.pool, c)) range_of[r.v].push_back(a->cls);
    if (domain_of.empty() && range_of.empty()) return false;
    auto add_all = [&](const tsl::robin_map<std::uint32_t, std::vector<ClassId>>& table, RoleId r, IndividualId i) {
      auto it = table.find(r.v);
      const std::uint32_t pos = position(i);
      if (it == table.end() || pos == kNotIndexed) return;
      for (ClassId c : it->second) add_class(pos, c.v);
    };
    for (const auto& f : facts_.role_assertions) {
      add_all(domain_of, f.role, f.source);
      add_all(range_of, f.role, f.target);
    }
    return normalise_types();
  }

  std::optional<AboxClash> functional_collapse() const {
    if (functional_.empty()) return std::nullopt;
    tsl::robin_map<std::uint32_t, std::vector<std::pair<RoleId, ClassId>>> required;
    auto add = [&](ClassId a, ConceptId sup) {
      for (auto pair : top_level_existentials(in_.pool, sup))
        if (functional_.contains(pair.first.v)) required[a.v].push_back(pair);
    };
    for (const Axiom& axiom : in_.axioms) {
      if (const auto* s = std::get_if<SubClassOf>(&axiom)) {
        if (const Atomic* a = as_atomic(in_.pool, s->sub)) add(a->cls, s->sup);
      } else if (const auto* e = std::get_if<EquivalentClasses>(&axiom)) {
        for (ConceptId m : e->members)
          if (const Atomic* a = as_atomic(in_.pool, m))
            for (ConceptId other : e->members)
              if (other != m) add(a->cls, other);
      }
    }
    if (required.empty()) return std::nullopt;
    std::vector<std::pair<RoleId, std::vector<ClassId>>> fillers;  // per role, in order of first need
    for (const auto& [pos, individual] : individual_at_) {
      fillers.clear();
      for (std::uint32_t c : types_[pos]) {
        auto it = required.find(c);
        if (it == required.end()) continue;
        for (const auto& [role, filler] : it->second) {
          auto slot = std::find_if(fillers.begin(), fillers.end(), [&](const auto& f) { return f.first == role; });
          if (slot == fillers.end()) slot = fillers.emplace(fillers.end(), role, std::vector<ClassId>{});
          slot->second.push_back(filler);
        }
      }
      for (const auto& [role, list] : fillers)
        for (std::size_t i = 0; i < list.size(); ++i)
          for (std::size_t j = i + 1; j < list.size(); ++j)
            if (list[i].v < class_count_ && list[j].v < class_count_ && in_.told.are_disjoint(list[i], list[j]))
              return FunctionalCollapse{individual, role, list[i], list[j]};
    }
    return std::nullopt;
  }

  std::optional<AboxClash> disjoint_role_pair_violation() const {
    for (const auto& [r, s] : in_.disjoint_role_pairs)
      for (const auto& f : facts_.role_assertions) {
        if (f.role != r.id) continue;
        const bool met = s.is_named() ? asserted(f.source, s.id, f.target) : asserted(f.target, s.id, f.source);
        if (met) return DisjointRolePairViolation{r.id, s.id, f.source, f.target};
      }
    return std::nullopt;
  }

  const AboxCheckInput& in_;
  const AboxFacts& facts_;
  const std::uint32_t class_count_;
  std::uint32_t positions_ = 0;
  tsl::robin_map<std::uint32_t, std::uint32_t> index_;             // individual → position
  std::vector<std::pair<std::uint32_t, IndividualId>> individual_at_;  // (position, individual), ascending
  std::vector<std::vector<std::uint32_t>> types_;                  // by position: class and saturation ids
  std::vector<std::size_t> sizes_;
  std::vector<std::uint32_t> row_;
  tsl::robin_set<AboxEdge, EdgeHash> edges_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> different_;  // positions of different pairs
  tsl::robin_set<std::uint32_t> functional_, inverse_functional_, asymmetric_, irreflexive_;
};

}  // namespace

std::optional<AboxClash> abox_check(const AboxCheckInput& input) { return Checker(input).run(); }

}  // namespace kelmon::reasoner
