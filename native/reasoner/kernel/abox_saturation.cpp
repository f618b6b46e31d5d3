#include "reasoner/kernel/abox_saturation.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/invariant.h"
#include "common/radix_sort.h"
#include "common/switches.h"
#include "core/axiom.h"
#include "reasoner/kernel/internal/abox_hash.h"
#include "reasoner/kernel/internal/abox_rules.h"
#include "reasoner/kernel/ontology_scans.h"

namespace kelmon::reasoner {
namespace {

using abox::AboxRules;
using abox::role_key;
using abox::SameGroups;

using abox::EdgeHash;
using abox::pair_key;
using abox::PairKeyHash;

bool is_man_iri(std::string_view iri) { return iri.size() > 3 && (iri.ends_with("#Man") || iri.ends_with("/Man")); }
bool is_woman_iri(std::string_view iri) {
  return iri.size() > 5 && (iri.ends_with("#Woman") || iri.ends_with("/Woman"));
}
// Individuals whose derivations the trace follows, by the end of their IRI.
constexpr std::string_view kWatchedIndividualSuffixes[] = {"#kelmon-watch-individual", "/kelmon-watch-individual",
                                                           ":kelmon-watch-individual"};
bool is_watched_individual(std::string_view iri) {
  return std::any_of(std::begin(kWatchedIndividualSuffixes), std::end(kWatchedIndividualSuffixes),
                     [&](std::string_view s) { return iri.ends_with(s); });
}

void trace_line(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fputc('\n', stderr);
}

class Saturator {
 public:
  Saturator(const InternalOntology& ir, Deadline deadline)
      : ir_(ir),
        deadline_(deadline),
        rules_(abox::compile_abox_rules(ir)),
        groups_(abox::same_individual_groups(ir)),
        trace_(switch_text(SwitchId::Trace) == "1") {
    const std::size_t individuals = ir.vocabulary.individuals.size();
    type_list_.resize(individuals);
    touched_.assign(individuals, 0);
    functional_named_.assign(ir.vocabulary.roles.size(), 0);
    for (Role f : rules_.functional)
      if (f.is_named()) functional_named_[f.id.v] = 1;
    if (trace_) mark_watched();
  }

  AboxSaturation run() {
    seed();
    disjoint_brute_ = switch_flag(SwitchId::AboxDisjointBrute);
    if (!disjoint_brute_) build_disjoint_indexes();
    bool changed = true;
    while (changed) {
      if (expired(deadline_)) return abandon();
      changed = false;
      new_types_.clear();
      new_markers_.clear();
      if (!type_step(changed) || !edge_step(changed) || expired(deadline_)) return abandon();
      if (!chain_step(changed) || !functional_merge(changed)) return abandon();
      marker_clash();
      disjointness_clash();
      if (out_.inconsistent) break;
    }
    return finish();
  }

 private:
  // ---- types, edges, markers

  std::string_view individual_name(IndividualId i) const { return ir_.vocabulary.individuals.name(i); }
  std::string_view class_name(ClassId c) const { return ir_.vocabulary.classes.name(c); }
  std::string_view role_name(RoleId r) const { return ir_.vocabulary.roles.name(r); }

  void touch(IndividualId i) {
    if (!touched_[i.v]) {
      touched_[i.v] = 1;
      ++touched_count_;
    }
  }
  bool has_type(IndividualId i, ClassId c) {
    touch(i);
    return type_set_.contains(pair_key(i.v, c.v));
  }
  const std::vector<ClassId>& types_of(IndividualId i) {
    touch(i);
    return type_list_[i.v];
  }
  bool record_type(IndividualId i, ClassId c) {
    touch(i);
    if (!type_set_.insert(pair_key(i.v, c.v)).second) return false;
    type_list_[i.v].push_back(c);
    new_types_.emplace_back(i, c);
    return true;
  }

  // Stores r(s, o) with the named role, reversed for an inverse role; queues it when new.
  bool insert_edge(Role r, IndividualId s, IndividualId o) {
    const AboxEdge e = r.is_named() ? AboxEdge{r.id, s, o} : AboxEdge{r.id, o, s};
    if (!edge_set_.insert(e).second) return false;
    edge_queue_.push_back(e);
    return true;
  }

