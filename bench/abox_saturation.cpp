// ABox saturation: time, derived facts and peak memory on the ABoxes of three
// corpus ontologies (the LUBM university among them) and on generated ABoxes of growing size, so that the cost per derived
// fact can be read off as the size grows.
//
//   bench_abox_saturation [assertions...]   (default: 100000 300000 1000000)
//
// Each case runs in a child process so that its peak resident size is its own.
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/convert/convert.h"
#include "core/ir.h"
#include "owl/load.h"
#include "reasoner/kernel/abox_saturation.h"

using kelmon::bench::peak_rss_kb;

namespace {

using namespace kelmon;

// A university-like ABox: people in a class tree under Person, organisations
// in a tree under Organisation (disjoint from Person), memberOf with domain
// and range and a sub-property headOf, its inverse hasMember, a symmetric
// knows, a functional advisor (one asserted successor each, so no merges) and
// a transitive subOrganisationOf over a shallow organisation tree. Fixed seed.
InternalOntology generate(std::uint64_t assertions) {
  InternalOntology o;
  std::mt19937_64 rng(7);
  auto pick = [&](std::uint64_t below) { return static_cast<std::uint32_t>(rng() % below); };
  auto cls = [&](const std::string& n) { return o.concepts.intern(Atomic{o.vocabulary.classes.intern("urn:c:" + n)}); };
  auto role = [&](const std::string& n) { return Role::named(o.vocabulary.roles.intern("urn:r:" + n)); };
  const ConceptId person = cls("Person"), org = cls("Organisation");
  o.axioms.push_back(DisjointClasses{{person, org}});
  std::vector<ConceptId> person_classes{person}, org_classes{org};
  for (int i = 1; i < 63; ++i) {
    person_classes.push_back(cls("P" + std::to_string(i)));
    o.axioms.push_back(SubClassOf{person_classes[i], person_classes[(i - 1) / 2]});
    org_classes.push_back(cls("O" + std::to_string(i)));
    o.axioms.push_back(SubClassOf{org_classes[i], org_classes[(i - 1) / 2]});
  }
  const Role member = role("memberOf"), head = role("headOf"), has_member = role("hasMember"), knows = role("knows"),
             advisor = role("advisor"), sub_org = role("subOrganisationOf");
  o.axioms.push_back(ObjectPropertyDomain{member, person});
  o.axioms.push_back(ObjectPropertyRange{member, org});
  o.axioms.push_back(SubObjectPropertyOf{Single{head}, member});
  o.axioms.push_back(InverseObjectProperties{member, has_member});
  o.axioms.push_back(SymmetricRole{knows});
  o.axioms.push_back(FunctionalRole{advisor});
  o.axioms.push_back(ObjectPropertyRange{advisor, person});
  o.axioms.push_back(TransitiveRole{sub_org});
  // Per person about 3.3 assertions, per organisation 2: 50 people an organisation.
  const std::uint64_t people = assertions * 50 / 167;
  const std::uint64_t orgs = std::max<std::uint64_t>(1, people / 50);
  std::vector<IndividualId> p(people), g(orgs);
  for (std::uint64_t i = 0; i < people; ++i) p[i] = o.vocabulary.individuals.intern("urn:p" + std::to_string(i));
  for (std::uint64_t i = 0; i < orgs; ++i) g[i] = o.vocabulary.individuals.intern("urn:g" + std::to_string(i));
  for (std::uint64_t i = 0; i < orgs; ++i) {
    o.axioms.push_back(ClassAssertion{org_classes[31 + pick(32)], g[i]});
    if (i > 0) o.axioms.push_back(ObjectPropertyAssertion{sub_org, g[i], g[(i - 1) / 8]});
  }
  for (std::uint64_t i = 0; i < people; ++i) {
    o.axioms.push_back(ClassAssertion{person_classes[31 + pick(32)], p[i]});
    o.axioms.push_back(ObjectPropertyAssertion{i % 40 == 0 ? head : member, p[i], g[pick(orgs)]});
    o.axioms.push_back(ObjectPropertyAssertion{knows, p[i], p[pick(people)]});
    if (i % 3 == 0) o.axioms.push_back(ObjectPropertyAssertion{advisor, p[i], p[pick(people)]});
  }
  sort_axioms(o.axioms);
  return o;
}

std::uint64_t count_assertions(const InternalOntology& o) {
  std::uint64_t n = 0;
  for (const Axiom& a : o.axioms) {
    const auto k = axiom_kind(a);
    n += k == AxiomKind::ClassAssertion || k == AxiomKind::ObjectPropertyAssertion;
  }
  return n;
}

// Thread CPU time, so that other work on the machine counts less.
double cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void report(const char* label, const InternalOntology& o) {
  const long before = peak_rss_kb();
  const double start = cpu_seconds();
  const reasoner::AboxSaturation s = reasoner::saturate_abox(o, std::nullopt);
  const double seconds = cpu_seconds() - start;
  const std::uint64_t facts = s.type_additions + s.edge_additions;
  std::printf("%-22s %8llu assertions %8zu individuals  %8.3f s CPU  %9llu derived facts (%llu types, %llu edges)  %6.1f ns/fact  "
              "%7.1f MiB peak (%7.1f MiB before)  %s\n",
              label, static_cast<unsigned long long>(count_assertions(o)), o.vocabulary.individuals.size(), seconds,
              static_cast<unsigned long long>(facts), static_cast<unsigned long long>(s.type_additions),
              static_cast<unsigned long long>(s.edge_additions), seconds * 1e9 / static_cast<double>(facts ? facts : 1),
              static_cast<double>(peak_rss_kb()) / 1024.0, static_cast<double>(before) / 1024.0,
              s.inconsistent ? "inconsistent" : "consistent");
  std::fflush(stdout);
}

int run_corpus(const char* name) {
  auto loaded = owl::load_ontology(std::string(KELMON_CORPUS_DIR) + "/ontologies/" + name);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    return 1;
  }
  report(name, convert_ontology(loaded->axioms));
  return 0;
}

int run_generated(std::uint64_t assertions) {
  report(("generated " + std::to_string(assertions)).c_str(), generate(assertions));
  return 0;
}

template <class F>
bool in_child(F&& f) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) _exit(f());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::uint64_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {100000, 300000, 1000000};
  for (const char* name : {"lubm-university0.rdf", "wine.ofn", "family.omn"})
    if (!in_child([name] { return run_corpus(name); })) return 1;
  for (std::uint64_t n : sizes)
    if (!in_child([n] { return run_generated(n); })) {
      std::fprintf(stderr, "size %llu failed\n", static_cast<unsigned long long>(n));
      return 1;
    }
  return 0;
}
