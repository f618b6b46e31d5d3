// What `justify_all` costs: all justifications (up to --max, default 10) of every
// unsatisfiable class of pizza and of ten entailed subsumptions of GALEN, spread
// evenly over its reference classification, with the number of oracle calls
// (each one a conversion and a kernel test) and the wall time per justification.
// Each query runs in a child process stopped after --seconds (default 60): a
// kernel test without a deadline may not end, and then the row says how many
// oracle calls had been answered.
// --only TEXT runs the queries whose text holds TEXT; --dump FILE writes each
// candidate to FILE before it is asked, so a search that does not end leaves
// the candidate it stopped on.
//   scripts/bench-native justify_all [--max N] [--galen N] [--seconds N] [--only TEXT] [--dump FILE]
#include <algorithm>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "owl/functional_writer.h"
#include "owl/load.h"
#include "reasoner/explanation/justification_search.h"
#include "reasoner/explanation/kernel_seam.h"
#include "reasoner/explanation/prepared_ontology.h"
#include "reasoner/explanation/subset_oracle.h"

namespace {

using namespace kelmon;

// Counts the oracle calls, and writes "call <ms> <axioms>" to `out` as each one
// is answered.
class CountingOracle final : public explain::EntailmentOracle {
 public:
  CountingOracle(explain::EntailmentOracle& inner, FILE* out, std::string dump)
      : inner_(inner), out_(out), dump_(std::move(dump)) {}
  Result<bool> entails(const owl::AxiomSet& candidate, const explain::JustifyQuery& query) override {
    ++calls;
    if (!dump_.empty()) write_candidate(candidate);
    const auto start = std::chrono::steady_clock::now();
    auto answer = inner_.entails(candidate, query);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(out_, "call %.1f %zu\n", ms, candidate.size());
    std::fflush(out_);
    return answer;
  }
  bool saturation_finds_inconsistency(const owl::AxiomSet& candidate) override {
    return inner_.saturation_finds_inconsistency(candidate);
  }
  std::uint64_t calls = 0;

 private:
  // The candidate about to be asked, as a functional-syntax document: the one
  // left behind by a search that did not end.
  void write_candidate(const owl::AxiomSet& candidate) const {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dump_.c_str(), "w"), std::fclose);
    if (!file) return;
    std::fputs("Ontology(<urn:justify-candidate>\n", file.get());
    for (const owl::AnnotatedAxiom& a : candidate) std::fprintf(file.get(), "%s\n", owl::write_functional_axiom(a).c_str());
    std::fputs(")\n", file.get());
  }

  explain::EntailmentOracle& inner_;
  FILE* out_;
  std::string dump_;
};

// The lines of a reference classification (gzipped ones through gzip).
std::vector<std::pair<std::string, std::string>> reference_pairs(const std::string& path) {
  const bool gz = path.ends_with(".gz");
  const std::string command = (gz ? "gzip -dc '" : "cat '") + path + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> in(popen(command.c_str(), "r"), pclose);
  std::vector<std::pair<std::string, std::string>> out;
  if (!in) return out;
  std::string line;
  for (int c; (c = std::fgetc(in.get())) != EOF;) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    const auto tab = line.find('\t');
    if (tab != std::string::npos) out.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    line.clear();
  }
  return out;
}

std::string local_name(const std::string& iri) {
  const auto cut = iri.find_last_of("#/");
  return cut == std::string::npos ? iri : iri.substr(cut + 1);
}

struct Row {
  std::string ontology, query;
  std::size_t found = 0, smallest = 0, largest = 0;
  std::uint64_t calls = 0;
  double ms = 0, slowest_call_ms = 0;
  std::size_t largest_candidate = 0;
  std::string error;  // or why the search gave no answer
};

std::string query_text(const explain::JustifyQuery& query) {
  std::string text;
  for (const auto& n : query.names) text += (text.empty() ? "" : " ⊑ ") + local_name(n);
  if (query.kind == explain::QueryKind::Unsat) text += " ⊑ ⊥";
  return text;
}

// The search itself, in the child: "call" lines as the oracle answers, then
// "done <found> <smallest> <largest>" or "error <message>".
[[noreturn]] void search_in_child(const explain::SplitAxioms& split, const explain::JustifyQuery& query,
                                  std::uint64_t max, const std::string& dump, FILE* out) {
  explain::SubsetOracle kernel_oracle(explain::built_kernel());
  CountingOracle oracle(kernel_oracle, out, dump);
  auto found = explain::find_all_justifications(oracle, split.non_logical, split.logical, query, max);
  if (!found && std::holds_alternative<NoVerdict>(found.error())) {
    std::fprintf(out, "error undecided: an oracle call ran out of its bound\n");
  } else if (!found) {
    std::fprintf(out, "error %s\n", reasoner_error_message(found.error()).c_str());
  } else {
    std::size_t smallest = 0, largest = 0;
    for (const auto& j : *found) {
      smallest = smallest == 0 ? j.size() : std::min(smallest, j.size());
      largest = std::max(largest, j.size());
    }
    std::fprintf(out, "done %zu %zu %zu\n", found->size(), smallest, largest);
  }
  std::fflush(out);
  std::_Exit(0);
}