  void add_marker(IndividualId i, RoleId r, ClassId d) {
    const std::uint64_t key = pair_key(i.v, r.v);
    auto& entry = markers_[key];
    if (std::find(entry.begin(), entry.end(), d) != entry.end()) return;
    entry.push_back(d);
    if (functional_named_[r.v] && entry.size() >= 2)
      new_markers_.emplace_back(key, static_cast<std::uint32_t>(entry.size() - 1));
  }

  // Counts one work item; false once the clock, read every 4096 items, is at or past the deadline.
  bool tick() {
    if (!deadline_) return true;
    ++work_;
    return work_ % 4096 != 0 || !expired(deadline_);
  }

  // ---- seeding

  void seed() {
    std::vector<std::pair<IndividualId, ClassId>> conjuncts;
    for (const Axiom& axiom : ir_.axioms) {
      if (const auto* ca = std::get_if<ClassAssertion>(&axiom)) {
        check_individual(ca->individual);
        abox::push_atomic_conjuncts(ir_.concepts, ca->individual, ca->concept_id, conjuncts);
        for (auto [r, o] : abox::nominal_existentials(ir_.concepts, ca->concept_id)) {
          check_individual(o);
          check_role(r.id);
          insert_edge(r, ca->individual, o);
        }
      } else if (const auto* pa = std::get_if<ObjectPropertyAssertion>(&axiom)) {
        check_individual(pa->subject);
        check_individual(pa->object);
        check_role(pa->role.id);
        insert_edge(pa->role, pa->subject, pa->object);
      }
    }
    for (auto [i, c] : conjuncts) {
      invariant(c.v < rules_.told_supers.size(), "ABox saturation: id out of range");
      type_queue_.emplace_back(i, c);
    }
  }
  void check_individual(IndividualId i) const {
    invariant(i.v < type_list_.size(), "ABox saturation: id out of range");
  }
  void check_role(RoleId r) const {
    invariant(r.v < functional_named_.size(), "ABox saturation: id out of range");
  }

  void build_disjoint_indexes() {
    disjoint_of_.resize(rules_.told_supers.size());
    for (auto [c, d] : rules_.disjoint_pairs) {
      disjoint_of_[c.v].push_back(d);
      disjoint_of_[d.v].push_back(c);
      disjoint_set_.insert(pair_key(std::min(c.v, d.v), std::max(c.v, d.v)));
    }
  }

  // ---- one iteration

  bool type_step(bool& changed) {
    while (type_head_ < type_queue_.size()) {
      if (!tick()) return false;
      const auto [i, c] = type_queue_[type_head_++];
      if (!record_type(i, c)) continue;
      ++out_.type_additions;
      changed = true;
      if (trace_ && watched_individual_[i.v] && watched_class_[c.v])
        trace_line("[abox-sat] TYPE " + std::string(individual_name(i)) + " → " + std::string(class_name(c)) +
                   " (from type queue)");
      for (ClassId b : rules_.told_supers[c.v])
        if (!has_type(i, b)) type_queue_.emplace_back(i, b);
      for (auto [r, d] : rules_.existential_rules[c.v]) add_marker(i, r, d);
      for (auto [r, o] : rules_.nominal_rules[c.v]) insert_edge(r, i, o);
      if (const auto* group = groups_.group(i))
        for (IndividualId m : *group)
          if (m != i && !has_type(m, c)) type_queue_.emplace_back(m, c);
    }
    type_queue_.clear();
    type_head_ = 0;
    return true;
  }

  void push_classes(const std::vector<ClassId>& classes, IndividualId i) {
    for (ClassId d : classes)
      if (!has_type(i, d)) type_queue_.emplace_back(i, d);
  }

