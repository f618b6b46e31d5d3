// Saturates generated EL TBoxes and reports time, derived subsumptions and
// peak memory, so that the growth of cost with size can be read off.
//
//   bench_saturation_scaling [classes...]   (default: 10000 100000 500000)
//
// Each size runs in a child process so that its peak resident size is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/ir.h"
#include "saturation/internal/engine.h"
#include "saturation/internal/pipeline.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

using kelmon::bench::peak_rss_kb;

namespace {

using kelmon::Atomic;
using kelmon::ConceptId;
using kelmon::InternalOntology;
using kelmon::Role;

// A random EL TBox: a class tree of bounded fan-in, existentials, definitions
// (A ≡ B ⊓ ∃r.C), GCIs with existentials on the left, a role hierarchy, one
// role chain and one transitive role. Fixed seed, so runs are comparable.
InternalOntology generate(std::uint32_t classes) {
  InternalOntology o;
  std::mt19937_64 rng(42);
  auto pick = [&](std::uint32_t below) { return static_cast<std::uint32_t>(rng() % below); };
  std::vector<ConceptId> cls(classes);
  for (std::uint32_t i = 0; i < classes; ++i)
    cls[i] = o.concepts.intern(Atomic{o.vocabulary.classes.intern("urn:c" + std::to_string(i))});
  const std::uint32_t role_count = 24;
  std::vector<Role> roles;
  for (std::uint32_t r = 0; r < role_count; ++r) roles.push_back(Role::named(o.vocabulary.roles.intern("urn:r" + std::to_string(r))));
  // Roles 0 to 2 carry a chain r1 ∘ r2 ⊑ r0 and role 3 is transitive; they
  // appear in a fixed number of existentials, so that their closure (which
  // may be quadratic in the links it composes) does not dominate the size.
  // Roles 4 and up form a hierarchy of their own.
  o.axioms.push_back(kelmon::SubObjectPropertyOf{kelmon::Chain{{roles[1], roles[2]}}, roles[0]});
  o.axioms.push_back(kelmon::TransitiveRole{roles[3]});
  for (std::uint32_t r = 5; r < role_count; ++r)
    if (r % 3 != 0) o.axioms.push_back(kelmon::SubObjectPropertyOf{kelmon::Single{roles[r]}, roles[4 + (r - 4) / 3]});
  std::uint32_t special_left = 200;  // existentials over the chain and transitive roles
  auto pick_role = [&]() {
    if (special_left > 0 && pick(50) == 0) {
      --special_left;
      return pick(4);
    }
    return 4 + pick(role_count - 4);
  };
  auto some = [&](std::uint32_t r, ConceptId f) { return o.concepts.intern(kelmon::Some{f, roles[r]}); };
  for (std::uint32_t i = 1; i < classes; ++i) {
    // A random recursive tree keeps the hierarchy about log-deep.
    const std::uint32_t parent = pick(i);
    auto exists = [&]() { return some(pick_role(), cls[pick(classes)]); };
    // Existentials on the left name fillers among the later (mostly leaf)
    // classes: a filler high in the tree would put a large share of all
    // classes below the defined class, and the output would grow with the
    // square of the size instead of the input.
    auto exists_left = [&]() { return some(pick_role(), cls[classes / 2 + pick(classes - classes / 2)]); };
    switch (pick(20)) {
      case 0:
      case 1:
      case 2:
      case 3:
        o.axioms.push_back(kelmon::SubClassOf{cls[i], exists()});
        o.axioms.push_back(kelmon::SubClassOf{cls[i], cls[parent]});
        break;
      case 4:
      case 5:
        o.axioms.push_back(kelmon::EquivalentClasses{{cls[i], o.concepts.mk_and({cls[parent], exists_left()})}});
        break;
      case 6:
      case 7:
        o.axioms.push_back(kelmon::SubClassOf{exists_left(), cls[i]});
        o.axioms.push_back(kelmon::SubClassOf{cls[i], cls[parent]});
        break;
      case 8:
        o.axioms.push_back(kelmon::SubClassOf{cls[i], cls[parent]});
        o.axioms.push_back(kelmon::SubClassOf{cls[i], cls[pick(i)]});
        break;
      default:
        o.axioms.push_back(kelmon::SubClassOf{cls[i], cls[parent]});
        break;
    }
  }
  kelmon::sort_axioms(o.axioms);
  return o;
}

int run_one(std::uint32_t classes) {
  InternalOntology o = generate(classes);
  const long before = peak_rss_kb();
  auto start = std::chrono::steady_clock::now();
  // The pipeline of el_saturate, with the queue items counted: work per
  // derived subsumption that stays flat as the size grows is what linear
  // scaling means here, whatever the caches do to the time per item.
  kelmon::sat::ElEngine engine = kelmon::sat::make_engine(o, false);
  std::uint64_t pair_items = 0, link_items = 0;
  while (true) {
    if (!engine.pair_queue.empty()) {
      ++pair_items;
    } else if (!engine.link_queue.empty()) {
      ++link_items;
    }
    if (!engine.step()) break;
  }
  engine.finish_flags();
  kelmon::sat::ElResult r = std::move(engine.result);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::uint64_t pairs = 0;
  for (std::uint32_t c = 0; c < classes; ++c) pairs += r.subsumers.row_sorted(c).size();
  std::printf("%9u classes  %8zu axioms  %8.3f s  %11llu class subsumptions  %7.1f ns/subsumption  %5.2f queued pairs and %5.2f links per subsumption  %7.1f MiB peak (%7.1f MiB before saturation)  %zu unsat  %s\n",
              classes, o.axioms.size(), seconds, static_cast<unsigned long long>(pairs), seconds * 1e9 / static_cast<double>(pairs),
              static_cast<double>(pair_items) / static_cast<double>(pairs), static_cast<double>(link_items) / static_cast<double>(pairs),
              static_cast<double>(peak_rss_kb()) / 1024.0, static_cast<double>(before) / 1024.0, r.unsat.count(),
              r.subsumers.mode() == kelmon::sat::SubsumerTable::Mode::Dense ? "dense" : "sparse");
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::uint32_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10)));
  if (sizes.empty()) sizes = {10000, 100000, 500000};
  for (std::uint32_t n : sizes) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) _exit(run_one(n));
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "size %u failed\n", n);
      return 1;
    }
  }
  return 0;
}
