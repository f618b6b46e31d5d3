// The completion-graph tableau's satisfiability test of every class of pizza,
// wine, koala, food and galen: tests per second, nodes per test and peak
// memory. Each test gets a 250 ms deadline and a depth budget of 256, as the
// kernel's bounded tests do; the answers are counted, not checked. Options:
// --anywhere tests with anywhere blocking (as the kernel's unbounded tests do),
// --ms N sets the per-test deadline.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "common/overload.h"
#include "core/convert/convert.h"
#include "core/data/dkey_value.h"
#include "core/ir.h"
#include "owl/load.h"
#include "tableau/completion/tableau.h"

namespace {

using namespace kelmon;
using namespace kelmon::completion;
using Clock = std::chrono::steady_clock;

struct Prepared {
  InternalOntology ir;
  ConceptPool pool;
  AbsorbedTbox tbox;
  RoleHierarchy hierarchy;
  bool inverse_roles = false;
  std::vector<std::pair<ConceptId, ConceptId>> complements;  // at-most filler and its negation
};

void prepare(Prepared& p) {
  p.pool = p.ir.concepts.clone();
  p.inverse_roles = logic_profile(p.ir) == 0;
  p.hierarchy = build_directed_role_hierarchy(p.ir);
  p.tbox = absorb_tbox(nnf_axioms(p.ir.axioms, p.pool), p.pool);
  p.pool.intern(Bottom{});
  const std::size_t count = p.pool.size();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (const Max* m = std::get_if<Max>(&p.pool.get(ConceptId{i}))) {
      const ConceptId filler = m->filler;
      p.complements.emplace_back(filler, p.pool.nnf_not(filler));
    }
  }
}

// The TBox part of the kernel's seeding: roles, complements and data keys.
void seed_roles(const Prepared& p, TableauContext& ctx) {
  ctx.inverse_roles = p.inverse_roles;
  for (std::uint32_t c = 0; c < p.ir.vocabulary.classes.size(); ++c) {
    if (auto v = decode_dkey_value(p.ir.vocabulary.classes.name(ClassId{c}))) ctx.data_ranges.emplace(ClassId{c}, *v);
  }
  for (const Axiom& a : p.ir.axioms) {
    std::visit(Overload{
                   [&](const InverseObjectProperties& x) { ctx.add_inverse_pair(x.first.id, x.second.id); },
                   [&](const SymmetricRole& x) { ctx.add_inverse_pair(x.role.id, x.role.id); },
                   [&](const TransitiveRole& x) { ctx.role_chains.push_back({x.role, x.role, x.role}); },
                   [&](const SubObjectPropertyOf& x) {
                     if (const Chain* c = std::get_if<Chain>(&x.sub); c && c->roles.size() == 2)
                       ctx.role_chains.push_back({c->roles[0], c->roles[1], x.sup});
                   },
                   [&](const AsymmetricRole& x) { ctx.asymmetric_roles.push_back(x.role.id); },
                   [](const auto&) {},
               },
               a);
  }
  for (const auto& [filler, negation] : p.complements) {
    ctx.set_complement(filler, negation);
    ctx.set_complement(negation, filler);
  }
}

struct Totals {
  std::size_t tests = 0, sat = 0, unsat = 0, undecided = 0, nodes = 0, branches = 0;
  double ms = 0;
};

struct Options {
  bool anywhere = false;
  long ms = 250;
};

Totals run(const std::string& file, const Options& options) {
  auto loaded = owl::load_ontology(std::string(KELMON_CORPUS_DIR) + "/ontologies/" + file);
  if (!loaded) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), loaded.error().c_str());
    std::exit(1);
  }
  Prepared p;
  p.ir = convert_ontology(loaded->axioms);
  prepare(p);
  Totals t;
  const auto start = Clock::now();
  for (std::uint32_t c = 0; c < p.ir.vocabulary.classes.size(); ++c) {
    if (p.ir.vocabulary.classes.name(ClassId{c}).starts_with("urn:kelmon-")) continue;
    TableauContext ctx(p.pool, &p.tbox, &p.hierarchy);
    seed_roles(p, ctx);
    ctx.set_anywhere_blocking(options.anywhere);
    ctx.deadline = Clock::now() + std::chrono::milliseconds(options.ms);
    const NodeId x = ctx.add_trailed_node(std::nullopt, std::nullopt);
    ctx.add_label(x, p.pool.intern(Atomic{ClassId{c}}), DepSet{});
    const auto r = search(ctx, 256);
    ++t.tests;
    t.nodes += ctx.graph.size();
    t.branches += ctx.branch_counter;
    if (r.tag == SearchOutcome::Tag::Sat) ++t.sat;
    else if (r.tag == SearchOutcome::Tag::Clash) ++t.unsat;
    else ++t.undecided;
  }
  t.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return t;
}

}  // namespace

// Arguments: options, then corpus file names to run instead of the five.
int main(int argc, char** argv) {
  std::vector<std::string> files = {"pizza.ofn", "wine.ofn", "koala.omn", "food.owx", "galen.owx"};
  Options options;
  int i = 1;
  for (; i < argc && std::string(argv[i]).starts_with("--"); ++i) {
    const std::string arg = argv[i];
    if (arg == "--anywhere") options.anywhere = true;
    else if (arg == "--ms" && i + 1 < argc) options.ms = std::stol(argv[++i]);
    else {
      std::fprintf(stderr, "unknown option %s\n", arg.c_str());
      return 2;
    }
  }
  if (i < argc) files.assign(argv + i, argv + argc);
  std::printf("blocking %s, %ld ms per test\n", options.anywhere ? "anywhere" : "ancestor", options.ms);
  for (const std::string& name : files) {
    const char* file = name.c_str();
    const Totals t = run(file, options);
    const double per = t.tests ? 1.0 / static_cast<double>(t.tests) : 0.0;
    std::printf("%-10s %5zu tests %9.1f tests/s %7.1f nodes/test %8.1f branches/test  sat %zu unsat %zu undecided %zu  "
                "peak %ld KiB\n",
                file, t.tests, t.ms > 0 ? t.tests * 1000.0 / t.ms : 0.0, static_cast<double>(t.nodes) * per,
                static_cast<double>(t.branches) * per, t.sat, t.unsat, t.undecided, bench::peak_rss_kb());
    std::fflush(stdout);
  }
}
