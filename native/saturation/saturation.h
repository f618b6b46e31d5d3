// EL-style saturation: every derived subsumer of every saturation id, the
// existential links and the unsatisfiable ids, computed to a fixpoint. Sound
// on every ontology, complete on the EL fragment with role inclusions, chains
// of two roles, transitivity, atomic domains and ranges and ⊤ anywhere.
//
// Saturation ids are 32-bit: 0 to C − 1 are the class ids, higher ids are
// synthetic (conjunctions, existentials, nominals, …). They are not ConceptIds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>

#include "common/deadline.h"
#include "saturation/subsumer_table.h"

namespace kelmon {
struct InternalOntology;
}

namespace kelmon::sat {

// A growable bit set over saturation ids; ids past its size read as clear.
class IdBitSet {
 public:
  IdBitSet() = default;
  explicit IdBitSet(std::size_t n) { resize(n); }

  bool test(std::uint32_t i) const {
    return i < size_ && ((words_[i / 64] >> (i % 64)) & 1u) != 0;
  }
  // Sets the bit; true when it was clear. The id must be below size().
  bool set(std::uint32_t i);
  void resize(std::size_t n) {
    size_ = n;
    words_.resize((n + 63) / 64, 0);
  }
  std::size_t size() const { return size_; }
  std::size_t count() const;

 private:
  std::vector<std::uint64_t> words_;
  std::size_t size_ = 0;
};

struct ElResult {
  SubsumerTable subsumers;  // row X: every Y with X ⊑ Y derived, X included
  IdBitSet unsat;
  bool top_is_bottom = false;  // a GCI ⊤ ⊑ ⊥ was read
  bool inconsistent = false;   // ⊤ was found below ⊥ by the rules
};

// source ⊑ ∃role.target
struct ElLink {
  std::uint32_t source = 0;
  std::uint32_t role = 0;
  std::uint32_t target = 0;
  friend constexpr auto operator<=>(const ElLink&, const ElLink&) = default;
};

struct ProofStore;  // saturation/proof_store.h

// Saturates `ir` without a time bound; the proof store is present exactly when `proof` is on.
std::pair<ElResult, std::unique_ptr<ProofStore>> el_saturate(const InternalOntology& ir, bool proof);
// el_saturate with proofs on only when KELMON_PROOF is exactly "1"; the store is dropped.
ElResult el_saturate_from_env(const InternalOntology& ir);
// Without a deadline: el_saturate_from_env. With one: no proofs, and the run
// stops (timed_out true) once the clock, read every 4096 items, passes it.
std::pair<ElResult, bool> el_saturate_with_deadline(const InternalOntology& ir, Deadline deadline);

struct AboxElResult {
  ElResult result;
  tsl::robin_map<std::uint32_t, std::uint32_t> individual_ids;  // IndividualId → saturation id
};
// Saturates classes and individuals together: class assertions become told
// subsumptions, object property assertions links.
AboxElResult el_saturate_abox(const InternalOntology& ir);

struct ElLinksResult {
  ElResult result;
  std::vector<ElLink> links;  // ascending by (source, role, target)
  tsl::robin_map<std::uint32_t, std::uint32_t> nominals;  // nominal saturation id → IndividualId
};
ElLinksResult el_saturate_links(const InternalOntology& ir);

class ElEngine;

// A finished saturation with one spare id, the probe, that no axiom mentions;
// shared read-only by many hypertableau engines, on any number of threads.
class LookaheadEngine {
 public:
  explicit LookaheadEngine(std::shared_ptr<const ElEngine> engine, std::uint32_t probe);

  // True when saturation derives ⊥ for an element in every listed class with,
  // for every edge (role, target), a role-successor in target. Ids are read in
  // this engine's own id space; only class ids (below the class count) and
  // known roles are taken, anything else is ignored, which can only weaken
  // the probe and so never prunes a satisfiable branch.
  bool probe_unsat(const std::vector<std::uint32_t>& classes,
                   const std::vector<std::pair<std::uint32_t, std::uint32_t>>& edges) const;

  const ElEngine& engine() const { return *engine_; }
  std::uint32_t probe() const { return probe_; }
  // Ids below this are classes, the only ids a probe takes.
  std::uint64_t class_count() const;

 private:
  std::shared_ptr<const ElEngine> engine_;
  std::uint32_t probe_;
};

LookaheadEngine build_lookahead_engine(const InternalOntology& ir);

}  // namespace kelmon::sat
