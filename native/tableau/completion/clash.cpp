// The clash check of one node: Bottom, a concept_id with its negation, and the
// data-value restrictions of each (value family, role) that no values can meet.
#include <algorithm>

#include "common/overload.h"
#include "core/data/int_cardinality.h"
#include "core/data/interval_ops.h"
#include "tableau/completion/context.h"
#include "tableau/completion/internal/data_value_clash.h"

namespace kelmon::completion {
namespace {

enum class Gather : std::uint8_t { All, AtLeast, AtMost };

struct GatheredItem {
  Gather kind;
  const DKeyValue* value;  // null: every value of the group's family
  std::uint32_t count;
};

struct DataRoleGroup {
  std::uint32_t family_rank;
  RoleId role;
  std::vector<GatheredItem> items;
  DepSet deps;
};

// Visiting rank of a value's family: the variants in order, each double family
// right after its float one (double and float value spaces are disjoint).
std::uint32_t family_rank(const DKeyValue& v) {
  const auto index = static_cast<std::uint32_t>(v.kind.index());
  bool is_double = false;
  if (const auto* r = std::get_if<DKeyValue::FloatRange>(&v.kind)) is_double = r->is_double;
  if (const auto* s = std::get_if<DKeyValue::FloatSet>(&v.kind)) is_double = s->is_double;
  return index * 2 + (is_double ? 1 : 0);
}

template <class V>
struct CountItem {
  V value;
  std::uint32_t count;
};

// The four checks shared by every family but integer ranges.
template <class V, class Ops>
bool restrictions_clash(const std::optional<V>& all, const std::vector<CountItem<V>>& at_least,
                        const std::vector<CountItem<V>>& at_most, const Ops& ops) {
  const V every = all ? *all : ops.unrestricted();
  std::vector<CountItem<V>> a, b;
  for (const auto& item : at_least) {
    if (item.count != 0) a.push_back({ops.intersect(item.value, every), item.count});
  }
  for (const auto& item : at_most) b.push_back({ops.intersect(item.value, every), item.count});
  if (ops.empty(every)) return !a.empty();
  for (const auto& x : a) {
    const auto n = ops.count(x.value);
    if (n && *n < x.count) return true;
  }
  for (const auto& x : a) {
    for (const auto& y : b) {
      if (ops.within(x.value, y.value) && y.count < x.count) return true;
    }
  }
  for (const auto& y : b) {
    std::vector<const V*> taken;
    std::uint64_t sum = 0;
    for (const auto& x : a) {
      if (!ops.within(x.value, y.value)) continue;
      const bool overlaps = std::any_of(taken.begin(), taken.end(),
                                        [&](const V* t) { return !ops.empty(ops.intersect(x.value, *t)); });
      if (overlaps) continue;
      taken.push_back(&x.value);
      sum += x.count;
      if (sum > y.count) return true;
    }
  }
  return false;
}

template <class I>
struct IntervalOps {
  I unrestricted() const { return I{}; }
  I intersect(const I& a, const I& b) const { return kelmon::interval_intersect(a, b); }
  bool empty(const I& i) const { return kelmon::interval_empty(i); }
  bool within(const I& x, const I& y) const { return kelmon::interval_within(x, y); }
  std::optional<std::uint64_t> count(const I& i) const { return kelmon::dense_count(i); }
};

template <class T>
struct SetOps {
  using S = kelmon::ValueSet<T>;
  S unrestricted() const { return std::nullopt; }
  S intersect(const S& a, const S& b) const { return kelmon::set_intersect(a, b); }
  bool empty(const S& s) const { return kelmon::set_empty(s); }
  bool within(const S& x, const S& y) const { return kelmon::set_within(x, y); }
  std::optional<std::uint64_t> count(const S& s) const { return kelmon::set_count(s); }
};

// Reads one family's payload out of each gathered item and runs the checks.
template <class V, class Read, class Ops>
bool family_clashes(const DataRoleGroup& g, const Read& read, const Ops& ops) {
  std::optional<V> all;
  std::vector<CountItem<V>> at_least, at_most;
  for (const GatheredItem& item : g.items) {
    V v = item.value ? read(*item.value) : ops.unrestricted();
    switch (item.kind) {
      case Gather::All:
        all = all ? ops.intersect(*all, v) : v;
        break;
      case Gather::AtLeast:
        at_least.push_back({std::move(v), item.count});
        break;
      case Gather::AtMost:
        at_most.push_back({std::move(v), item.count});
        break;
    }
  }
  return restrictions_clash(all, at_least, at_most, ops);
}

bool int_ranges_clash(const DataRoleGroup& g) {
  std::optional<IntInterval> all;
  std::vector<IntCountRestriction> at_least, at_most;
  for (const GatheredItem& item : g.items) {
    const IntInterval v = item.value ? std::get<DKeyValue::IntRange>(item.value->kind).interval : IntInterval{};
    switch (item.kind) {
      case Gather::All:
        all = all ? kelmon::interval_intersect(*all, v) : v;
        break;
      case Gather::AtLeast:
        at_least.push_back({v, item.count});
        break;
      case Gather::AtMost:
        at_most.push_back({v, item.count});
        break;
    }
  }
  return int_cardinality_clash(all, at_least, at_most);
}

template <class T>
kelmon::ValueSet<T> present(const std::vector<T>& values) {
  return values;
}

bool group_clashes(const DataRoleGroup& g) {
  using K = DKeyValue;
  switch (g.family_rank / 2) {
    case 0:
      return int_ranges_clash(g);
    case 1:
      return family_clashes<kelmon::ValueSet<std::string>>(
          g, [](const K& v) { return std::get<K::Strings>(v.kind).set; }, SetOps<std::string>{});
    case 2:
      return family_clashes<FloatInterval>(
          g, [](const K& v) { return std::get<K::FloatRange>(v.kind).interval; }, IntervalOps<FloatInterval>{});
    case 3:
      return family_clashes<DecimalInterval>(
          g, [](const K& v) { return std::get<K::DecimalRange>(v.kind).interval; }, IntervalOps<DecimalInterval>{});
    case 4:
      return family_clashes<DateInterval>(
          g, [](const K& v) { return std::get<K::DateRange>(v.kind).interval; }, IntervalOps<DateInterval>{});
    case 5:
      return family_clashes<DateTimeInterval>(
          g, [](const K& v) { return std::get<K::DateTimeRange>(v.kind).interval; },
          IntervalOps<DateTimeInterval>{});
    case 6:
      return family_clashes<kelmon::ValueSet<std::int64_t>>(
          g, [](const K& v) { return present(std::get<K::IntSet>(v.kind).values); }, SetOps<std::int64_t>{});
    case 7:
      return family_clashes<kelmon::ValueSet<double>>(
          g, [](const K& v) { return present(std::get<K::FloatSet>(v.kind).values); }, SetOps<double>{});
    case 8:
      return family_clashes<kelmon::ValueSet<DecimalValue>>(
          g, [](const K& v) { return present(std::get<K::DecimalSet>(v.kind).values); }, SetOps<DecimalValue>{});
    case 9:
      return family_clashes<kelmon::ValueSet<DateValue>>(
          g, [](const K& v) { return present(std::get<K::DateSet>(v.kind).values); }, SetOps<DateValue>{});
    default:
      return family_clashes<kelmon::ValueSet<DateTimeValue>>(
          g, [](const K& v) { return present(std::get<K::DateTimeSet>(v.kind).values); }, SetOps<DateTimeValue>{});
  }
}

struct DataLabel {
  Gather kind;
  ConceptId filler;
  Role role;
  std::uint32_t count;
};

std::optional<DataLabel> data_label(const Concept& c) {
  return std::visit(Overload{
                        [](const Some& s) -> std::optional<DataLabel> { return DataLabel{Gather::AtLeast, s.filler, s.role, 1}; },
                        [](const All& a) -> std::optional<DataLabel> { return DataLabel{Gather::All, a.filler, a.role, 0}; },
                        [](const Min& m) -> std::optional<DataLabel> { return DataLabel{Gather::AtLeast, m.filler, m.role, m.n}; },
                        [](const Max& m) -> std::optional<DataLabel> { return DataLabel{Gather::AtMost, m.filler, m.role, m.n}; },
                        [](const auto&) -> std::optional<DataLabel> { return std::nullopt; },
                    },
                    c);
}

}  // namespace

std::optional<DepSet> TableauContext::clash(NodeId id) const {
  const GraphNode& n = node(id);
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = pool->get(n.labels[i]);
    if (std::holds_alternative<Bottom>(c)) return n.label_deps[i];
    if (const Not* neg = std::get_if<Not>(&c)) {
      if (auto j = n.label_position(neg->operand)) return DepSet::union_of(n.label_deps[i], n.label_deps[*j]);
    }
  }
  if (data_ranges.empty()) return std::nullopt;

