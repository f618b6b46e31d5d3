#include "saturation/internal/normalise.h"

#include <algorithm>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon::sat {

namespace {

struct ExistsShape {
  ConceptId filler;
  u32 role;
  bool linked;  // an at-least restriction: its id carries its own link rule
};

// ∃r.F, or ≥n r.F with n ≥ 1, over a named role.
std::optional<ExistsShape> exists_shape(const Concept& c) {
  if (const auto* s = std::get_if<Some>(&c)) {
    if (s->role.is_named()) return ExistsShape{s->filler, s->role.id.v, false};
  } else if (const auto* m = std::get_if<Min>(&c)) {
    if (m->n >= 1 && m->role.is_named()) return ExistsShape{m->filler, m->role.id.v, true};
  }
  return std::nullopt;
}

std::vector<ConceptId> parts_of(const ConceptPool& pool, ConceptId c) {
  if (const auto* a = std::get_if<And>(&pool.get(c))) return a->members;
  return {c};
}

void sort_unique(std::vector<u32>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

bool bot_filler_on() { return switch_flag(SwitchId::ElBotFiller); }

}  // namespace

bool contains_bottom(ConceptId root, NormaliseContext& ctx) {
  if (auto it = ctx.bottom_memo.find(root.v); it != ctx.bottom_memo.end()) return it->second;
  // Post-order over the concept DAG with an explicit stack; every concept is
  // decided once per build.
  std::vector<std::pair<ConceptId, bool>> stack{{root, false}};
  auto children = [&](ConceptId c) -> std::vector<ConceptId> {
    const Concept& k = ctx.pool.get(c);
    if (const auto* a = std::get_if<And>(&k)) return a->members;
    if (const auto* s = std::get_if<Some>(&k)) return {s->filler};
    if (const auto* m = std::get_if<Min>(&k)) return m->n >= 1 ? std::vector<ConceptId>{m->filler} : std::vector<ConceptId>{};
    return {};
  };
  while (!stack.empty()) {
    auto [c, expanded] = stack.back();
    if (ctx.bottom_memo.contains(c.v)) {
      stack.pop_back();
      continue;
    }
    if (std::holds_alternative<Bottom>(ctx.pool.get(c))) {
      ctx.bottom_memo[c.v] = true;
      stack.pop_back();
      continue;
    }
    auto kids = children(c);
    if (!expanded) {
      stack.back().second = true;
      for (ConceptId k : kids)
        if (!ctx.bottom_memo.contains(k.v)) stack.push_back({k, false});
      continue;
    }
    bool any = false;
    for (ConceptId k : kids) {
      auto it = ctx.bottom_memo.find(k.v);
      if (it != ctx.bottom_memo.end() && it->second) any = true;
    }
    ctx.bottom_memo[c.v] = any;
    stack.pop_back();
  }
  return ctx.bottom_memo[root.v];
}

std::vector<u32> named_conjuncts(const ConceptPool& pool, ConceptId c) {
  const Concept& k = pool.get(c);
  if (const auto* a = std::get_if<Atomic>(&k)) return {a->cls.v};
  std::vector<u32> out;
  if (const auto* a = std::get_if<And>(&k)) {
    for (ConceptId m : a->members)
      if (const auto* at = std::get_if<Atomic>(&pool.get(m))) out.push_back(at->cls.v);
  }
  return out;
}

std::vector<u32> named_conjuncts_deep(const ConceptPool& pool, ConceptId c) {
  std::vector<u32> out;
  std::vector<ConceptId> stack{c};
  while (!stack.empty()) {
    ConceptId x = stack.back();
    stack.pop_back();
    const Concept& k = pool.get(x);
    if (const auto* a = std::get_if<Atomic>(&k)) {
      out.push_back(a->cls.v);
    } else if (const auto* a = std::get_if<And>(&k)) {
      for (auto it = a->members.rbegin(); it != a->members.rend(); ++it) stack.push_back(*it);
    }
  }
  return out;
}

std::optional<std::pair<u32, std::vector<u32>>> forall_nominals_of(const ConceptPool& pool, ConceptId c) {
  const auto* all = std::get_if<All>(&pool.get(c));
  if (all == nullptr || !all->role.is_named()) return std::nullopt;
  const Concept& f = pool.get(all->filler);
  if (const auto* n = std::get_if<Nominal>(&f)) return std::pair{all->role.id.v, std::vector<u32>{n->individual.v}};
  if (const auto* o = std::get_if<Or>(&f)) {
    std::vector<u32> individuals;
    for (ConceptId m : o->members) {
      const auto* n = std::get_if<Nominal>(&pool.get(m));
      if (n == nullptr) return std::nullopt;
      individuals.push_back(n->individual.v);
    }
    return std::pair{all->role.id.v, std::move(individuals)};
  }
  return std::nullopt;
}

std::vector<u32> range_classes(std::optional<u32> outer, u32 role, const NormaliseContext& ctx) {
  std::vector<u32> out;
  if (auto it = ctx.role_ranges.find(role); it != ctx.role_ranges.end()) out = it->second;
  if (outer) {
    if (auto it = ctx.chain_ranges.find(PairKey{*outer, role}); it != ctx.chain_ranges.end())
      out.insert(out.end(), it->second.begin(), it->second.end());
  }
  sort_unique(out);
  return out;
}

std::optional<u32> encode_expr(ConceptId root, std::vector<u32> root_extra, std::optional<u32> root_outer,
                               NormaliseContext& ctx) {
  // Nested existentials are encoded inside out with an explicit stack, so the
  // nesting depth of a concept is not bounded by the call stack.
  struct Frame {
    EncodeKey key;
    std::vector<u32> list;
    std::vector<ConceptId> members;
    std::size_t next = 0;
    std::optional<ExistsShape> waiting;
    bool started = false;
  };
  auto make_frame = [](ConceptId c, std::vector<u32> extra, std::optional<u32> outer) {
    Frame f;
    f.key = EncodeKey{c.v, outer ? *outer : kNoRole, std::move(extra)};
    return f;
  };
  std::vector<Frame> stack;
  stack.push_back(make_frame(root, std::move(root_extra), root_outer));
  std::optional<u32> ret;
  bool returned = false;

  auto finish = [&](std::optional<u32> value) {
    ctx.encode_memo[stack.back().key] = value;
    stack.pop_back();
    ret = value;
    returned = true;
  };
  auto finish_list = [&](Frame& f) {
    std::optional<u32> value;
    if (f.key.extra.empty() && f.list.size() == 1) {
      value = f.list[0];
    } else if (f.key.extra.empty() && f.list.empty()) {
      // ⊤ as a nested filler: the id every id lies below.
      value = ctx.ids.intern_top();
    } else {
      std::vector<u32> all = f.list;
      all.insert(all.end(), f.key.extra.begin(), f.key.extra.end());
      value = ctx.ids.intern_conjunction(std::move(all), ctx.rules);
    }
    finish(value);
  };

  while (!stack.empty()) {
    Frame& f = stack.back();
    if (!f.started) {
      f.started = true;
      if (auto it = ctx.encode_memo.find(f.key); it != ctx.encode_memo.end()) {
        ret = it->second;
        returned = true;
        stack.pop_back();
        continue;
      }
      ConceptId c{f.key.concept_id};
      if (bot_filler_on() && contains_bottom(c, ctx)) {
        if (!ctx.ids.bottom_filler) {
          ctx.ids.bottom_filler = ctx.ids.new_id();
          ctx.rules.initially_unsat.push_back(*ctx.ids.bottom_filler);
        }
        finish(*ctx.ids.bottom_filler);
        continue;
      }
      const Concept& k = ctx.pool.get(c);
      if (const auto* a = std::get_if<Atomic>(&k)) {
        f.list.push_back(a->cls.v);
        finish_list(f);
        continue;
      }
      if (const auto* n = std::get_if<Nominal>(&k)) {
        f.list.push_back(ctx.ids.intern_individual(n->individual.v));
        finish_list(f);
        continue;
      }
      if (std::holds_alternative<Top>(k)) {
        finish_list(f);
        continue;
      }
      if (exists_shape(k)) {
        f.members = {c};
      } else if (const auto* a = std::get_if<And>(&k)) {
        f.members = a->members;
      } else {
        finish(std::nullopt);
        continue;
      }
    }
    if (returned) {
      returned = false;
      if (!ret) {
        finish(std::nullopt);
        continue;
      }
      const ExistsShape shape = *f.waiting;
      f.waiting.reset();
      u32 e;
      if (shape.linked) {
        e = ctx.ids.intern_exists_linked(shape.role, *ret, ctx.rules);
      } else {
        e = ctx.ids.intern_exists(shape.role, *ret, ctx.rules);
        ctx.rules.link_rules.push_back(LinkRule{e, shape.role, *ret});
      }
      f.list.push_back(e);
    }
    bool descended = false;
    bool failed = false;
    while (f.next < f.members.size()) {
      ConceptId m = f.members[f.next++];
      const Concept& mk = ctx.pool.get(m);
      if (const auto* a = std::get_if<Atomic>(&mk)) {
        f.list.push_back(a->cls.v);
        continue;
      }
      if (auto shape = exists_shape(mk)) {
        std::optional<u32> outer = f.key.outer == kNoRole ? std::nullopt : std::optional<u32>(f.key.outer);
        f.waiting = shape;
        Frame child = make_frame(shape->filler, range_classes(outer, shape->role, ctx), shape->role);
        stack.push_back(std::move(child));  // invalidates f
        descended = true;
        break;
      }
      failed = true;
      break;
    }
    if (descended) continue;
    if (failed) {
      finish(std::nullopt);
      continue;
    }
    finish_list(stack.back());
  }
  return ret;
}

std::vector<u32> encode_expr_list(ConceptId c, NormaliseContext& ctx) {
  auto e = encode_expr(c, {}, std::nullopt, ctx);
  return e ? std::vector<u32>{*e} : std::vector<u32>{};
}

std::optional<std::pair<u32, u32>> encode_existential(ConceptId c, NormaliseContext& ctx) {
  auto shape = exists_shape(ctx.pool.get(c));
  if (!shape) return std::nullopt;
  const u32 r = shape->role;
  const Concept& filler = ctx.pool.get(shape->filler);
  if (std::holds_alternative<Top>(filler)) {
    auto it = ctx.ids.top_fillers.find(r);
    if (it != ctx.ids.top_fillers.end()) return std::pair{r, it->second};
    u32 id = ctx.ids.new_id();
    ctx.ids.top_fillers.emplace(r, id);
    // The filler stands for ⊤ as an r-successor, so it lies in r's ranges.
    if (auto rr = ctx.role_ranges.find(r); rr != ctx.role_ranges.end())
      for (u32 d : rr->second) ctx.rules.told.emplace_back(id, d);
    return std::pair{r, id};
  }
  if (const auto* n = std::get_if<Nominal>(&filler)) return std::pair{r, ctx.ids.intern_individual(n->individual.v)};
  std::vector<u32> extra;
  if (auto rr = ctx.role_ranges.find(r); rr != ctx.role_ranges.end()) extra = rr->second;
  auto g = encode_expr(shape->filler, std::move(extra), r, ctx);
  if (!g) return std::nullopt;
  return std::pair{r, *g};
}

std::optional<std::vector<u32>> encode_fillers(ConceptId c, NormaliseContext& ctx) {
  std::vector<u32> out;
  if (const auto* o = std::get_if<Or>(&ctx.pool.get(c))) {
    std::vector<ConceptId> members = o->members;
    for (ConceptId m : members) {
      auto e = encode_expr(m, {}, std::nullopt, ctx);
      if (!e) return std::nullopt;
      out.push_back(*e);
    }
    return out;
  }
  auto e = encode_expr(c, {}, std::nullopt, ctx);
  if (!e) return std::nullopt;
  out.push_back(*e);
  return out;
}

std::vector<std::pair<u32, u32>> encode_existential_members(const std::vector<ConceptId>& members,
                                                            NormaliseContext& ctx) {
  std::vector<std::pair<u32, u32>> out;
  for (ConceptId m : members)
    if (auto e = encode_existential(m, ctx)) out.push_back(*e);
  return out;
}

std::vector<std::pair<u32, u32>> encode_some_members(const std::vector<ConceptId>& members, NormaliseContext& ctx) {
  std::vector<std::pair<u32, u32>> out;
  for (ConceptId m : members) {
    const auto* s = std::get_if<Some>(&ctx.pool.get(m));
    if (s == nullptr || !s->role.is_named()) continue;
    if (auto e = encode_expr(s->filler, {}, std::nullopt, ctx)) out.emplace_back(s->role.id.v, *e);
  }
  return out;
}

namespace {

// The parts of sup that hold below the id `a` (a class, or the ⊤ id), in
// order: told subsumers, Self, at-most, ∀ over nominals, ∀ over a class,
// negations and existentials. With `skip_named`, named conjuncts are left to
// the caller (⊤'s named subsumers are global subsumers).
void normalise_below(u32 a, ConceptId sup, bool skip_named, NormaliseContext& ctx) {
  const ConceptPool& pool = ctx.pool;
  const std::vector<ConceptId> parts = parts_of(pool, sup);
  if (!skip_named)
    for (u32 d : named_conjuncts(pool, sup)) ctx.rules.told.emplace_back(a, d);
  for (ConceptId p : parts) {
    const auto* self = std::get_if<Self>(&pool.get(p));
    if (self == nullptr || !self->role.is_named()) continue;
    const u32 r = self->role.id.v;
    if (auto d = ctx.rules.domains.find(r); d != ctx.rules.domains.end())
      for (u32 x : d->second) ctx.rules.told.emplace_back(a, x);
    if (auto rr = ctx.role_ranges.find(r); rr != ctx.role_ranges.end())
      for (u32 x : rr->second) ctx.rules.told.emplace_back(a, x);
  }
  for (ConceptId p : parts) {
    const auto* mx = std::get_if<Max>(&pool.get(p));
    if (mx == nullptr || !mx->role.is_named() || !std::holds_alternative<Top>(pool.get(mx->filler))) continue;
    ctx.rules.told.emplace_back(a, ctx.ids.intern_at_most(mx->n, mx->role.id.v));
  }
  for (ConceptId p : parts) {
    if (auto fa = forall_nominals_of(pool, p))
      ctx.rules.told.emplace_back(a, ctx.ids.intern_forall_nominals(fa->first, std::move(fa->second)));
  }
  for (ConceptId p : parts) {
    const auto* all = std::get_if<All>(&pool.get(p));
    if (all == nullptr || !all->role.is_named()) continue;
    if (const auto* b = std::get_if<Atomic>(&pool.get(all->filler)))
      ctx.rules.told.emplace_back(a, ctx.ids.intern_forall(all->role.id.v, b->cls.v));
  }
  for (ConceptId p : parts) {
    const auto* n = std::get_if<Not>(&pool.get(p));
    if (n == nullptr) continue;
    if (const auto* b = std::get_if<Atomic>(&pool.get(n->operand))) ctx.rules.disjoint_pairs.emplace_back(a, b->cls.v);
  }
  if (auto e = encode_existential(sup, ctx)) ctx.rules.link_rules.push_back(LinkRule{a, e->first, e->second});
  if (const auto* conj = std::get_if<And>(&pool.get(sup))) {
    std::vector<ConceptId> members = conj->members;
    for (auto [r, f] : encode_existential_members(members, ctx)) ctx.rules.link_rules.push_back(LinkRule{a, r, f});
  }
}

// ⊤ ⊑ sup. Named conjuncts are global subsumers; any other part needs the ⊤
// id, below which every id lies.
void normalise_top(ConceptId sup, NormaliseContext& ctx) {
  const ConceptPool& pool = ctx.pool;
  if (std::holds_alternative<Bottom>(pool.get(sup))) {
    ctx.rules.top_is_bottom = true;
    return;
  }
  for (u32 d : named_conjuncts(pool, sup)) ctx.rules.global_subsumers.push_back(d);
  bool needs_top = false;
  for (ConceptId p : parts_of(pool, sup)) {
    const Concept& k = pool.get(p);
    if (!std::holds_alternative<Atomic>(k) && !std::holds_alternative<Top>(k)) needs_top = true;
  }
  if (needs_top) normalise_below(ctx.ids.intern_top(), sup, true, ctx);
}

void normalise_atomic(u32 a, ConceptId sup, NormaliseContext& ctx) {
  const ConceptPool& pool = ctx.pool;
  const Concept& s = pool.get(sup);
  if (const auto* o = std::get_if<Or>(&s)) {
    std::vector<u32> alternatives;
    bool all_named = o->members.size() >= 2;
    for (ConceptId m : o->members) {
      const auto* at = std::get_if<Atomic>(&pool.get(m));
      if (at == nullptr) {
        all_named = false;
        break;
      }
      alternatives.push_back(at->cls.v);
    }
    if (all_named) ctx.rules.unions[a].push_back(std::move(alternatives));
  }
  if (std::holds_alternative<Bottom>(s)) {
    ctx.rules.initially_unsat.push_back(a);
    return;
  }
  normalise_below(a, sup, false, ctx);
}

void normalise_conjunction(const std::vector<ConceptId>& members, ConceptId sup, NormaliseContext& ctx) {
  const ConceptPool& pool = ctx.pool;
  std::vector<u32> list;
  for (ConceptId m : members) {
    const Concept& k = pool.get(m);
    if (const auto* a = std::get_if<Atomic>(&k)) {
      list.push_back(a->cls.v);
    } else if (const auto* s = std::get_if<Some>(&k); s != nullptr && s->role.is_named()) {
      auto fillers = encode_fillers(s->filler, ctx);
      if (!fillers) return;
      const u32 r = s->role.id.v;
      if (fillers->size() == 1) {
        list.push_back(ctx.ids.intern_exists(r, (*fillers)[0], ctx.rules));
      } else {
        sort_unique(*fillers);
        RoleListKey key{r, *fillers};
        auto it = ctx.ids.union_existentials.find(key);
        if (it != ctx.ids.union_existentials.end()) {
          list.push_back(it->second);
        } else {
          u32 u = ctx.ids.new_id();
          for (u32 g : *fillers) ctx.rules.exists_left_rules.push_back(ExistsLeftRule{r, g, u});
          ctx.ids.union_existentials.emplace(std::move(key), u);
          list.push_back(u);
        }
      }
    } else if (const auto* mx = std::get_if<Max>(&k);
               mx != nullptr && mx->role.is_named() && std::holds_alternative<Top>(pool.get(mx->filler))) {
      list.push_back(ctx.ids.intern_at_most(mx->n, mx->role.id.v));
    } else if (auto fa = forall_nominals_of(pool, m)) {
      list.push_back(ctx.ids.intern_forall_nominals(fa->first, std::move(fa->second)));
    } else if (const auto* all = std::get_if<All>(&k);
               all != nullptr && all->role.is_named() && std::holds_alternative<Atomic>(pool.get(all->filler))) {
      list.push_back(ctx.ids.intern_forall(all->role.id.v, std::get<Atomic>(pool.get(all->filler)).cls.v));
    } else {
      return;
    }
  }
  if (std::holds_alternative<Bottom>(pool.get(sup))) {
    ctx.rules.bottom_conjunctions.push_back(list);
    return;
  }
  for (u32 d : named_conjuncts(pool, sup)) ctx.rules.conjunction_rules.push_back(ConjunctionRule{list, d});
  std::vector<std::pair<u32, u32>> existentials;
  if (const auto* conj = std::get_if<And>(&pool.get(sup))) {
    std::vector<ConceptId> sup_members = conj->members;
    existentials = encode_existential_members(sup_members, ctx);
  } else if (auto e = encode_existential(sup, ctx)) {
    existentials.push_back(*e);
  }
  for (auto [r, f] : existentials) {
    u32 e = ctx.ids.intern_exists(r, f, ctx.rules);
    ctx.rules.link_rules.push_back(LinkRule{e, r, f});
    ctx.rules.conjunction_rules.push_back(ConjunctionRule{list, e});
  }
}

void normalise_exists(const Some& sub, ConceptId sup, NormaliseContext& ctx) {
  const ConceptPool& pool = ctx.pool;
  const u32 r = sub.role.id.v;
  const bool sup_bottom = std::holds_alternative<Bottom>(pool.get(sup));
  if (std::holds_alternative<Top>(pool.get(sub.filler))) {
    if (sup_bottom) {
      ctx.rules.empty_roles.insert(r);
      return;
    }
    ctx.rules.domains[r];  // the entry exists even when sup has no encoding
    // ∃r.⊤ ⊑ ⊤ says nothing; encoding ⊤ here would only make the ⊤ id.
    if (std::holds_alternative<Top>(pool.get(sup))) return;
    if (auto e = encode_expr(sup, {}, std::nullopt, ctx)) ctx.rules.domains[r].push_back(*e);
    return;
  }
  auto fillers = encode_fillers(sub.filler, ctx);
  if (!fillers) return;
  if (sup_bottom) {
    for (u32 g : *fillers) ctx.rules.initially_unsat.push_back(ctx.ids.intern_exists(r, g, ctx.rules));
    return;
  }
  for (u32 d : named_conjuncts(pool, sup))
    for (u32 g : *fillers) ctx.rules.exists_left_rules.push_back(ExistsLeftRule{r, g, d});
  std::vector<std::pair<u32, u32>> pairs;
  const Concept& s = pool.get(sup);
  if (const auto* conj = std::get_if<And>(&s)) {
    std::vector<ConceptId> sup_members = conj->members;
    pairs = encode_some_members(sup_members, ctx);
  } else if (const auto* some = std::get_if<Some>(&s); some != nullptr && some->role.is_named()) {
    if (auto h = encode_expr(some->filler, {}, std::nullopt, ctx)) pairs.emplace_back(some->role.id.v, *h);
  }
  for (auto [q, h] : pairs) {
    u32 e = ctx.ids.intern_exists(q, h, ctx.rules);
    ctx.rules.link_rules.push_back(LinkRule{e, q, h});
    for (u32 g : *fillers) ctx.rules.exists_left_rules.push_back(ExistsLeftRule{r, g, e});
  }
}

}  // namespace

void normalise_gci(ConceptId sub, ConceptId sup, NormaliseContext& ctx) {
  ctx.encode_memo.clear();
  const Concept& k = ctx.pool.get(sub);
  if (std::holds_alternative<Top>(k)) {
    normalise_top(sup, ctx);
  } else if (const auto* a = std::get_if<Atomic>(&k)) {
    normalise_atomic(a->cls.v, sup, ctx);
  } else if (const auto* conj = std::get_if<And>(&k)) {
    std::vector<ConceptId> members = conj->members;
    normalise_conjunction(members, sup, ctx);
  } else if (const auto* s = std::get_if<Some>(&k); s != nullptr && s->role.is_named()) {
    Some copy = *s;
    normalise_exists(copy, sup, ctx);
  }
}

}  // namespace kelmon::sat
