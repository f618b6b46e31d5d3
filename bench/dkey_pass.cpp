// Key pass timings. Usage: bench_dkey_pass [value count, default 10000]
//  - distinct asserted integer values of one functional data property: every
//    two values are disjoint, so the pass must emit n(n-1)/2 axioms;
//  - overlapping ranges of one functional property: no two nested or disjoint,
//    so nothing is emitted and the time is the search alone;
//  - the same values without a bucket context.
// Prints one line per measurement with the axioms emitted and peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"
#include "core/dkeys/dkey_pass.h"
#include "core/ir.h"

using kelmon::bench::peak_rss_kb;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ClassAssertion(Some(p, key_i), a_i) for n keys named by `key_of`, and FunctionalRole(p).
template <class KeyOf>
kelmon::InternalOntology functional_values(std::size_t n, KeyOf key_of) {
  kelmon::InternalOntology ir;
  const kelmon::Role p = kelmon::Role::named(ir.vocabulary.roles.intern("http://example.org/p"));
  ir.axioms.push_back(kelmon::FunctionalRole{p});
  for (std::size_t i = 0; i < n; ++i) {
    const kelmon::ClassId key = ir.vocabulary.classes.intern(key_of(i));
    const kelmon::ConceptId atom = ir.concepts.intern(kelmon::Atomic{key});
    const kelmon::ConceptId some = ir.concepts.intern(kelmon::Some{atom, p});
    const kelmon::IndividualId a = ir.vocabulary.individuals.intern("http://example.org/a" + std::to_string(i));
    ir.axioms.push_back(kelmon::ClassAssertion{some, a});
  }
  return ir;
}

void measure(const char* what, kelmon::InternalOntology ir) {
  const std::size_t before = ir.axioms.size();
  const auto start = Clock::now();
  kelmon::emit_dkey_axioms(ir);
  const double ms = ms_since(start);
  std::printf("%-58s %10.1f ms  %10zu axioms  peak RSS %ld MiB\n", what, ms, ir.axioms.size() - before, peak_rss_kb() / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000;
  const std::string count = std::to_string(n);

  measure(("overlapping ranges of one functional property, n=" + count).c_str(),
          functional_values(n, [&](std::size_t i) {
            return "urn:kelmon-dkey:" + std::to_string(i) + ":" + std::to_string(i + n);
          }));
  measure(("distinct values of one functional property, n=" + count).c_str(),
          functional_values(n, [](std::size_t i) { return "urn:kelmon-dkey:" + std::to_string(i) + ":" + std::to_string(i); }));
  ::setenv("KELMON_BOUNDED_DKEY_DISJOINT", "0", 1);
  measure(("distinct values, no bucket context, n=" + count).c_str(),
          functional_values(n, [](std::size_t i) { return "urn:kelmon-dkey:" + std::to_string(i) + ":" + std::to_string(i); }));
  return 0;
}
