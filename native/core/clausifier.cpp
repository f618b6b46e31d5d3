// Both translations walk concepts with explicit stacks: concept nesting comes
// from documents anyone can write and must not reach the C stack. The stacks
// visit sub-concepts in the order of the plain recursive definition, so fresh
// classes, variables and clauses come out in that order.
#include "core/clausifier.h"

#include <limits>
#include <utility>

#include "common/invariant.h"
#include "common/overload.h"

namespace kelmon {

namespace {

constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();

std::vector<ClauseAtom> with(std::vector<ClauseAtom> atoms, ClauseAtom extra) {
  atoms.push_back(extra);
  return atoms;
}

}  // namespace

// Head translation as a stack of tasks. A task that needs a fresh class
// defined first pushes the definition above itself (or above the task that
// makes the clause using it), so side clauses land before their user.
struct Clausifier::HeadTask {
  enum class Kind : std::uint8_t { Head, Emit, Union };
  Kind kind = Kind::Head;
  std::vector<ClauseAtom> body;
  ConceptId concept_id;
  std::uint32_t var = 0;
  std::uint32_t next = 0;          // Union: the next disjunct to translate
  std::vector<ClauseAtom> atoms;   // Emit: the head; Union: the head atoms so far

  static HeadTask head(std::vector<ClauseAtom> body, ConceptId c, std::uint32_t v) {
    return {Kind::Head, std::move(body), c, v, 0, {}};
  }
  static HeadTask emit(std::vector<ClauseAtom> body, std::vector<ClauseAtom> head) {
    return {Kind::Emit, std::move(body), ConceptId{0}, 0, 0, std::move(head)};
  }
  static HeadTask definition(std::uint32_t cls, ConceptId c) { return head({concept_atom(cls, 0)}, c, 0); }
};

Clausifier::Clausifier(ConceptPool pool_in, std::uint32_t class_count_in, std::uint32_t individual_count)
    : pool(std::move(pool_in)), class_count(class_count_in) {
  invariant(class_count_in <= kU32Max - individual_count, "class+individual count fits in u32");
  next_class = class_count_in + individual_count;
}

Role Clausifier::canonical_role(Role role) const { return canonical_role_of(inverse_map, role); }

std::uint32_t Clausifier::fresh_var() {
  invariant(next_var != kU32Max, "fresh var overflow");
  return next_var++;
}

std::uint32_t Clausifier::fresh_class() {
  invariant(next_class != kU32Max, "fresh class id overflow");
  return next_class++;
}

std::uint32_t Clausifier::class_of_name(const Concept& c) const {
  if (const Atomic* a = std::get_if<Atomic>(&c)) return a->cls.v;
  return class_count + std::get<Nominal>(c).individual.v;
}

namespace {

bool is_name(const Concept& c) { return std::holds_alternative<Atomic>(c) || std::holds_alternative<Nominal>(c); }

}  // namespace

std::uint32_t Clausifier::name_into(ConceptId concept_id, std::vector<HeadTask>& tasks) {
  const Concept& c = pool.get(concept_id);
  if (is_name(c)) return class_of_name(c);
  std::uint32_t x = fresh_class();
  tasks.push_back(HeadTask::definition(x, concept_id));
  return x;
}

std::uint32_t Clausifier::counted_class(ConceptId filler, const std::vector<ClauseAtom>& body, std::uint32_t v,
                                        Role role, std::vector<HeadTask>& tasks) {
  if (is_name(pool.get(filler))) return class_of_name(pool.get(filler));
  // X ⊑ C would let every successor go uncounted by carrying no X at all.
  const std::uint32_t x = fresh_class();
  const std::uint32_t y = fresh_var();
  const std::uint32_t n = name_into(pool.nnf_not(filler), tasks);
  clauses.push_back({with(body, role_atom(v, y, role)), {concept_atom(x, y), concept_atom(n, y)}});
  return x;
}

std::uint32_t Clausifier::name_concept(ConceptId concept_id) {
  std::vector<HeadTask> tasks;
  std::uint32_t x = name_into(concept_id, tasks);
  run_head_tasks(tasks);
  return x;
}

std::optional<std::uint32_t> Clausifier::name_concept_opt(ConceptId concept_id) {
  if (std::holds_alternative<Top>(pool.get(concept_id))) return std::nullopt;
  return name_concept(concept_id);
}

void Clausifier::head(std::vector<ClauseAtom> body_atoms, ConceptId concept_id, std::uint32_t v) {
  std::vector<HeadTask> tasks;
  tasks.push_back(HeadTask::head(std::move(body_atoms), concept_id, v));
  run_head_tasks(tasks);
}

void Clausifier::run_head_tasks(std::vector<HeadTask>& tasks) {
  while (!tasks.empty()) {
    if (tasks.back().kind == HeadTask::Kind::Union) {
      step_union(tasks);
      continue;
    }
    HeadTask t = std::move(tasks.back());
    tasks.pop_back();
    if (t.kind == HeadTask::Kind::Emit) {
      clauses.push_back({std::move(t.body), std::move(t.atoms)});
      continue;
    }
    const std::uint32_t v = t.var;
    const Concept& c = pool.get(t.concept_id);
    auto emit = [&](std::vector<ClauseAtom> head_atoms) { clauses.push_back({std::move(t.body), std::move(head_atoms)}); };
    // A number restriction: nothing for a data-value key filler; a fresh
    // class names a complex filler, defined before the clause is made.
    auto number = [&](bool at_least, std::uint32_t n, ConceptId filler, Role r) {
      const Concept& f = pool.get(filler);
      if (const Atomic* a = std::get_if<Atomic>(&f); a != nullptr && is_dkey_class(a->cls)) return;
      const Role role = canonical_role(r);
      std::optional<std::uint32_t> cls;
      std::size_t mark = tasks.size();
      if (std::holds_alternative<Top>(f)) {
      } else if (at_least) {
        cls = name_into(filler, tasks);
      } else {
        cls = counted_class(filler, t.body, v, role, tasks);
      }
      ClauseAtom atom = at_least ? at_least_atom(n, v, role, cls) : at_most_atom(n, v, role, cls);
      tasks.insert(tasks.begin() + static_cast<std::ptrdiff_t>(mark), HeadTask::emit(std::move(t.body), {atom}));
    };
    std::visit(Overload{
                   [&](const Top&) {},
                   [&](const Bottom&) { emit({}); },
                   [&](const Atomic& a) { emit({concept_atom(a.cls.v, v)}); },
                   [&](const Nominal& o) { emit({concept_atom(class_count + o.individual.v, v)}); },
                   [&](const Self& s) { emit({role_atom(v, v, canonical_role(s.role))}); },
                   [&](const Not& n) {
                     const Concept& operand = pool.get(n.operand);
                     if (is_name(operand)) {
                       t.body.push_back(concept_atom(class_of_name(operand), v));
                     } else if (const Self* s = std::get_if<Self>(&operand)) {
                       t.body.push_back(role_atom(v, v, canonical_role(s->role)));
                     } else {
                       skips.record("head-not-nonatomic");
                       return;
                     }
                     emit({});
                   },
                   [&](const And& a) {
                     // Pushed last to first so the members run in order.
                     for (std::size_t i = a.members.size(); i-- > 0;) {
                       std::vector<ClauseAtom> b = i == 0 ? std::move(t.body) : t.body;
                       tasks.push_back(HeadTask::head(std::move(b), a.members[i], v));
                     }
                   },
                   [&](const Or&) {
                     HeadTask u = HeadTask::head(std::move(t.body), t.concept_id, v);
                     u.kind = HeadTask::Kind::Union;
                     tasks.push_back(std::move(u));
                   },
                   [&](const Some& s) {
                     const Role role = canonical_role(s.role);
                     std::size_t mark = tasks.size();
                     std::uint32_t x = name_into(s.filler, tasks);
                     tasks.insert(tasks.begin() + static_cast<std::ptrdiff_t>(mark),
                                  HeadTask::emit(std::move(t.body), {exists_atom(x, v, role)}));
                   },
                   [&](const All& a) {
                     std::uint32_t y = fresh_var();
                     tasks.push_back(HeadTask::head(with(std::move(t.body), role_atom(v, y, canonical_role(a.role))),
                                                    a.filler, y));
                   },
                   [&](const Min& m) {
                     if (m.n != 0) number(true, m.n, m.filler, m.role);
                   },
                   [&](const Max& m) { number(false, m.n, m.filler, m.role); },
               },
               c);
  }
}

// A Min or Max disjunct of a head union that becomes a number atom: only
// with card_disjuncts on, never ≥0, never over a data-value key filler.
std::optional<Clausifier::NumberDisjunct> Clausifier::number_disjunct(const Concept& c) const {
  if (!card_disjuncts) return std::nullopt;
  NumberDisjunct d;
  if (const Min* m = std::get_if<Min>(&c)) {
    if (m->n == 0) return std::nullopt;
    d = {true, m->n, m->filler, m->role};
  } else if (const Max* m = std::get_if<Max>(&c)) {
    d = {false, m->n, m->filler, m->role};
  } else {
    return std::nullopt;
  }
  if (const Atomic* a = std::get_if<Atomic>(&pool.get(d.filler)); a != nullptr && is_dkey_class(a->cls)) {
    return std::nullopt;
  }
  return d;
}

void Clausifier::step_union(std::vector<HeadTask>& tasks) {
  const std::size_t at = tasks.size() - 1;
  const std::vector<ConceptId>& members = std::get<Or>(pool.get(tasks[at].concept_id)).members;
  const std::uint32_t v = tasks[at].var;
  while (tasks[at].next < members.size()) {
    const ConceptId e = members[tasks[at].next++];
    const Concept& c = pool.get(e);
    // A disjunct whose fresh class needs a definition: the definition runs
    // next, above this task, which resumes at the following disjunct.
    auto named = [&](auto make_atom, std::optional<ConceptId> filler) {
      std::size_t mark = tasks.size();
      std::optional<std::uint32_t> cls;
      if (filler) cls = name_into(*filler, tasks);
      tasks[at].atoms.push_back(make_atom(cls));
      return tasks.size() != mark;
    };
    if (is_name(c)) {
      tasks[at].atoms.push_back(concept_atom(class_of_name(c), v));
    } else if (const Not* n = std::get_if<Not>(&c)) {
      const Concept& operand = pool.get(n->operand);
      std::uint32_t x;
      if (is_name(operand)) {
        x = fresh_class();
        clauses.push_back({{concept_atom(x, 0), concept_atom(class_of_name(operand), 0)}, {}});
      } else if (const Self* s = std::get_if<Self>(&operand)) {
        x = fresh_class();
        clauses.push_back({{concept_atom(x, 0), role_atom(0, 0, canonical_role(s->role))}, {}});
      } else {
        skips.record("head-or-disjunct");
        tasks.pop_back();
        return;
      }
      tasks[at].atoms.push_back(concept_atom(x, v));
    } else if (const Some* s = std::get_if<Some>(&c)) {
      const Role role = canonical_role(s->role);
      if (named([&](std::optional<std::uint32_t> x) { return exists_atom(*x, v, role); }, s->filler)) return;
    } else if (std::optional<NumberDisjunct> number = number_disjunct(c)) {
      const Role role = canonical_role(number->role);
      std::optional<ConceptId> filler;
      if (!std::holds_alternative<Top>(pool.get(number->filler))) filler = number->filler;
      auto make = [&](std::optional<std::uint32_t> cls) {
        return number->at_least ? at_least_atom(number->n, v, role, cls) : at_most_atom(number->n, v, role, cls);
      };
      if (number->at_least || !filler) {
        if (named(make, filler)) return;
      } else {
        // The definitions may grow the pool, which holds `members`: resume afresh.
        const std::vector<ClauseAtom> body = tasks[at].body;
        const std::uint32_t x = counted_class(*filler, body, v, role, tasks);
        tasks[at].atoms.push_back(make(x));
        return;
      }
    } else {
      if (named([&](std::optional<std::uint32_t> x) { return concept_atom(*x, v); }, e)) return;
    }
  }
  HeadTask u = std::move(tasks[at]);
  tasks.pop_back();
  clauses.push_back({std::move(u.body), std::move(u.atoms)});
}

std::optional<BodyAlternatives> Clausifier::body(ConceptId concept_id, std::uint32_t v) {
  // Each frame computes the alternatives of its concept, every one starting
  // with the frame's prefix: a chain of existentials hands its role atoms down
  // instead of prefixing them afterwards.
  struct Frame {
    ConceptId id;
    std::uint32_t var;
    std::vector<ClauseAtom> prefix;
    std::uint32_t next = 0;
    BodyAlternatives acc;
  };
  std::vector<Frame> frames;
  frames.push_back({concept_id, v, {}, 0, {}});
  std::optional<BodyAlternatives> result;
  while (true) {
    if (result) {
      // Deliver a finished frame's alternatives to its parent (an And or an Or).
      if (frames.empty()) return result;
      Frame& parent = frames.back();
      if (std::holds_alternative<And>(pool.get(parent.id))) {
        BodyAlternatives product;
        product.reserve(parent.acc.size() * result->size());
        for (const auto& a : parent.acc) {
          for (const auto& m : *result) {
            std::vector<ClauseAtom> joined = a;
            joined.insert(joined.end(), m.begin(), m.end());
            product.push_back(std::move(joined));
          }
        }
        if (product.size() > kMaxBodyAlternatives) return std::nullopt;
        parent.acc = std::move(product);
      } else {
        for (auto& m : *result) parent.acc.push_back(std::move(m));
        if (parent.acc.size() > kMaxBodyAlternatives) return std::nullopt;
      }
      result.reset();
    }
    Frame& f = frames.back();
    const Concept& c = pool.get(f.id);
    switch (concept_kind(c)) {
      case ConceptKind::Top:
        result = BodyAlternatives{std::move(f.prefix)};
        frames.pop_back();
        break;
      case ConceptKind::Atomic:
      case ConceptKind::Nominal:
        result = BodyAlternatives{with(std::move(f.prefix), concept_atom(class_of_name(c), f.var))};
        frames.pop_back();
        break;
      case ConceptKind::Some: {
        const Some& s = std::get<Some>(c);
        std::uint32_t y = fresh_var();
        f.prefix.push_back(role_atom(f.var, y, canonical_role(s.role)));
        f.id = s.filler;
        f.var = y;
        break;
      }
      case ConceptKind::And:
      case ConceptKind::Or: {
        // An And starts from its prefix and multiplies by each member; an Or
        // hands its prefix to each member and collects their alternatives.
        const bool is_and = concept_kind(c) == ConceptKind::And;
        const std::vector<ConceptId>& members = is_and ? std::get<And>(c).members : std::get<Or>(c).members;
        if (is_and && f.next == 0) f.acc = BodyAlternatives{std::move(f.prefix)};
        if (f.next == members.size()) {
          result = std::move(f.acc);
          frames.pop_back();
        } else {
          ConceptId m = members[f.next++];
          std::uint32_t var = f.var;
          std::vector<ClauseAtom> prefix = is_and ? std::vector<ClauseAtom>{} : f.prefix;
          frames.push_back({m, var, std::move(prefix), 0, {}});
        }
        break;
      }
      default:
        // Bottom, Self, Not, All, Min, Max: no body form, so neither has any
        // concept containing them.
        return std::nullopt;
    }
  }
}

void Clausifier::gci(ConceptId sub, ConceptId sup) {
  next_var = 1;
  if (std::optional<BodyAlternatives> alternatives = body(sub, 0)) {
    for (auto& b : *alternatives) head(std::move(b), sup, 0);
    return;
  }
  std::vector<ConceptId> conjuncts;
  if (const And* a = std::get_if<And>(&pool.get(sub))) {
    conjuncts = a->members;
  } else {
    conjuncts.push_back(sub);
  }
  std::vector<ConceptId> good;
  std::vector<ConceptId> bad;
  for (ConceptId c : conjuncts) {
    next_var = 1;
    (body(c, 0) ? good : bad).push_back(c);
  }
  if (!good.empty()) {
    // C1 ⊓ C2 ⊑ D with C2 lacking a body form is read as C1 ⊑ ¬C2 ⊔ D.
    std::vector<ConceptId> rest;
    rest.reserve(bad.size() + 1);
    for (ConceptId b : bad) rest.push_back(pool.nnf_not(b));
    rest.push_back(sup);
    ConceptId rest_union = pool.mk_or(std::move(rest));
    ConceptId g = good.size() == 1 ? good.front() : pool.mk_and(good);
    next_var = 1;
    std::optional<BodyAlternatives> alternatives = body(g, 0);
    if (!alternatives) {
      skips.record("antecedent");
      return;
    }
    for (auto& b : *alternatives) head(std::move(b), rest_union, 0);
    return;
  }
  ConceptId negated = pool.nnf_not(sub);
  next_var = 1;
  head({}, pool.mk_or({negated, sup}), 0);
}

}  // namespace kelmon