  bool edge_step(bool& changed) {
    if (edge_head_ < edge_queue_.size()) changed = true;
    while (edge_head_ < edge_queue_.size()) {
      if (!tick()) return false;
      const AboxEdge e = edge_queue_[edge_head_++];
      ++out_.edge_additions;
      const IndividualId x = e.subject, y = e.object;
      for (Role s : rules_.role_equivalents[e.role.v])
        insert_edge(Role::named(s.id), s.is_named() ? x : y, s.is_named() ? y : x);
      const std::uint32_t named = role_key(Role::named(e.role));
      const std::uint32_t inverse = role_key(Role::inverse_of(e.role));
      for (Role s : rules_.super_roles[named]) insert_edge(s, x, y);
      // Axioms over the inverse role read the edge the other way round.
      for (Role s : rules_.super_roles[inverse]) insert_edge(s, y, x);
      for (ClassId d : rules_.domains[named]) {
        if (has_type(x, d)) continue;
        type_queue_.emplace_back(x, d);
        if (trace_ && watched_individual_[x.v] && watched_class_[d.v])
          trace_line("[abox-sat] DOMAIN-DERIVED " + std::string(individual_name(x)) + " : " +
                     std::string(class_name(d)) + " via " + std::string(role_name(e.role)) + "(" +
                     std::string(individual_name(x)) + ", " + std::string(individual_name(y)) + ")");
      }
      push_classes(rules_.ranges[named], y);
      push_classes(rules_.domains[inverse], y);
      push_classes(rules_.ranges[inverse], x);
      const auto* gx = groups_.group(x);
      const auto* gy = groups_.group(y);
      if (gx != nullptr || gy != nullptr) {
        const std::vector<IndividualId> just_x{x}, just_y{y};
        for (IndividualId s : gx ? *gx : just_x)
          for (IndividualId t : gy ? *gy : just_y)
            if (s != x || t != y) insert_edge(Role::named(e.role), s, t);
      }
    }
    edge_queue_.clear();
    edge_head_ = 0;
    return true;
  }

  // The edges as they stand, grouped by role; within each role whose edges a
  // chain looks up as partners, sorted by subject, with a copy sorted by object.
  void take_snapshot() {
    const std::size_t roles = functional_named_.size();
    role_start_.assign(roles + 1, 0);
    for (const AboxEdge& e : edge_set_) ++role_start_[e.role.v + 1];
    for (std::size_t r = 0; r < roles; ++r) role_start_[r + 1] += role_start_[r];
    snapshot_.resize(edge_set_.size());
    std::vector<std::size_t> fill(role_start_.begin(), role_start_.end() - 1);
    for (const AboxEdge& e : edge_set_) snapshot_[fill[e.role.v]++] = e;
    chain_brute_ = switch_flag(SwitchId::AboxChainBrute);
    if (chain_brute_) return;
    by_object_.resize(snapshot_.size());
    for (RoleId r : partner_roles()) {
      AboxEdge* first = snapshot_.data() + role_start_[r.v];
      AboxEdge* last = snapshot_.data() + role_start_[r.v + 1];
      radix_sort(first, last, [](const AboxEdge& e) { return std::uint64_t{e.subject.v}; }, scratch_);
      AboxEdge* copy = by_object_.data() + role_start_[r.v];
      std::copy(first, last, copy);
      radix_sort(copy, copy + (last - first), [](const AboxEdge& e) { return std::uint64_t{e.object.v}; },
                 scratch_);
    }
  }

