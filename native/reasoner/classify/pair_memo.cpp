#include "reasoner/classify/pair_memo.h"

#include <algorithm>
#include <mutex>

namespace kelmon::reasoner {

namespace {

std::uint64_t key(ClassId sub, ClassId sup) { return (std::uint64_t{sub.v} << 32) | sup.v; }

constexpr std::uint8_t kFromModel = 2;

}  // namespace

std::optional<PairVerdict> PairMemo::verdict(ClassId sub, ClassId sup, bool model_trust) const {
  std::shared_lock lock(mutex_);
  auto it = verdicts_.find(key(sub, sup));
  if (it == verdicts_.end()) return std::nullopt;
  const auto v = static_cast<PairVerdict>(it->second & 1);
  if (v == PairVerdict::NotSubsumed && (it->second & kFromModel) != 0 && !model_trust) return std::nullopt;
  return v;
}

void PairMemo::record(ClassId sub, ClassId sup, PairVerdict verdict, bool model_trust) {
  if (verdict == PairVerdict::Undecided) return;
  std::uint8_t value = static_cast<std::uint8_t>(verdict);
  if (verdict == PairVerdict::NotSubsumed && model_trust) value |= kFromModel;
  std::unique_lock lock(mutex_);
  auto [it, inserted] = verdicts_.try_emplace(key(sub, sup), value);
  // A proof that needs no trust in a model is the better one to keep.
  if (!inserted && (value & kFromModel) == 0) it.value() = value;
}

void PairMemo::add_model(std::vector<std::uint32_t> root_label) {
  if (root_label.empty()) return;
  std::sort(root_label.begin(), root_label.end());
  root_label.erase(std::unique(root_label.begin(), root_label.end()), root_label.end());
  std::unique_lock lock(mutex_);
  const auto index = static_cast<std::uint32_t>(models_.size());
  for (std::uint32_t c : root_label) models_holding_[c].push_back(index);
  models_.push_back(std::move(root_label));
}

bool PairMemo::model_refutes(ClassId sub, ClassId sup) const {
  std::shared_lock lock(mutex_);
  auto it = models_holding_.find(sub.v);
  if (it == models_holding_.end()) return false;
  return std::any_of(it->second.begin(), it->second.end(), [&](std::uint32_t m) {
    return !std::binary_search(models_[m].begin(), models_[m].end(), sup.v);
  });
}

}  // namespace kelmon::reasoner
