// Full classification of one ontology, phase by phase, with the counters that
// say where a run's pair tests went:
//   bench_classify_phases FILE [PER_PAIR_MS [GLOBAL_MS]]   (defaults 100 and 60000, as classify; 0 = unbounded)
// prints the load and conversion times, every phase time of the classification's
// statistics, the pair counters, and the wall and user CPU time of the classification.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "bench_util.h"
#include "common/deadline.h"
#include "owl/load.h"
#include "reasoner/classify/classify_driver.h"

using namespace kelmon;

namespace {

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) / 1e6;
}

std::optional<std::uint64_t> bound_arg(int argc, char** argv, int i, std::uint64_t fallback) {
  if (argc <= i) return fallback;
  const std::uint64_t v = std::strtoull(argv[i], nullptr, 10);
  return v == 0 ? std::nullopt : std::optional<std::uint64_t>(v);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: %s FILE [PER_PAIR_MS [GLOBAL_MS]]\n", argv[0]);
    return 2;
  }
  auto ms = [](Instant a, Instant b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  const Instant t0 = Clock::now();
  auto loaded = owl::load_ontology(argv[1]);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    return 1;
  }
  const Instant t1 = Clock::now();
  const double cpu0 = cpu_seconds();
  auto result = reasoner::run_classify(*loaded, bound_arg(argc, argv, 2, 100), bound_arg(argc, argv, 3, 60000), false);
  const Instant t2 = Clock::now();
  const double cpu = cpu_seconds() - cpu0;
  if (!result) {
    std::fprintf(stderr, "classification failed\n");
    return 1;
  }
  const reasoner::ClassifyStats& s = result->stats_ref();
  std::printf("load %.1f ms, classify %.1f ms (user CPU %.1f ms, %.2f cores), %zu classes, timed-out pairs %llu\n",
              ms(t0, t1), ms(t1, t2), cpu * 1e3, cpu * 1e3 / ms(t1, t2), result->classes().size(),
              static_cast<unsigned long long>(s.timed_out_pairs));
  std::printf("phases ms: saturation %llu precheck %llu prepare %llu label %llu unsat %llu search %llu sweep %llu "
              "store %llu other %llu\n",
              static_cast<unsigned long long>(s.saturation_ms), static_cast<unsigned long long>(s.precheck_ms),
              static_cast<unsigned long long>(s.prepare_ms), static_cast<unsigned long long>(s.label_ms),
              static_cast<unsigned long long>(s.unsat_ms), static_cast<unsigned long long>(s.search_ms),
              static_cast<unsigned long long>(s.sweep_ms), static_cast<unsigned long long>(s.store_ms),
              static_cast<unsigned long long>(s.other_ms));
  std::uint64_t hyper_runs = 0;
  for (std::uint64_t v : s.hyper_ms_histogram) hyper_runs += v;
  std::printf("pairs: el_accepted %llu label_supported %llu label_refuted %llu label_missing %llu hyper_runs %llu "
              "hyper_unsat %llu hyper_sat_trusted %llu snapshot_tests %llu tableau_decided %llu class_tests %llu/%llu\n",
              static_cast<unsigned long long>(s.el_accepted), static_cast<unsigned long long>(s.label_supported),
              static_cast<unsigned long long>(s.label_refuted), static_cast<unsigned long long>(s.label_missing),
              static_cast<unsigned long long>(hyper_runs), static_cast<unsigned long long>(s.hyper_unsat),
              static_cast<unsigned long long>(s.hyper_sat_trusted), static_cast<unsigned long long>(s.snapshot_tests),
              static_cast<unsigned long long>(s.tableau_decided),
              static_cast<unsigned long long>(s.class_test_shortcut),
              static_cast<unsigned long long>(s.class_test_tableau));
  std::printf("hyper ms histogram (0,1,2-4,5-9,10-19,20-49,50-99,100-999,>=1000):");
  for (std::uint64_t v : s.hyper_ms_histogram) std::printf(" %llu", static_cast<unsigned long long>(v));
  std::printf("\npeak %ld MB\n", bench::peak_rss_kb() / 1024);
  return 0;
}
