// Building the prepared reasoner the way classification does (saturation
// handed in), and the share of it the two clause sets take: each set is
// also built alone from the same ontology.
//   scripts/bench-native prepare_reasoner [FILE...] [--rounds N]
//   (default: go-basic, galen, wine and lubm-university0 from the corpus; 3 rounds, best kept)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/convert/convert.h"
#include "owl/load.h"
#include "reasoner/kernel/hyper_clause_set.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

using namespace kelmon;

namespace {

using Ms = std::chrono::duration<double, std::milli>;

template <class F>
double best_ms(int rounds, F&& f) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, Ms(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

void bench_file(const std::string& file, int rounds) {
  auto loaded = owl::load_ontology(file);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    std::exit(1);
  }
  const InternalOntology ir = convert_ontology(loaded->axioms);
  const sat::ElResult saturation = sat::el_saturate(ir, false).first;
  bool hyper = false, wedge = false;
  const double prepare = best_ms(rounds, [&] {
    auto r = reasoner::prepare_without_deadline(ir, saturation);
    hyper = r && (*r)->hyper_source != nullptr;
    wedge = r && (*r)->wedge.has_value();
  });
  const double hyper_ms = best_ms(rounds, [&] { (void)reasoner::build_hyper_clause_set(ir); });
  const double wedge_ms = wedge ? best_ms(rounds, [&] { (void)reasoner::build_wedge_clause_set(ir); }) : 0.0;
  std::printf("%s: %zu axioms; prepare %.1f ms (hyper set %s, wedge set %s); hyper set alone %.1f ms (%.0f%%), "
              "wedge set alone %.1f ms; peak %ld MiB\n",
              file.c_str(), ir.axioms.size(), prepare, hyper ? "built" : "off", wedge ? "built" : "none", hyper_ms,
              prepare > 0 ? 100.0 * hyper_ms / prepare : 0.0, wedge_ms, bench::peak_rss_kb() / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  int rounds = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else files.emplace_back(argv[i]);
  }
  if (files.empty())
    for (const char* name : {"go-basic.ofn", "galen.owx", "wine.ofn", "lubm-university0.rdf"})
      files.push_back(std::string(KELMON_CORPUS_DIR) + "/ontologies/" + name);
  for (const std::string& f : files) bench_file(f, rounds);
}
