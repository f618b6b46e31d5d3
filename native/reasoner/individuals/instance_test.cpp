#include "reasoner/individuals/instance_test.h"

#include <algorithm>
#include <utility>

#include <tsl/robin_map.h>

#include "common/overload.h"
#include "common/switches.h"
#include "reasoner/fragment.h"
#include "reasoner/individuals/internal/told_types.h"
#include "reasoner/individuals/wedge_runs.h"
#include "reasoner/kernel/tableau_test.h"

namespace kelmon::reasoner {

namespace {

// Top, Atomic, or a conjunction of such; nested conjunctions walked with a stack.
bool is_conjunction_of_classes(const ConceptPool& pool, ConceptId root) {
  std::vector<ConceptId> stack{root};
  while (!stack.empty()) {
    const Concept& c = pool.get(stack.back());
    stack.pop_back();
    if (std::holds_alternative<Top>(c) || std::holds_alternative<Atomic>(c)) continue;
    const auto* conj = std::get_if<And>(&c);
    if (conj == nullptr) return false;
    stack.insert(stack.end(), conj->members.begin(), conj->members.end());
  }
  return true;
}

bool in_complete_fragment(const InternalOntology& ir) {
  if (in_saturation_fragment(ir, false)) return true;
  if (switch_flag(SwitchId::HornShortcircuit) && is_horn(ir, false)) return true;
  return horn_shortcircuit_applies(ir);
}

// Assertions that the ABox-aware saturation reads as they are meant.
bool assertions_fit_saturation(const InternalOntology& ir) {
  bool functional = false;
  bool property_assertion = false;
  for (const Axiom& axiom : ir.axioms) {
    functional = functional || std::holds_alternative<FunctionalRole>(axiom) ||
                 std::holds_alternative<InverseFunctionalRole>(axiom);
    property_assertion = property_assertion || std::holds_alternative<ObjectPropertyAssertion>(axiom);
  }
  // Functional properties over asserted edges force equalities saturation does not draw.
  if (functional && property_assertion) return false;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* a = std::get_if<ClassAssertion>(&axiom)) {
      if (!is_conjunction_of_classes(ir.concepts, a->concept_id)) return false;
    } else if (const auto* p = std::get_if<ObjectPropertyAssertion>(&axiom)) {
      if (!p->role.is_named()) return false;
    } else if (std::holds_alternative<SameIndividual>(axiom)) {
      return false;
    }
  }
  return true;
}

// Atomic domain (or range) classes per named role, in axiom order.
using RoleClasses = tsl::robin_map<std::uint32_t, std::vector<ClassId>>;

struct DomainsAndRanges {
  RoleClasses domains;
  RoleClasses ranges;
};

DomainsAndRanges atomic_domains_and_ranges(const InternalOntology& ir) {
  DomainsAndRanges out;
  auto add = [&](RoleClasses& table, Role role, ConceptId concept_id) {
    if (!role.is_named()) return;
    if (const auto* a = std::get_if<Atomic>(&ir.concepts.get(concept_id))) table[role.id.v].push_back(a->cls);
  };
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* d = std::get_if<ObjectPropertyDomain>(&axiom)) add(out.domains, d->role, d->domain);
    else if (const auto* r = std::get_if<ObjectPropertyRange>(&axiom)) add(out.ranges, r->role, r->range);
  }
  return out;
}

void append_classes(const RoleClasses& table, RoleId role, std::vector<ClassId>& out) {
  auto it = table.find(role.v);
  if (it != table.end()) out.insert(out.end(), it->second.begin(), it->second.end());
}

// Calls add(individual, class) for every told type, walking the axioms in order.
template <class Add>
void for_each_told_type(const InternalOntology& ir, Add&& add) {
  const DomainsAndRanges dr = atomic_domains_and_ranges(ir);
  std::vector<ClassId> classes;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* a = std::get_if<ClassAssertion>(&axiom)) {
      if (const auto* atomic = std::get_if<Atomic>(&ir.concepts.get(a->concept_id))) add(a->individual, atomic->cls);
    } else if (const auto* p = std::get_if<ObjectPropertyAssertion>(&axiom)) {
      // r⁻(a, b) states r(b, a): the named property's subject is b.
      const IndividualId source = p->role.is_named() ? p->subject : p->object;
      const IndividualId target = p->role.is_named() ? p->object : p->subject;
      classes.clear();
      append_classes(dr.domains, p->role.id, classes);
      for (ClassId c : classes) add(source, c);
      classes.clear();
      append_classes(dr.ranges, p->role.id, classes);
      for (ClassId c : classes) add(target, c);
    }
  }
}

}  // namespace