Row run(const std::string& ontology, const explain::SplitAxioms& split, const explain::JustifyQuery& query,
        std::uint64_t max, unsigned seconds, const std::string& dump) {
  Row row;
  row.ontology = ontology;
  row.query = query_text(query);
  int fds[2];
  if (pipe(fds) != 0) {
    row.error = "no pipe";
    return row;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    alarm(seconds);  // the default action ends the child
    search_in_child(split, query, max, dump, fdopen(fds[1], "w"));
  }
  close(fds[1]);
  FILE* in = fdopen(fds[0], "r");
  char line[4096];
  bool done = false;
  while (std::fgets(line, sizeof line, in)) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.starts_with("call ")) {
      ++row.calls;
      double call_ms = 0;
      std::size_t axioms = 0;
      if (std::sscanf(text.c_str() + 5, "%lf %zu", &call_ms, &axioms) == 2) {
        row.slowest_call_ms = std::max(row.slowest_call_ms, call_ms);
        row.largest_candidate = std::max(row.largest_candidate, axioms);
      }
    } else if (text.starts_with("done ")) {
      done = std::sscanf(text.c_str() + 5, "%zu %zu %zu", &row.found, &row.smallest, &row.largest) == 3;
    } else if (text.starts_with("error ")) {
      row.error = text.substr(6);
      done = true;
    }
  }
  std::fclose(in);
  waitpid(child, nullptr, 0);
  row.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!done) row.error = "no answer within " + std::to_string(seconds) + " s";
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t max = 10;
  std::size_t galen_queries = 10;
  unsigned seconds = 60;
  std::string only, dump;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--max") max = std::strtoull(argv[i + 1], nullptr, 10);
    else if (arg == "--galen") galen_queries = std::strtoull(argv[i + 1], nullptr, 10);
    else if (arg == "--seconds") seconds = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    else if (arg == "--only") only = argv[i + 1];
    else if (arg == "--dump") dump = argv[i + 1];
  }
  const std::string corpus = KELMON_CORPUS_DIR;
  std::vector<Row> rows;
  for (const auto& [name, reference, wanted] :
       {std::tuple{std::string("pizza.ofn"), std::string("pizza.subsumptions.tsv"), std::size_t{0}},
        std::tuple{std::string("galen.owx"), std::string("galen.subsumptions.tsv.gz"), galen_queries}}) {
    auto loaded = owl::load_ontology(corpus + "/ontologies/" + name);
    if (!loaded) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), loaded.error().c_str());
      return 1;
    }
    const explain::SplitAxioms split = explain::split_logical_axioms(loaded->axioms);
    std::vector<explain::JustifyQuery> queries;
    std::vector<std::pair<std::string, std::string>> subsumptions;
    for (auto& [a, b] : reference_pairs(corpus + "/reference/" + reference)) {
      if (a == "unsat") queries.push_back({explain::QueryKind::Unsat, {b}});
      else subsumptions.emplace_back(a, b);
    }
    if (wanted > 0) {
      queries.clear();
      for (std::size_t i = 0; i < wanted && !subsumptions.empty(); ++i) {
        const auto& [a, b] = subsumptions[i * subsumptions.size() / wanted];
        queries.push_back({explain::QueryKind::Subclass, {a, b}});
      }
    }
    for (const auto& q : queries) {
      if (!only.empty() && query_text(q).find(only) == std::string::npos) continue;
      rows.push_back(run(name, split, q, max, seconds, dump));
      std::fprintf(stderr, "%s %s: %zu in %.0f ms\n", name.c_str(), rows.back().query.c_str(), rows.back().found,
                   rows.back().ms);
    }
  }
  std::printf("| ontology | query | justifications | axioms each | oracle calls | calls per justification | ms | ms per justification | slowest call ms | largest candidate |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const Row& r : rows) {
    if (!r.error.empty()) {
      std::printf("| %s | %s | %s | | %llu | | %.0f | | %.0f | %zu |\n", r.ontology.c_str(), r.query.c_str(),
                  r.error.c_str(), static_cast<unsigned long long>(r.calls), r.ms, r.slowest_call_ms,
                  r.largest_candidate);
      continue;
    }
    const double per = r.found ? static_cast<double>(r.found) : 1.0;
    std::printf("| %s | %s | %zu | %zu–%zu | %llu | %.1f | %.0f | %.1f | %.0f | %zu |\n", r.ontology.c_str(),
                r.query.c_str(), r.found, r.smallest, r.largest, static_cast<unsigned long long>(r.calls),
                r.calls / per, r.ms, r.ms / per, r.slowest_call_ms, r.largest_candidate);
  }
}
