#include "reasoner/kernel/subsumption.h"

#include <array>

#include "common/switches.h"
#include "reasoner/fragment.h"
#include "reasoner/kernel/hyper_runs.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/tableau_test.h"
#include "reasoner/kernel/test_concepts.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

namespace {

constexpr std::string_view kThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kNothing = "http://www.w3.org/2002/07/owl#Nothing";

// A class argument: a named class, or ⊤ / ⊥ given by their OWL IRIs.
struct ClassRef {
  enum class Kind { Named, Thing, Nothing } kind = Kind::Named;
  ClassId id{};
  bool named() const { return kind == Kind::Named; }
  friend bool operator==(const ClassRef&, const ClassRef&) = default;
};

Result<ClassRef> look_up(const InternalOntology& ir, std::string_view iri) {
  if (iri == kThing) return ClassRef{ClassRef::Kind::Thing, {}};
  if (iri == kNothing) return ClassRef{ClassRef::Kind::Nothing, {}};
  auto entry = ir.vocabulary.classes.get(iri);
  if (!entry) return std::unexpected(ReasonerError{UnknownClass{std::string(iri)}});
  return ClassRef{ClassRef::Kind::Named, entry->id};
}

ConceptId concept_of(ConceptPool& pool, const ClassRef& c) {
  switch (c.kind) {
    case ClassRef::Kind::Thing: return pool.intern(Top{});
    case ClassRef::Kind::Nothing: return pool.intern(Bottom{});
    case ClassRef::Kind::Named: break;
  }
  return pool.intern(Atomic{c.id});
}

sat::ElResult saturate(const InternalOntology& ir) { return sat::el_saturate(ir, switch_flag(SwitchId::Proof)).first; }

bool saturation_inconsistent(const sat::ElResult& r) { return r.top_is_bottom || r.inconsistent; }

// The tableau test of one concept built into the test's own pool; none when
// the deadline stopped it.
Result<std::optional<bool>> tableau_answer(const PreparedReasoner& prepared, TestConceptBuilder concept_,
                                           Deadline deadline) {
  const auto blocking = switch_text(SwitchId::AnywhereBlocking);
  TableauTestRequest request;
  request.test_concept = std::move(concept_);
  request.deadline = deadline;
  request.anywhere_blocking = !(blocking && *blocking == "0");
  return run_tableau_test_body(prepared, prepared.abox, request);
}

}  // namespace

Result<KernelAnswer> entails_subclass(InternalOntology ir, std::string_view sub_iri, std::string_view sup_iri,
                                      Deadline deadline) {
  auto sub = look_up(ir, sub_iri);
  if (!sub) return std::unexpected(std::move(sub.error()));
  auto sup = look_up(ir, sup_iri);
  if (!sup) return std::unexpected(std::move(sup.error()));
  const bool frag = in_saturation_fragment(ir, false);
  if (*sub == *sup || sub->kind == ClassRef::Kind::Nothing || sup->kind == ClassRef::Kind::Thing)
    return KernelAnswer{true, true, frag, true};

  sat::ElResult saturation = saturate(ir);
  if (sub->named()) {
    if (sup->named() && saturation.subsumers.contains(sub->id.v, sup->id.v)) return KernelAnswer{true, true, frag, true};
    if (saturation.unsat.test(sub->id.v)) return KernelAnswer{true, true, frag, true};
    if (frag) return KernelAnswer{false, true, true, true};
  } else if (saturation_inconsistent(saturation)) {
    return KernelAnswer{true, true, frag, true};
  }

  // The subsumption clauses leave asserted facts out, which (with nominals or
  // a clash) can make sub ⊑ sup hold.
  const bool without_facts = !has_assertion(ir.axioms);
  // The saturation is handed on rather than computed again.
  auto prepared = prepare_without_deadline(std::move(ir), std::move(saturation));
  if (!prepared) return std::unexpected(std::move(prepared.error()));
  const PreparedReasoner& p = **prepared;

  const HyperClauseSet* hyper = sub->named() && sup->named() ? p.hyper_set() : nullptr;
  if (hyper != nullptr) {
    // A closed run proves the subsumption; a model refutes it only when the
    // clauses leave nothing of the ontology out. Such a model settles in
    // milliseconds many tests the tableau cannot end (GALEN subsets with
    // inverse, functional and transitive roles).
    const HyperVerdict verdict = run_hyper_iterative(*hyper, sub->id.v, sup->id.v, deadline);
    if (verdict == HyperVerdict::Closed) return KernelAnswer{true, false, false, true};
    if (verdict == HyperVerdict::Model && hyper->sat_exact && without_facts)
      return KernelAnswer{false, false, false, true};
  }

  auto test = tableau_answer(p, [sub = *sub, sup = *sup](ConceptPool& pool) {
    const std::array<ConceptId, 2> operands{concept_of(pool, sub), pool.nnf_not(concept_of(pool, sup))};
    return conjoin_concepts(pool, operands);
  }, deadline);
  if (!test) return std::unexpected(std::move(test.error()));
  if (!*test) return KernelAnswer{false, false, false, false};
  return KernelAnswer{!**test, false, false, true};
}

Result<KernelAnswer> is_satisfiable(InternalOntology ir, std::string_view iri, Deadline deadline) {
  auto cls = look_up(ir, iri);
  if (!cls) return std::unexpected(std::move(cls.error()));
  const bool frag = in_saturation_fragment(ir, false);
  if (cls->kind == ClassRef::Kind::Nothing) return KernelAnswer{false, true, frag, true};
  sat::ElResult saturation = saturate(ir);
  const bool unsat = cls->named() ? saturation.unsat.test(cls->id.v) : saturation_inconsistent(saturation);
  if (unsat) return KernelAnswer{false, true, frag, true};
  if (frag) return KernelAnswer{true, true, true, true};
  auto prepared = prepare_without_deadline(std::move(ir), std::move(saturation));
  if (!prepared) return std::unexpected(std::move(prepared.error()));
  auto test = tableau_answer(**prepared, [c = *cls](ConceptPool& pool) { return concept_of(pool, c); }, deadline);
  if (!test) return std::unexpected(std::move(test.error()));
  if (!*test) return KernelAnswer{true, false, false, false};
  return KernelAnswer{**test, false, false, true};
}

}  // namespace kelmon::reasoner