bool use_saturation_for_realize(const InternalOntology& ir) {
  if (!switch_flag(SwitchId::RealizeSaturation)) return false;
  if (!in_complete_fragment(ir)) return false;
  return assertions_fit_saturation(ir);
}

std::optional<std::uint64_t> realize_pair_timeout_ms() {
  const std::uint64_t ms = switch_number(SwitchId::RealizePairTimeoutMs);
  if (ms == 0) return std::nullopt;
  return ms;
}

std::vector<ClassId> told_types(const InternalOntology& ir, IndividualId individual) {
  std::vector<ClassId> out;
  for_each_told_type(ir, [&](IndividualId i, ClassId c) {
    if (i == individual) out.push_back(c);
  });
  return out;
}

Result<InstanceAnswer> test_instance(const InternalOntology& ir, const sat::ElResult& saturation,
                                     const PreparedReasoner& prepared, ClassId cls, IndividualId individual,
                                     Deadline deadline, const CandidateSet* candidates) {
  return individuals::test_instance_told(told_types(ir, individual), saturation, prepared, cls, individual, deadline,
                                         candidates);
}

namespace individuals {

std::vector<std::vector<ClassId>> told_type_table(const InternalOntology& ir) {
  std::vector<std::vector<ClassId>> table(ir.vocabulary.individuals.size());
  for_each_told_type(ir, [&](IndividualId i, ClassId c) {
    if (i.v < table.size()) table[i.v].push_back(c);
  });
  return table;
}

bool told_entails(const std::vector<ClassId>& told, const sat::ElResult& saturation, ClassId cls) {
  const sat::SubsumerTable& rows = saturation.subsumers;
  return std::any_of(told.begin(), told.end(),
                     [&](ClassId t) { return t.v < rows.rows() && rows.contains(t.v, cls.v); });
}

Result<InstanceAnswer> test_instance_told(const std::vector<ClassId>& told, const sat::ElResult& saturation,
                                          const PreparedReasoner& prepared, ClassId cls, IndividualId individual,
                                          Deadline deadline, const CandidateSet* candidates) {
  if (told_entails(told, saturation, cls)) return InstanceAnswer{true, false};
  if (candidates != nullptr && !candidates->contains(cls.v)) return InstanceAnswer{false, false};
  // The hypertableau over the asserted individuals settles most tests at once
  // that the tableau's search cannot finish in time.
  if (prepared.wedge) {
    const Deadline wedge_deadline = deadline ? deadline : wedge_witness_deadline();
    if (auto decided = wedge_instance_test(*prepared.wedge, individual.v, cls.v, wedge_deadline))
      return InstanceAnswer{*decided, false};
    if (expired(deadline)) return InstanceAnswer{false, true};
  }

  TestAnswer test = run_tableau_test_realize(prepared, prepared.abox, cls, individual, deadline);
  if (!test) {
    if (deadline && std::holds_alternative<NoVerdict>(test.error())) return InstanceAnswer{false, true};
    return std::unexpected(std::move(test.error()));
  }
  // {individual} ⊓ ¬cls without a model: the individual is an instance.
  if (test->has_value()) return InstanceAnswer{!**test, false};
  // Stopped by the deadline or a bound (the node limit, with or without a
  // deadline): "not an instance" is a guess, and says so.
  return InstanceAnswer{false, true};
}

Deadline instance_test_deadline(std::optional<std::uint64_t> timeout_ms) {
  if (!timeout_ms) return std::nullopt;
  return deadline_after(Clock::now(), timeout_from_ms(timeout_ms));
}

}  // namespace individuals

}  // namespace kelmon::reasoner
