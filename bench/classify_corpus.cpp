// Saturation-only classification of one ontology, phase by phase:
//   bench_classify_corpus FILE
// prints one line: "file<TAB>classes<TAB>load_ms<TAB>convert_ms<TAB>saturate_ms<TAB>taxonomy_ms<TAB>total_ms<TAB>peak_mb".
// bench/classify_corpus.py runs it once per corpus ontology (a process each, for peak memory).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "bench_util.h"
#include "common/deadline.h"
#include "common/switches.h"
#include "core/convert/convert.h"
#include "owl/load.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/fragment.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

using namespace kelmon;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  auto ms = [](Instant a, Instant b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  Instant t0 = Clock::now();
  auto loaded = owl::load_ontology(argv[1]);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    return 1;
  }
  Instant t1 = Clock::now();
  InternalOntology ir = convert_ontology(loaded->axioms);
  Instant t2 = Clock::now();
  sat::ElResult saturation = sat::el_saturate(ir, false).first;
  Instant t3 = Clock::now();
  reasoner::ReportableClasses reportable = reasoner::reportable_classes(ir.vocabulary.classes);
  reasoner::RowByIri rows = reasoner::rows_by_iri(reportable);
  reasoner::Classification c =
      reasoner::taxonomy_from_saturation(std::move(reportable), saturation, std::move(rows), reasoner::fragment_kind(ir));
  Instant t4 = Clock::now();
  std::printf("%s\t%zu\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%ld\n", argv[1], c.classes().size(), ms(t0, t1), ms(t1, t2),
              ms(t2, t3), ms(t3, t4), ms(t0, t4), bench::peak_rss_kb() / 1024);
  return 0;
}
