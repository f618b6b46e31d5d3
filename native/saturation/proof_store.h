// The optional derivation record of a saturation run: which rule and which
// axioms each fact came from. Nothing reads it yet beyond tests; it exists so
// that a derivation can be traced back to its axioms.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "saturation/internal/hash.h"

namespace kelmon::sat {

enum class FactTag : u32 { Subsumption = 0, Link = 1, Bottom = 2 };

struct Fact {
  FactTag tag = FactTag::Subsumption;
  u32 a = 0;  // X, or the link's source
  u32 b = 0;  // Y, or the link's role
  u32 c = 0;  // the link's target
  static Fact sub(u32 x, u32 y) { return Fact{FactTag::Subsumption, x, y, 0}; }
  static Fact link(u32 s, u32 r, u32 t) { return Fact{FactTag::Link, s, r, t}; }
  static Fact bottom(u32 x) { return Fact{FactTag::Bottom, x, 0, 0}; }
  friend bool operator==(const Fact&, const Fact&) = default;
};

struct FactHash {
  std::size_t operator()(const Fact& f) const noexcept {
    return hash_finish(hash_step(hash_step(hash_step(static_cast<u64>(f.tag), f.a), f.b), f.c));
  }
};

// The rule a derivation was made by. The numbers are those derivation records
// carry; 15 and 17 are not used.
enum class ProofRule : u32 {
  Reflexive = 0,           // X ⊑ X for a class
  Told = 1,                // a told subsumption
  ToldLink = 2,            // a link rule X ⊑ ∃r.F
  ToldBottom = 3,          // an id unsatisfiable from the start
  Upward = 4,              // X ⊑ Y, Y ⊑ Z
  Downward = 5,            // W ⊑ X, X ⊑ Y
  BottomAbove = 6,         // X ⊑ Y, Y ⊑ ⊥
  Conjunction = 7,         // X below every conjunct
  BottomConjunction = 8,   // X below every member of a conjunction ⊑ ⊥
  Disjointness = 9,        // X below two disjoint ids
  ExistsLeftInto = 10,     // ∃-left over a link into X, once X ⊑ Y
  ExistsLeftOwn = 11,      // ∃-left over a link of Y, for X ⊑ Y
  DomainOwn = 12,          // a domain over a link of Y, for X ⊑ Y
  LinkInheritance = 13,    // a link of Y copied to X ⊑ Y
  ChainOverPair = 14,      // a role chain through X ⊑ Y
  Transitive = 16,         // a transitive role's successors
  Domain = 18,             // a domain over a new link
  BottomTarget = 19,       // a link into an unsatisfiable id
  ExistsLeft = 20,         // ∃-left over a new link
  ChainOverLink = 21,      // a role chain through a new link
  FunctionalMerge = 22,    // the merged target of a functional role
  FunctionalRedirect = 23, // a link redirected to the merged target
  BottomBelow = 24,        // below an unsatisfiable id
  BottomSource = 25,       // the source of a link into an unsatisfiable id
};

struct Derivation {
  ProofRule rule = ProofRule::Reflexive;
  std::vector<Fact> premises;
  std::vector<u32> axioms;  // indices into the ontology's axiom list
};

// What a synthetic id stands for.
struct DefConjunction { std::vector<u32> conjuncts; };
struct DefExists { u32 role; u32 filler; bool linked; };
struct DefUnionExists { u32 role; std::vector<u32> fillers; };
struct DefNominal { u32 individual; };
struct DefAtMost { u32 n; u32 role; };
struct DefForallNominals { u32 role; std::vector<u32> individuals; };
struct DefForall { u32 role; u32 cls; };
struct DefTopFiller { u32 role; };
struct DefBottomFiller {};
struct DefTop {};
using SyntheticDefinition = std::variant<DefConjunction, DefExists, DefUnionExists, DefNominal, DefAtMost,
                                         DefForallNominals, DefForall, DefTopFiller, DefBottomFiller, DefTop>;

struct DomainEntry {
  u32 role = 0;
  u32 cls = 0;
  u32 axiom = 0;
};

struct ProofStore {
  // One entry per entry of the rule base's list of the same name.
  std::vector<std::optional<u32>> told;
  std::vector<std::optional<u32>> link_rules;
  std::vector<std::optional<u32>> conjunction_rules;
  std::vector<std::optional<u32>> bottom_conjunctions;
  std::vector<std::optional<u32>> exists_left_rules;
  std::vector<std::optional<u32>> disjoint_pairs;
  std::vector<std::optional<u32>> role_chains;
  std::vector<std::optional<u32>> initially_unsat;
  std::vector<DomainEntry> domain_entries;
  tsl::robin_map<Fact, Derivation, FactHash> derivations;
  IdMap<u32, SyntheticDefinition> definitions;
  IdMap<u32, u32> functional_axioms;                // role → FunctionalRole axiom index
  IdMap<PairKey, std::vector<Fact>> functional_links;  // (source, functional role) → links seen

  // Keeps the first derivation of each fact.
  void record(const Fact& fact, Derivation derivation) { derivations.try_emplace(fact, std::move(derivation)); }
};

// The source axiom of entry i of a provenance list, when there is one.
inline std::optional<u32> provenance_at(const std::vector<std::optional<u32>>& list, std::size_t i) {
  return i < list.size() ? list[i] : std::nullopt;
}

}  // namespace kelmon::sat
