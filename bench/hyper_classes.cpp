// One hypertableau class-label run per class, built the way classification
// builds it (the kernel's clause set, the probe seed clauses, the engine
// switches), with the graph each run leaves: nodes, tree depth, blocked
// nodes, branches, and the slowest classes.
//   scripts/bench-native hyper_classes [FILE] [--deadline-ms N] [--worst N] [--only NAME [--dump]]
//   (default: galen from the corpus; deadline 2000 ms per run; the 10 slowest listed)
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
#include "reasoner/kernel/hyper_runs.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

using namespace kelmon;

namespace {

using Ms = std::chrono::duration<double, std::milli>;

struct Row {
  std::uint32_t cls = 0;
  double ms = 0;
  HyperOutcome outcome = HyperOutcome::Sat;
  std::size_t nodes = 0, live = 0, blocked = 0, below_blocked = 0, depth = 0, labels = 0, edges = 0;
  std::size_t root_labels = 0;
  std::uint64_t root_hash = 0;  // of the root's labels, to compare the answers of two builds
  HyperStats stats;
};

std::string short_name(const std::string& iri) {
  const auto cut = iri.find_last_of("#/");
  return cut == std::string::npos ? iri : iri.substr(cut + 1);
}

std::string class_name(const Vocabulary& vocab, std::uint32_t c) {
  if (c < vocab.classes.size()) return short_name(*vocab.classes.names()[c]);
  return "#" + std::to_string(c);
}

std::string role_name(const Vocabulary& vocab, std::uint32_t r) {
  if (r < vocab.roles.size()) return short_name(*vocab.roles.names()[r]);
  return "#" + std::to_string(r);
}

// Every live node: parent edge, blocking state, labels.
void dump_graph(HyperEngine& e, const Vocabulary& vocab, std::FILE* out) {
  for (std::size_t i = 0; i < e.nodes.size(); ++i) {
    const auto x = static_cast<std::uint32_t>(i);
    const HyperNode& n = e.nodes[i];
    std::fprintf(out, "n%zu", i);
    if (e.find(x) != x) {
      std::fprintf(out, " merged into n%u\n", e.find(x));
      continue;
    }
    if (n.is_tree != 0)
      std::fprintf(out, " <- n%u %s%s", n.parent, role_name(vocab, n.parent_role).c_str(), n.parent_dir ? "^-" : "");
    std::fprintf(out, "%s%s out %zu in %zu:", e.indirectly_blocked(x) ? " BELOW" : "",
                 e.is_blocked(x) ? " BLOCKED" : "", n.out_edges.size(), n.in_edges.size());
    for (std::uint32_t l : n.labels) std::fprintf(out, " %s", class_name(vocab, l).c_str());
    std::fprintf(out, "\n");
  }
}

Row run_class(const reasoner::HyperClauseSet& set, std::uint32_t c, std::uint64_t deadline_ms,
              const Vocabulary* dump_vocab = nullptr) {
  const std::vector<DlClause> extra = reasoner::probe_seed_clauses(set, c);
  HyperEngine e = HyperEngine::new_shared(set.clauses, set.probe_id, set.indexes, set.disjoint_pairs);
  if (set.hierarchy_in_index) e.role_hierarchy = set.role_hierarchy;
  e.set_extra_clauses(extra);
  e.nominal_range = set.nominals;
  reasoner::apply_engine_knobs(e);
  if (set.seed_subsumers) e.implied_subsumers = *set.seed_subsumers;
  if (set.tautology_pairs) e.skip_disjunctions = *set.tautology_pairs;
  if (set.lookahead) e.lookahead = set.lookahead;
  Row row;
  row.cls = c;
  const auto start = std::chrono::steady_clock::now();
  row.outcome = e.run(256, start + std::chrono::milliseconds(deadline_ms));
  row.ms = Ms(std::chrono::steady_clock::now() - start).count();
  row.stats = e.stats();
  row.nodes = e.nodes.size();
  row.root_labels = e.nodes[0].labels.size();
  for (std::uint32_t l : e.nodes[0].labels) row.root_hash = row.root_hash * 0x9e3779b97f4a7c15ULL + l + 1;
  if (dump_vocab != nullptr) dump_graph(e, *dump_vocab, stdout);
  std::vector<std::size_t> depth(e.nodes.size(), 0);
  for (std::size_t i = 0; i < e.nodes.size(); ++i) {
    const HyperNode& n = e.nodes[i];
    if (n.is_tree != 0 && i != 0) depth[i] = depth[n.parent] + 1;
    row.depth = std::max(row.depth, depth[i]);
    if (e.find(static_cast<std::uint32_t>(i)) != i) continue;
    ++row.live;
    row.labels += n.labels.size();
    row.edges += n.out_edges.size();
    if (e.indirectly_blocked(static_cast<std::uint32_t>(i))) ++row.below_blocked;
    else if (e.is_blocked(static_cast<std::uint32_t>(i))) ++row.blocked;
  }
  return row;
}

const char* outcome_name(HyperOutcome o) {
  switch (o) {
    case HyperOutcome::Sat: return "sat";
    case HyperOutcome::Unsat: return "unsat";
    case HyperOutcome::Stalled: return "stalled";
  }
  return "?";
}

void print_row(const Row& r, const Vocabulary& vocab) {
  std::printf("  %-40s %-7s %8.1f ms nodes %zu live %zu depth %zu blocked %zu below %zu labels %zu edges %zu "
              "branches %llu fixpoints %llu root %zu/%016llx\n",
              std::string(*vocab.classes.names()[r.cls]).substr(0, 40).c_str(), outcome_name(r.outcome), r.ms,
              r.nodes, r.live, r.depth, r.blocked, r.below_blocked, r.labels, r.edges,
              static_cast<unsigned long long>(r.stats.branches),
              static_cast<unsigned long long>(r.stats.fixpoint_calls), r.root_labels,
              static_cast<unsigned long long>(r.root_hash));
}

}  // namespace