  std::vector<RoleId> partner_roles() const {
    std::vector<RoleId> out;
    for (const auto& rule : rules_.chain2_rules) out.push_back(rule[1].id);
    for (const auto& rule : rules_.chain3_rules) {
      out.push_back(rule[1].id);
      out.push_back(rule[2].id);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }

  std::span<const AboxEdge> role_slice(const std::vector<AboxEdge>& edges, RoleId r) const {
    return {edges.data() + role_start_[r.v], edges.data() + role_start_[r.v + 1]};
  }

  // Objects of r(ind, x), or with `inverse` subjects of r(x, ind), among the snapshot's edges.
  template <class Visit>
  void for_partners(RoleId r, IndividualId ind, bool inverse, Visit&& visit) const {
    if (chain_brute_) {
      for (const AboxEdge& e : snapshot_)
        if (e.role == r && (inverse ? e.object : e.subject) == ind) visit(inverse ? e.subject : e.object);
      return;
    }
    const auto slice = role_slice(inverse ? by_object_ : snapshot_, r);
    const auto key = [inverse](const AboxEdge& e) { return inverse ? e.object : e.subject; };
    auto it = std::lower_bound(slice.begin(), slice.end(), ind,
                               [&](const AboxEdge& e, IndividualId v) { return key(e) < v; });
    for (; it != slice.end() && key(*it) == ind; ++it) visit(inverse ? it->subject : it->object);
  }

  bool chain_step(bool& changed) {
    if (rules_.chain2_rules.empty() && rules_.chain3_rules.empty()) return true;
    take_snapshot();
    // Partners are visited in the snapshot, which insert_edge never changes.
    for (const auto& [r1, r2, s] : rules_.chain2_rules) {
      for (const AboxEdge& e : role_slice(snapshot_, r1.id)) {
        if (!tick()) return false;
        const IndividualId start = r1.is_named() ? e.subject : e.object;
        const IndividualId mid = r1.is_named() ? e.object : e.subject;
        for_partners(r2.id, mid, !r2.is_named(), [&](IndividualId t) {
          if (insert_edge(s, start, t)) {
            ++out_.chain2_fires;
            changed = true;
          }
        });
      }
    }
    for (const auto& [r1, r2, r3, s] : rules_.chain3_rules) {
      for (const AboxEdge& e : role_slice(snapshot_, r1.id)) {
        if (!tick()) return false;
        const IndividualId start = r1.is_named() ? e.subject : e.object;
        const IndividualId mid = r1.is_named() ? e.object : e.subject;
        for_partners(r2.id, mid, !r2.is_named(), [&](IndividualId t1) {
          for_partners(r3.id, t1, !r3.is_named(), [&](IndividualId t2) {
            if (insert_edge(s, start, t2)) {
              ++out_.chain3_fires;
              changed = true;
            }
          });
        });
      }
    }
    return true;
  }

  // (individual, other) for every edge of the functional role f: objects by
  // subject, or for an inverse f subjects by object; sorted, so each
  // individual's others are one run.
  std::vector<std::pair<IndividualId, IndividualId>> functional_links(Role f) const {
    std::vector<std::pair<IndividualId, IndividualId>> links;
    for (const AboxEdge& e : functional_edges_) {
      if (e.role != f.id) continue;
      links.emplace_back(f.is_named() ? e.subject : e.object, f.is_named() ? e.object : e.subject);
    }
    std::sort(links.begin(), links.end());
    return links;
  }

  // Calls visit(others) for each individual with two or more others over f.
  template <class Visit>
  void for_functional_groups(Role f, Visit&& visit) const {
    const auto links = functional_links(f);
    std::vector<IndividualId> others;
    for (std::size_t i = 0; i < links.size();) {
      std::size_t j = i;
      others.clear();
      while (j < links.size() && links[j].first == links[i].first) others.push_back(links[j++].second);
      if (others.size() >= 2) visit(others);
      i = j;
    }
  }

  void collect_functional_edges() {
    functional_edges_.clear();
    std::vector<std::uint8_t> functional_id(functional_named_.size(), 0);
    for (Role f : rules_.functional) functional_id[f.id.v] = 1;
    for (const AboxEdge& e : edge_set_)
      if (functional_id[e.role.v]) functional_edges_.push_back(e);
  }

  // Successors of one individual over a functional role are one individual:
  // each gets the types of all.
  bool functional_merge(bool& changed) {
    if (rules_.functional.empty()) return true;
    collect_functional_edges();
    std::vector<ClassId> united;
    for (Role f : rules_.functional) {
      if (expired(deadline_)) return false;
      for_functional_groups(f, [&](const std::vector<IndividualId>& others) {
        united.clear();
        for (IndividualId o : others) {
          const auto& types = types_of(o);
          united.insert(united.end(), types.begin(), types.end());
        }
        std::sort(united.begin(), united.end());
        united.erase(std::unique(united.begin(), united.end()), united.end());
        for (IndividualId o : others)
          for (ClassId c : united)
            if (!has_type(o, c)) {
              type_queue_.emplace_back(o, c);
              changed = true;
            }
      });
    }
    return true;
  }

  bool are_disjoint(ClassId c, ClassId d) const {
    if (!disjoint_brute_) return disjoint_set_.contains(pair_key(std::min(c.v, d.v), std::max(c.v, d.v)));
    return std::any_of(rules_.disjoint_pairs.begin(), rules_.disjoint_pairs.end(), [&](const auto& p) {
      return (p.first == c && p.second == d) || (p.first == d && p.second == c);
    });
  }

  // Classes required of successors over a functional role meet in one
  // successor, known or not. Only entries that grew this iteration can hold a new pair.
  void marker_clash() {
    for (auto [key, added] : new_markers_) {
      const auto& entry = markers_.at(key);
      for (std::uint32_t k = 0; k < added; ++k) {
        if (!are_disjoint(entry[k], entry[added])) continue;
        out_.inconsistent = true;
        if (trace_) {
          const IndividualId i{static_cast<std::uint32_t>(key >> 32)};
          const std::string role(role_name(RoleId{static_cast<std::uint32_t>(key)}));
          trace_line("[abox-sat] FUNCTIONAL-MARKER CLASH: " + std::string(individual_name(i)) + " has ∃" + role +
                     "." + std::string(class_name(entry[k])) + " ∩ ∃" + role + "." +
                     std::string(class_name(entry[added])) + " with Functional + Disjoint");
        }
      }
    }
  }

  void report_clash(IndividualId i, ClassId c, ClassId d) {
    out_.inconsistent = true;
    if (trace_)
      trace_line("[abox-sat] CLASH: " + std::string(individual_name(i)) + " has both " + std::string(class_name(c)) +
                 " and " + std::string(class_name(d)));
  }

  void disjointness_clash() {
    if (disjoint_brute_) {
      for (auto [c, d] : rules_.disjoint_pairs)
        for (std::uint32_t i = 0; i < touched_.size(); ++i)
          if (touched_[i] && has_type(IndividualId{i}, c) && has_type(IndividualId{i}, d))
            report_clash(IndividualId{i}, c, d);
      return;
    }
    // A clash needs a type recorded in this iteration: older pairs were tested when they met.
    for (auto [i, c] : new_types_)
      for (ClassId d : disjoint_of_[c.v])
        if (has_type(i, d)) return report_clash(i, c, d);
  }

  // ---- outcomes

  AboxSaturation abandon() {
    if (trace_)
      trace_line("[abox-sat] DEADLINE: fixpoint abandoned after " + std::to_string(out_.type_additions) +
                 " type / " + std::to_string(out_.edge_additions) + " edge additions (no verdict)");
    out_.edges.clear();
    out_.same_pairs.clear();
    out_.inconsistent = false;
    out_.abandoned = true;
    return std::move(out_);
  }

  // Two classes nobody can be in at once, as many ontologies name them; a
  // count for diagnosis, never a clash.
  void count_sex_clash_candidates() {
    const auto& names = ir_.vocabulary.classes.names();
    std::optional<ClassId> man, woman;
    for (std::uint32_t c = 0; c < names.size() && !(man && woman); ++c) {
      if (!man && is_man_iri(*names[c])) man = ClassId{c};
      if (!woman && is_woman_iri(*names[c])) woman = ClassId{c};
    }
    if (!man || !woman) return;
    for (std::uint32_t i = 0; i < touched_.size(); ++i) {
      if (!touched_[i] || !has_type(IndividualId{i}, *man) || !has_type(IndividualId{i}, *woman)) continue;
      ++out_.sex_clash_candidates;
      if (trace_) trace_line("[abox-sat] MAN+WOMAN clash candidate: " + std::string(individual_name(IndividualId{i})));
    }
  }

  AboxSaturation finish() {
    count_sex_clash_candidates();
    if (trace_) {
      trace_line("[abox-sat] chain2_fires=" + std::to_string(out_.chain2_fires) +
                 " chain3_fires=" + std::to_string(out_.chain3_fires) +
                 " type_additions=" + std::to_string(out_.type_additions) +
                 " edge_additions=" + std::to_string(out_.edge_additions) +
                 " sex_clash_candidates=" + std::to_string(out_.sex_clash_candidates));
      trace_line("[abox-sat] individuals=" + std::to_string(touched_count_) +
                 " total_edges=" + std::to_string(edge_set_.size()));
    }
    if (out_.inconsistent) return std::move(out_);
    out_.edges.assign(edge_set_.begin(), edge_set_.end());
    collect_functional_edges();
    for (Role f : rules_.functional)
      for_functional_groups(f, [&](const std::vector<IndividualId>& others) {
        for (std::size_t a = 0; a < others.size(); ++a)
          for (std::size_t b = a + 1; b < others.size(); ++b)
            out_.same_pairs.emplace_back(std::min(others[a], others[b]), std::max(others[a], others[b]));
      });
    std::sort(out_.same_pairs.begin(), out_.same_pairs.end());
    out_.same_pairs.erase(std::unique(out_.same_pairs.begin(), out_.same_pairs.end()), out_.same_pairs.end());
    return std::move(out_);
  }

  void mark_watched() {
    const auto& classes = ir_.vocabulary.classes.names();
    watched_class_.resize(classes.size());
    for (std::size_t c = 0; c < classes.size(); ++c)
      watched_class_[c] = is_man_iri(*classes[c]) || is_woman_iri(*classes[c]);
    const auto& individuals = ir_.vocabulary.individuals.names();
    watched_individual_.resize(individuals.size());
    for (std::size_t i = 0; i < individuals.size(); ++i)
      watched_individual_[i] = is_watched_individual(*individuals[i]);
  }

  const InternalOntology& ir_;
  Deadline deadline_;
  AboxRules rules_;
  SameGroups groups_;
  bool trace_;
  std::vector<std::uint8_t> watched_class_;
  std::vector<std::uint8_t> watched_individual_;
  std::vector<std::uint8_t> functional_named_;  // by role id: the named role is functional

  // Memberships: one set of (individual, class) for look-ups, a list per individual to enumerate.
  tsl::robin_set<std::uint64_t, PairKeyHash> type_set_;
  std::vector<std::vector<ClassId>> type_list_;
  // Individuals whose types a rule has asked for.
  std::vector<std::uint8_t> touched_;
  std::size_t touched_count_ = 0;
  tsl::robin_set<AboxEdge, EdgeHash> edge_set_;
  std::vector<std::pair<IndividualId, ClassId>> type_queue_;
  std::size_t type_head_ = 0;
  std::vector<AboxEdge> edge_queue_;
  std::size_t edge_head_ = 0;
  // (individual << 32 | role) → classes some successor over the role is in.
  tsl::robin_map<std::uint64_t, std::vector<ClassId>, PairKeyHash> markers_;
  // This iteration's additions, which the clash tests look at.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> new_markers_;  // (marker key, index of the new class)
  std::vector<std::pair<IndividualId, ClassId>> new_types_;

  bool disjoint_brute_ = false;
  std::vector<std::vector<ClassId>> disjoint_of_;
  tsl::robin_set<std::uint64_t, PairKeyHash> disjoint_set_;  // (smaller << 32 | larger)

  // Per iteration.
  bool chain_brute_ = false;
  std::vector<std::size_t> role_start_;
  std::vector<AboxEdge> snapshot_;
  std::vector<AboxEdge> by_object_;
  std::vector<AboxEdge> scratch_;
  std::vector<AboxEdge> functional_edges_;

  std::uint32_t work_ = 0;
  AboxSaturation out_;
};

}  // namespace

AboxSaturation saturate_abox(const InternalOntology& ir, Deadline deadline) {
  return Saturator(ir, deadline).run();
}

bool abox_saturation_clash(const InternalOntology& ir, Timeout timeout) {
  if (!switch_flag(SwitchId::AboxSaturation)) return false;
  if (!has_assertion(ir.axioms)) return false;
  return saturate_abox(ir, deadline_after(Clock::now(), timeout)).inconsistent;
}

}  // namespace kelmon::reasoner
