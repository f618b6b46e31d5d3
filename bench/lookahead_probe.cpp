// Cost of one look-ahead probe on a real ontology: the engine is saturated
// once, then each probe asks about one class (and one edge) on its own copy.
//   scripts/bench-native lookahead_probe [FILE] [probes]   (default: go-basic, 200)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"
#include "core/convert/convert.h"
#include "owl/load.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

using namespace kelmon;

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : std::string(KELMON_CORPUS_DIR) + "/ontologies/go-basic.ofn";
  const unsigned probes = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 200;
  auto loaded = owl::load_ontology(file);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    return 1;
  }
  InternalOntology ir = convert_ontology(loaded->axioms);
  const auto t0 = std::chrono::steady_clock::now();
  sat::LookaheadEngine engine = sat::build_lookahead_engine(ir);
  const auto t1 = std::chrono::steady_clock::now();
  const auto classes = static_cast<std::uint32_t>(ir.vocabulary.classes.size());
  unsigned unsat = 0;
  for (unsigned i = 0; i < probes; ++i) {
    const std::uint32_t c = static_cast<std::uint32_t>((std::uint64_t{i} * 7919) % classes);
    const std::uint32_t t = static_cast<std::uint32_t>((std::uint64_t{i} * 104729) % classes);
    unsat += engine.probe_unsat({c}, {{0, t}}) ? 1 : 0;
  }
  const auto t2 = std::chrono::steady_clock::now();
  auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  std::printf("%s: saturate %.1f ms, %u probes %.1f ms (%.3f ms each), %u unsat, %ld MiB peak\n", file.c_str(), ms(t0, t1),
              probes, ms(t1, t2), ms(t1, t2) / probes, unsat, bench::peak_rss_kb() / 1024);
  return 0;
}
