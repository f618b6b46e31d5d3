// Core IR timings: interning 10^6 concepts (names, fresh concepts, repeated
// concepts, canonical unions), negation normal form over them, and told tables
// and the role hierarchy for 10^5 classes. Prints one line per measurement.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "core/ir.h"

namespace {

using kelmon::ConceptId;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, double ms, std::size_t items) {
  std::printf("%-48s %10.1f ms  %8.1f ns/item  (%zu items)\n", what, ms, ms * 1e6 / static_cast<double>(items), items);
}

void bench_interning() {
  constexpr std::uint32_t kClasses = 100000;
  constexpr std::size_t kConcepts = 1000000;
  kelmon::InternalOntology ir;

  auto t = Clock::now();
  for (std::uint32_t i = 0; i < kClasses; ++i) ir.vocabulary.classes.intern("http://example.org/onto#Class" + std::to_string(i));
  report("vocabulary: intern 1e5 class IRIs", ms_since(t), kClasses);

  std::mt19937 rng(42);
  std::vector<ConceptId> made;
  made.reserve(kConcepts);
  t = Clock::now();
  for (std::uint32_t i = 0; i < kClasses; ++i) made.push_back(ir.concepts.intern(kelmon::Atomic{kelmon::ClassId{i}}));
  while (made.size() < kConcepts) {
    ConceptId a = made[rng() % made.size()];
    ConceptId b = made[rng() % made.size()];
    kelmon::Role r = kelmon::Role{static_cast<std::uint32_t>(rng() & 1u), kelmon::RoleId{static_cast<std::uint32_t>(rng() % 64)}};
    switch (rng() % 4) {
      case 0: made.push_back(ir.concepts.intern(kelmon::Some{a, r})); break;
      case 1: made.push_back(ir.concepts.intern(kelmon::All{a, r})); break;
      case 2: made.push_back(ir.concepts.mk_and({a, b})); break;
      default: made.push_back(ir.concepts.mk_or({a, b, made[rng() % made.size()]})); break;
    }
  }
  double build_ms = ms_since(t);
  report("pool: build 1e6 concepts (intern + builders)", build_ms, kConcepts);
  std::printf("%-48s %10zu distinct\n", "pool size after build", ir.concepts.size());

  t = Clock::now();
  std::size_t hits = 0;
  for (std::size_t i = 0; i < kConcepts; ++i) {
    kelmon::Concept copy = ir.concepts.get(made[i]);
    hits += ir.concepts.intern(std::move(copy)) == made[i];
  }
  report("pool: re-intern 1e6 existing concepts (hits)", ms_since(t), kConcepts);
  if (hits != kConcepts) std::printf("unexpected: %zu hits\n", hits);

  t = Clock::now();
  std::size_t before = ir.concepts.size();
  for (std::size_t i = 0; i < kConcepts; i += 10) ir.concepts.nnf_not(made[i]);
  report("nnf_not of 1e5 random concepts", ms_since(t), kConcepts / 10);
  std::printf("%-48s %10zu new concepts\n", "", ir.concepts.size() - before);

  t = Clock::now();
  kelmon::ConceptPool copy = ir.concepts.clone();
  report("pool: clone", ms_since(t), copy.size());
}

void bench_told_tables() {
  constexpr std::uint32_t kClasses = 100000;
  kelmon::InternalOntology ir;
  std::vector<ConceptId> atoms;
  for (std::uint32_t i = 0; i < kClasses; ++i) {
    ir.vocabulary.classes.intern("C" + std::to_string(i));
    atoms.push_back(ir.concepts.intern(kelmon::Atomic{kelmon::ClassId{i}}));
  }
  // A taxonomy of depth about 17 (a binary tree), a fifth of the classes with
  // a second parent anywhere above, some equivalences, disjointness and
  // disjoint unions: supers rows of a few dozen, as in large real ontologies.
  std::mt19937 rng(7);
  for (std::uint32_t i = 1; i < kClasses; ++i) {
    ir.axioms.push_back(kelmon::SubClassOf{atoms[i], atoms[(i - 1) / 2]});
    if (rng() % 5 == 0) ir.axioms.push_back(kelmon::SubClassOf{atoms[i], atoms[rng() % i]});
    if (i % 97 == 0) ir.axioms.push_back(kelmon::EquivalentClasses{{atoms[i], atoms[i - 1]}});
    if (i % 31 == 0) ir.axioms.push_back(kelmon::DisjointClasses{{atoms[i], atoms[i - 3], atoms[i - 7]}});
    if (i % 501 == 0) ir.axioms.push_back(kelmon::DisjointUnion{kelmon::ClassId{i}, {atoms[i - 1], atoms[i - 2]}});
  }
  auto t = Clock::now();
  kelmon::ToldTables told = kelmon::ToldTables::build(ir);
  double ms = ms_since(t);
  std::size_t entries = 0;
  for (std::uint32_t c = 0; c < kClasses; ++c) entries += told.supers[kelmon::ClassId{c}].size();
  report("ToldTables::build, 1e5 classes", ms, kClasses);
  std::printf("%-48s %10zu axioms, %zu supers entries, longest row %zu\n", "", ir.axioms.size(), entries,
              told.supers.max_row_length());

  t = Clock::now();
  kelmon::Definitions defs = kelmon::build_definitions(ir);
  report("build_definitions, 1e5 classes", ms_since(t), kClasses);

  t = Clock::now();
  kelmon::split_union_antecedents(ir);
  auto handed = kelmon::add_union_common_subsumers(ir);
  kelmon::prune_told_disjoint_unions(ir, std::move(handed));
  report("told union rewrites (builds told tables twice)", ms_since(t), kClasses);
  (void)defs;
}

void bench_role_hierarchy() {
  constexpr std::uint32_t kRoles = 100000;
  kelmon::InternalOntology ir;
  for (std::uint32_t i = 0; i < kRoles; ++i) ir.vocabulary.roles.intern("r" + std::to_string(i));
  std::mt19937 rng(11);
  for (std::uint32_t i = 1; i < kRoles; ++i) {
    kelmon::Role sub = kelmon::Role::named(kelmon::RoleId{i});
    kelmon::Role sup = kelmon::Role::named(kelmon::RoleId{i / 2 + static_cast<std::uint32_t>(rng() % 2)});
    ir.axioms.push_back(kelmon::SubObjectPropertyOf{kelmon::Single{sub}, sup});
  }
  auto t = Clock::now();
  kelmon::RoleHierarchy h = kelmon::build_role_hierarchy(ir);
  report("build_role_hierarchy, 1e5 roles", ms_since(t), kRoles);
  std::printf("%-48s %10zu longest super row\n", "", h.supers.max_row_length());
}

}  // namespace

int main() {
  bench_interning();
  bench_told_tables();
  bench_role_hierarchy();
  return 0;
}
