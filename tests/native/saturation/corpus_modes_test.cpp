// Every corpus ontology saturates to the same class rows and unsat bits with
// and without proofs: proof mode takes the full transitivity and link-copy
// steps, so it checks the shorter steps taken without proofs on real input.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "core/convert/convert.h"
#include "owl/load.h"
#include "saturation/proof_store.h"
#include "saturation/saturation.h"

namespace kelmon::sat {
namespace {

class CorpusModes : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusModes, ProofAndPlainSaturationAgree) {
  const auto path = std::filesystem::path(KELMON_CORPUS_DIR) / "ontologies" / GetParam();
  auto loaded = owl::load_ontology(path.string());
  ASSERT_TRUE(loaded.has_value()) << loaded.error();
  const InternalOntology ir = convert_ontology(loaded->axioms);
  const ElResult plain = el_saturate(ir, false).first;
  const ElResult proof = el_saturate(ir, true).first;
  ASSERT_EQ(plain.inconsistent, proof.inconsistent);
  ASSERT_EQ(plain.top_is_bottom, proof.top_is_bottom);
  const auto classes = static_cast<std::uint32_t>(ir.vocabulary.classes.size());
  std::size_t compared = 0;
  for (std::uint32_t x = 0; x < classes; ++x) {
    ASSERT_EQ(plain.unsat.test(x), proof.unsat.test(x)) << ir.vocabulary.classes.name(ClassId{x});
    if (plain.unsat.test(x)) continue;
    std::vector<std::uint32_t> a, b;
    for (auto y : plain.subsumers.row_sorted(x))
      if (y < classes) a.push_back(y);
    for (auto y : proof.subsumers.row_sorted(x))
      if (y < classes) b.push_back(y);
    ASSERT_EQ(a, b) << ir.vocabulary.classes.name(ClassId{x});
    compared += a.size();
  }
  EXPECT_GT(compared, classes) << "no subsumption beyond the reflexive ones was compared";
}

INSTANTIATE_TEST_SUITE_P(Ontologies, CorpusModes,
                         ::testing::Values("bfo-core.ofn", "family.omn", "food.owx", "galen.owx", "go-basic.ofn",
                                           "koala.omn", "lubm-univ-bench.owx", "pizza.ofn", "primer.owx", "wine.ofn",
                                           "DUL.rdf"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace kelmon::sat
