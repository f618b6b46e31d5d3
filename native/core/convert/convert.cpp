#include "core/convert/convert.h"

#include <algorithm>

#include "common/deadline.h"
#include "common/switches.h"

#include "core/convert/axiom_conversion.h"
#include "core/convert/data_axioms.h"
#include "core/convert/data_passes.h"
#include "core/convert/dropped.h"
#include "core/convert/name_cache.h"
#include "core/convert/role_chains.h"
#include "core/convert/visiting_order.h"
#include "core/dkeys/key_concepts.h"

namespace kelmon {

namespace {

// Adds the microseconds since `since` to `slot` (when timing) and restarts the clock.
void lap(std::uint64_t* slot, Instant& since) {
  Instant now = Clock::now();
  if (slot) *slot += elapsed_us(since, now);
  since = now;
}

// Room in the namespaces for the declared names: most documents declare what
// they use, and interning then never rehashes. The structural order keeps each
// kind together, so each count is found by two binary searches.
void reserve_declared_names(const std::vector<const owl::AnnotatedAxiom*>& order, InternalOntology& onto) {
  auto count = [&](owl::AxiomKind kind) {
    auto kind_less = [](const owl::AnnotatedAxiom* a, owl::AxiomKind k) { return owl::kind_of(a->axiom) < k; };
    auto less_kind = [](owl::AxiomKind k, const owl::AnnotatedAxiom* a) { return k < owl::kind_of(a->axiom); };
    auto first = std::lower_bound(order.begin(), order.end(), kind, kind_less);
    return static_cast<std::size_t>(std::upper_bound(first, order.end(), kind, less_kind) - first);
  };
  onto.vocabulary.classes.reserve(count(owl::AxiomKind::DeclareClass));
  onto.vocabulary.roles.reserve(count(owl::AxiomKind::DeclareObjectProperty));
  onto.vocabulary.individuals.reserve(count(owl::AxiomKind::DeclareNamedIndividual));
}

// The visiting order jumps about the loaded model, so each axiom's memory is
// asked for some steps ahead, one level of pointers per step: the axiom, then
// the operands it points to, then their names.
void prefetch(const owl::Axiom& a, bool names) {
  auto entity = [&](const owl::Iri& iri) {
    if (names) __builtin_prefetch(iri.identity());
  };
  auto expression = [&](const owl::ClassExpression& e) {
    const owl::ClassExpressionNode* node = e.node();
    if (node == nullptr) return;
    if (!names) return __builtin_prefetch(node);
    if (const auto* c = std::get_if<owl::Class>(&node->data)) entity(c->iri);
  };
  switch (owl::kind_of(a)) {
    case owl::AxiomKind::SubClassOf: {
      const auto& x = std::get<owl::SubClassOf>(a);
      expression(x.sub);
      expression(x.sup);
      break;
    }
    case owl::AxiomKind::DeclareClass: entity(std::get<owl::DeclareClass>(a).entity.iri); break;
    case owl::AxiomKind::DeclareObjectProperty: entity(std::get<owl::DeclareObjectProperty>(a).entity.iri); break;
    case owl::AxiomKind::DeclareNamedIndividual: entity(std::get<owl::DeclareNamedIndividual>(a).entity.iri); break;
    default: break;
  }
}

// Returns whether any axiom has data content (see axiom_has_data_content),
// checked while each axiom is fresh in the cache.
bool convert_main_loop(const std::vector<const owl::AnnotatedAxiom*>& order, InternalOntology& onto) {
  // A reader's table holds fewer IRIs than some small multiple of the axioms it read.
  NameCache names(4 * order.size() + 1024);
  NameCacheScope scope(names);
  onto.axioms.reserve(order.size());
  constexpr std::size_t kAhead = 8;
  bool data = false;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i + 2 * kAhead < order.size()) {
      // An axiom spans cache lines; its kind is stored at the end.
      const auto* far = reinterpret_cast<const char*>(order[i + 2 * kAhead]);
      __builtin_prefetch(far);
      __builtin_prefetch(far + sizeof(owl::AnnotatedAxiom) - 1);
    }
    if (i + kAhead < order.size()) prefetch(order[i + kAhead]->axiom, /*names=*/false);
    if (i + kAhead / 2 < order.size()) prefetch(order[i + kAhead / 2]->axiom, /*names=*/true);
    const owl::Axiom& component = order[i]->axiom;
    owl::AxiomKind kind = owl::kind_of(component);
    if (!data && axiom_has_data_content(component)) data = true;
    if (is_data_gated(kind) && !data_properties_enabled()) {
      count_dropped_axiom(onto.dropped, dropped_text(dropped_kind_name(kind), Unsupported(UnsupportedDataRange{})));
      continue;
    }
    auto converted = convert_component(component, onto);
    if (!converted) {
      count_dropped_axiom(onto.dropped, dropped_text(dropped_kind_name(kind), converted.error()));
      continue;
    }
    if (converted->first) onto.axioms.push_back(std::move(*converted->first));
    if (converted->second) onto.axioms.push_back(std::move(*converted->second));
  }
  return data;
}

bool pool_has_union(const ConceptPool& pool) {
  for (std::size_t i = 0; i < pool.size(); ++i) {
    if (std::holds_alternative<Or>(pool.get(ConceptId{static_cast<std::uint32_t>(i)}))) return true;
  }
  return false;
}

void run_ir_passes(InternalOntology& onto) {
  // The three union rewrites change nothing without a union, but each builds
  // the told tables; skip them then.
  if (pool_has_union(onto.concepts)) {
    split_union_antecedents(onto);
    std::optional<ToldTables> told = add_union_common_subsumers(onto);
    prune_told_disjoint_unions(onto, std::move(told));
  }
  negation_to_bottom_gcis(onto);
  split_role_chains(onto);
  add_functional_role_gcis(onto);
  inverse_pair_functional_pass(onto);
}

}  // namespace

InternalOntology convert_ontology(const owl::AxiomSet& axioms) { return convert_ontology(axioms, nullptr); }

InternalOntology convert_ontology(const owl::AxiomSet& axioms, ConvertTimings* timings) {
  InternalOntology onto;
  Instant clock = Clock::now();
  const bool hash_order = switch_flag(SwitchId::ConvertHashSort);
  std::vector<const owl::AnnotatedAxiom*> order = visiting_order(axioms, hash_order);
  lap(timings ? &timings->visiting_order_us : nullptr, clock);
  if (!hash_order) reserve_declared_names(order, onto);
  const bool data = convert_main_loop(order, onto);
  order = {};
  lap(timings ? &timings->main_loop_us : nullptr, clock);
  onto.concepts.intern(Bottom{});
  onto.concepts.intern(Top{});
  run_data_passes(axioms, onto, data);
  lap(timings ? &timings->data_passes_us : nullptr, clock);
  run_ir_passes(onto);
  lap(timings ? &timings->ir_passes_us : nullptr, clock);
  if (onto.axioms.size() >= 2) sort_axioms(onto.axioms);
  lap(timings ? &timings->sort_us : nullptr, clock);
  return onto;
}

}  // namespace kelmon
