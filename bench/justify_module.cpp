// Cost of the ⊥-locality module that every justification search computes
// before its first oracle call: for each ontology, the module of every named
// class's own signature (as for an unsat query), in median milliseconds and
// median module size.
//   scripts/bench-native justify_module [--classes N] [file ...]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_util.h"
#include "owl/load.h"
#include "reasoner/explanation/locality.h"
#include "reasoner/explanation/prepared_ontology.h"

namespace {

double cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

template <class T>
T median(std::vector<T> v) {
  if (v.empty()) return T{};
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelmon;
  std::size_t classes = 200;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--classes" && i + 1 < argc) classes = std::strtoull(argv[++i], nullptr, 10);
    else files.push_back(arg);
  }
  if (files.empty())
    for (const char* name : {"pizza.ofn", "wine.ofn", "galen.owx", "go-basic.ofn"})
      files.push_back(std::string(KELMON_CORPUS_DIR) + "/ontologies/" + name);
  std::printf("%-16s %9s %9s %10s %10s %10s\n", "ontology", "logical", "queries", "module_ms", "max_ms", "module_ax");
  for (const std::string& path : files) {
    auto loaded = owl::load_ontology(path);
    if (!loaded) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), loaded.error().c_str());
      return 1;
    }
    const explain::SplitAxioms split = explain::split_logical_axioms(loaded->axioms);
    std::vector<double> times;
    std::vector<std::size_t> sizes;
    for (const owl::Axiom& a : split.non_logical) {
      const auto* d = std::get_if<owl::DeclareClass>(&a);
      if (!d || times.size() >= classes) continue;
      explain::Signature seed;
      seed.insert(d->entity.iri);
      const double start = cpu_ms();
      const auto module = explain::bottom_locality_module(split.logical, std::move(seed));
      times.push_back(cpu_ms() - start);
      sizes.push_back(module.size());
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    std::printf("%-16s %9zu %9zu %10.2f %10.2f %10zu\n", name.c_str(), split.logical.size(), times.size(),
                median(times), times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()), median(sizes));
  }
}