int main(int argc, char** argv) {
  std::string file = std::string(KELMON_CORPUS_DIR) + "/ontologies/galen.owx";
  std::uint64_t deadline_ms = 2000;
  std::size_t worst = 10;
  std::string only;
  bool dump = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--deadline-ms") == 0 && i + 1 < argc) deadline_ms = std::strtoull(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--worst") == 0 && i + 1 < argc) worst = std::strtoull(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
    else if (std::strcmp(argv[i], "--dump") == 0) dump = true;
    else file = argv[i];
  }
  auto loaded = owl::load_ontology(file);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    return 1;
  }
  InternalOntology ir = convert_ontology(loaded->axioms);
  const Vocabulary vocab = ir.vocabulary;
  sat::ElResult saturation = sat::el_saturate(ir, false).first;
  auto prepared = reasoner::prepare_without_deadline(std::move(ir), std::move(saturation));
  if (!prepared) {
    std::fprintf(stderr, "preparation failed\n");
    return 1;
  }
  const reasoner::HyperClauseSet* set = (*prepared)->hyper_set();
  if (set == nullptr) {
    std::fprintf(stderr, "no hypertableau clause set\n");
    return 1;
  }
  const auto classes = static_cast<std::uint32_t>(vocab.classes.size());
  std::vector<Row> rows;
  std::uint64_t counts[3] = {0, 0, 0};
  double total_ms = 0;
  for (std::uint32_t c = 0; c < classes; ++c) {
    if (!only.empty() && std::string(*vocab.classes.names()[c]).find(only) == std::string::npos) continue;
    rows.push_back(run_class(*set, c, deadline_ms, dump ? &vocab : nullptr));
    ++counts[static_cast<int>(rows.back().outcome)];
    total_ms += rows.back().ms;
  }
  std::printf("%s: %zu clauses, %zu runs, %.1f ms; sat %llu unsat %llu stalled %llu; sat_exact %d; peak %ld MiB\n",
              file.c_str(), set->clauses.size(), rows.size(), total_ms, static_cast<unsigned long long>(counts[0]),
              static_cast<unsigned long long>(counts[1]), static_cast<unsigned long long>(counts[2]),
              set->sat_exact ? 1 : 0, bench::peak_rss_kb() / 1024);
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.ms > b.ms; });
  for (std::size_t i = 0; i < rows.size() && i < worst; ++i) print_row(rows[i], vocab);
  return 0;
}