  // Groups by (family, role). A value reached through a role is reached through
  // each of its super-roles too, so at-least labels count toward every super-role's
  // group; all-values and at-most labels bind their own role only.
  std::vector<DataRoleGroup> groups;
  auto add = [&](std::uint32_t rank, RoleId role, const GatheredItem& item, std::size_t position) {
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const DataRoleGroup& x) { return x.family_rank == rank && x.role == role; });
    if (g == groups.end()) g = groups.insert(groups.end(), DataRoleGroup{rank, role, {}, {}});
    g->items.push_back(item);
    g->deps.join(n.label_deps[position]);
  };
  struct TopAtMost {
    RoleId role;
    std::uint32_t count;
    std::size_t position;
  };
  std::vector<TopAtMost> top_at_most;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const auto label = data_label(pool->get(n.labels[i]));
    if (!label || label->role.inverse != 0) continue;
    const DKeyValue* value = data_range_of(label->filler);
    if (!value) {
      // ≤n R.⊤ (a functional data role among them) bounds R's values of every family.
      if (label->kind == Gather::AtMost && std::holds_alternative<Top>(pool->get(label->filler)))
        top_at_most.push_back({label->role.id, label->count, i});
      continue;
    }
    const std::uint32_t rank = family_rank(*value);
    const GatheredItem item{label->kind, value, label->count};
    const RoleId role = label->role.id;
    if (label->kind != Gather::AtLeast || !role_hierarchy || role.v >= role_hierarchy->role_count()) {
      add(rank, role, item, i);
      continue;
    }
    for (RoleId super : role_hierarchy->super_roles(role)) add(rank, super, item, i);
  }
  // All-values restrictions absorbed into role records (ranges, A ⊑ ∀R.D) bind
  // the groups of their role as labels do: at-least labels make no successor.
  if (absorbed != nullptr && !groups.empty() && !absorbed->all_records.empty()) {
    auto bind = [&](const RoleRule& record, const DepSet* guard_deps) {
      if (record.role.inverse != 0) return;
      const DKeyValue* value = data_range_of(record.filler);
      if (!value) return;
      const std::uint32_t rank = family_rank(*value);
      for (DataRoleGroup& g : groups) {
        if (g.role != record.role.id || g.family_rank != rank) continue;
        g.items.push_back({Gather::All, value, 0});
        if (guard_deps) g.deps.join(*guard_deps);
      }
    };
    std::vector<std::pair<ClassId, std::size_t>> atoms;
    for (std::size_t i = 0; i < n.labels.size(); ++i) {
      if (const Atomic* a = std::get_if<Atomic>(&pool->get(n.labels[i]))) atoms.emplace_back(a->cls, i);
    }
    if (!absorbed->all_index.empty() || !absorbed->global_all_records.empty()) {
      for (const RoleRule& record : absorbed->global_all_records) bind(record, nullptr);
      for (const auto& [cls, i] : atoms) {
        if (auto it = absorbed->all_index.find(cls); it != absorbed->all_index.end()) {
          for (const RoleRule& record : it->second) bind(record, &n.label_deps[i]);
        }
      }
    } else {
      for (const RoleRule& record : absorbed->all_records) {
        if (record.kind == RoleRule::kUnguarded) {
          bind(record, nullptr);
          continue;
        }
        for (const auto& [cls, i] : atoms) {
          if (cls == record.key) bind(record, &n.label_deps[i]);
        }
      }
    }
  }
  for (const TopAtMost& t : top_at_most) {
    const std::size_t count = groups.size();
    for (std::size_t g = 0; g < count; ++g) {
      if (groups[g].role != t.role) continue;
      groups[g].items.push_back({Gather::AtMost, nullptr, t.count});
      groups[g].deps.join(n.label_deps[t.position]);
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const DataRoleGroup& a, const DataRoleGroup& b) { return a.family_rank < b.family_rank; });
  for (const DataRoleGroup& g : groups) {
    if (group_clashes(g)) return g.deps;
  }
  if (auto d = internal::value_node_clash(*this, id)) return d;
  return internal::disjoint_data_roles_clash(*this, id);
}

}  // namespace kelmon::completion
