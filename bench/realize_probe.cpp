// realize on one ontology file, timed (realize_probe FILE), or one instance
// question three ways (realize_probe FILE CLASS_IRI INDIVIDUAL_IRI [TIMEOUT_MS]):
// the wedge run that keeps the individual out of the class, the tableau test
// alone, each timed, and what test_instance answers.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/convert/convert.h"
#include "owl/load.h"
#include "reasoner/individuals/realization.h"
#include "reasoner/individuals/wedge_runs.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "reasoner/kernel/tableau_test.h"

namespace {

using namespace kelmon;
using namespace kelmon::reasoner;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

int realize_file(const InternalOntology& ir) {
  const auto start = Clock::now();
  auto r = realize_internal(ir);
  if (!r) {
    std::printf("error: %s\n", reasoner_error_message(r.error()).c_str());
    return 1;
  }
  std::size_t types = 0;
  for (const auto& i : r->individuals) types += r->types_of(i).size();
  std::printf("realize: %zu individuals, %zu types, timed out %d, %.0f ms\n", r->individuals.size(), types,
              int(r->any_timed_out), ms_since(start));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: realize_probe FILE [CLASS_IRI INDIVIDUAL_IRI [TIMEOUT_MS]]\n");
    return 2;
  }
  auto loaded = owl::load_ontology(argv[1]);
  if (!loaded) {
    std::fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  const InternalOntology ir = convert_ontology(loaded->axioms);
  if (argc == 2) return realize_file(ir);
  auto cls = ir.vocabulary.classes.get(argv[2]);
  auto individual = ir.vocabulary.individuals.get(argv[3]);
  if (!cls || !individual) {
    std::fprintf(stderr, "class or individual not in the ontology\n");
    return 1;
  }
  const std::uint64_t timeout_ms = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 750;
  auto deadline = [&]() -> Deadline {
    if (timeout_ms == 0) return std::nullopt;
    return deadline_after(Clock::now(), std::chrono::milliseconds(timeout_ms));
  };
  auto prepared = prepare_without_deadline(ir, std::nullopt);
  if (!prepared) return 1;
  if ((*prepared)->wedge) {
    const auto t = Clock::now();
    const std::optional<bool> w =
        wedge_instance_test(*(*prepared)->wedge, individual->id.v, cls->id.v, deadline().value_or(Clock::now() + std::chrono::seconds(10)));
    std::printf("wedge: %s after %.1f ms\n", !w ? "stalled" : *w ? "instance" : "not an instance", ms_since(t));
  }
  const auto t = Clock::now();
  const TestAnswer a = run_tableau_test_realize(**prepared, (*prepared)->abox, cls->id, individual->id, deadline());
  if (!a) std::printf("tableau: error %s after %.1f ms\n", reasoner_error_message(a.error()).c_str(), ms_since(t));
  else if (!*a) std::printf("tableau: undecided after %.1f ms\n", ms_since(t));
  else std::printf("tableau: %s after %.1f ms\n", **a ? "not an instance" : "instance", ms_since(t));
  const sat::ElResult saturation = sat::el_saturate_from_env(ir);
  auto answer = test_instance(ir, saturation, **prepared, cls->id, individual->id, deadline(), nullptr);
  if (answer) std::printf("test_instance: instance %d, timed out %d\n", int(answer->is_instance), int(answer->timed_out));
  return 0;
}
