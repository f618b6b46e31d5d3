// One hypertableau label run (budget 256) per class of an ontology, on engines
// sharing one base index: runs per second, branches, nodes, peak memory, and
// an estimate of the time the full-copy checkpoints take (the run's count of
// checkpoints, each copied and restored again on the finished graph, which is
// the largest the run saw, so the share is an upper bound).
//   scripts/bench-native hyper_labels [FILE...] [--deadline-ms N] [--incremental]
//   (default: galen, wine and pizza from the corpus; deadline 2000 ms per run)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/clause.h"
#include "core/convert/convert.h"
#include "owl/load.h"
#include "tableau/hyper/hyper.h"

using namespace kelmon;

namespace {

using Ms = std::chrono::duration<double, std::milli>;

void bench_file(const std::string& file, std::uint64_t deadline_ms, bool incremental) {
  auto loaded = owl::load_ontology(file);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    std::exit(1);
  }
  InternalOntology ir = convert_ontology(loaded->axioms);
  const DlClauseSet set = clausify(ir);
  auto index = build_base_index(set.clauses, nullptr);
  auto disjoint = std::make_shared<const DisjointPairs>(collect_disjoint_pairs(set.clauses));
  const auto classes = static_cast<std::uint32_t>(ir.vocabulary.classes.size());
  std::uint64_t sat = 0, unsat = 0, stalled = 0, stalled_early = 0, branches = 0, nodes = 0, checkpoints = 0;
  double copy_ms = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (std::uint32_t c = 0; c < classes; ++c) {
    HyperEngine e = HyperEngine::new_shared(set.clauses, c, index, disjoint);
    e.incremental_fixpoint = incremental;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::milliseconds(deadline_ms);
    switch (e.run(256, deadline)) {
      case HyperOutcome::Sat: ++sat; break;
      case HyperOutcome::Unsat: ++unsat; break;
      case HyperOutcome::Stalled:
        ++stalled;
        // Before the deadline: the fixpoint's item limit.
        if (std::chrono::steady_clock::now() < deadline) ++stalled_early;
        break;
    }
    const HyperStats s = e.stats();
    branches += s.branches;
    nodes += e.nodes.size();
    checkpoints += s.checkpoints;
    const auto c0 = std::chrono::steady_clock::now();
    for (std::uint64_t k = 0; k < s.checkpoints; ++k) e.restore(e.checkpoint());
    copy_ms += Ms(std::chrono::steady_clock::now() - c0).count();
  }
  const double run_ms = Ms(std::chrono::steady_clock::now() - t0).count() - copy_ms;
  std::printf(
      "%s%s: %u classes, %zu clauses; %.1f ms, %.1f runs/s; sat %llu unsat %llu stalled %llu (%llu before the deadline); branches %llu, nodes "
      "%llu; checkpoints %llu, copy estimate %.1f ms (%.1f%% of run time); peak %ld MiB\n",
      file.c_str(), incremental ? " (incremental)" : "", classes, set.clauses.size(), run_ms, classes / (run_ms / 1000.0),
      static_cast<unsigned long long>(sat), static_cast<unsigned long long>(unsat),
      static_cast<unsigned long long>(stalled), static_cast<unsigned long long>(stalled_early),
      static_cast<unsigned long long>(branches),
      static_cast<unsigned long long>(nodes), static_cast<unsigned long long>(checkpoints), copy_ms,
      run_ms > 0 ? 100.0 * copy_ms / run_ms : 0.0, bench::peak_rss_kb() / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::uint64_t deadline_ms = 2000;
  bool incremental = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--incremental") == 0) {
      incremental = true;
    } else if (std::strcmp(argv[i], "--deadline-ms") == 0 && i + 1 < argc) {
      deadline_ms = std::strtoull(argv[++i], nullptr, 10);
    } else {
      files.emplace_back(argv[i]);
    }
  }
  if (files.empty())
    for (const char* name : {"galen.owx", "wine.ofn", "pizza.ofn"})
      files.push_back(std::string(KELMON_CORPUS_DIR) + "/ontologies/" + name);
  for (const std::string& f : files) bench_file(f, deadline_ms, incremental);
  return 0;
}
