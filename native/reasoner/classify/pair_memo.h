// What the pair phases learn once and would otherwise pay for again: the
// definite verdict of every pair verify_pair decided (the search, the sweep
// and the same-tier pass meet many pairs twice), and the root labels of the
// trusted models the runs found. Such a model is a model of the ontology
// whose root is in every class of its label and in no other, so a root
// holding A but not D shows A ⋢ D, whichever class the run was about.
#pragma once

#include <cstdint>
#include <optional>
#include <shared_mutex>
#include <vector>

#include <tsl/robin_map.h>

#include "common/ids.h"

namespace kelmon::reasoner {

enum class PairVerdict : std::uint8_t { NotSubsumed = 0, Subsumed = 1, Undecided = 2 };

class PairMemo {
 public:
  // The verdict recorded for (sub, sup). A "not subsumed" that may rest on
  // trusting a model goes only to a caller that trusts models too.
  std::optional<PairVerdict> verdict(ClassId sub, ClassId sup, bool model_trust) const;
  // Only definite verdicts are kept.
  void record(ClassId sub, ClassId sup, PairVerdict verdict, bool model_trust);

  // The root label of a model of the ontology (never one of a clause set
  // that leaves part of the ontology out).
  void add_model(std::vector<std::uint32_t> root_label);
  // Whether a recorded model's root is in sub and not in sup.
  bool model_refutes(ClassId sub, ClassId sup) const;

 private:
  mutable std::shared_mutex mutex_;
  // (sub << 32) | sup -> verdict, plus 2 when it may rest on a trusted model.
  tsl::robin_map<std::uint64_t, std::uint8_t> verdicts_;
  std::vector<std::vector<std::uint32_t>> models_;  // each sorted
  tsl::robin_map<std::uint32_t, std::vector<std::uint32_t>> models_holding_;  // class -> model indexes
};

}  // namespace kelmon::reasoner
