#include "reasoner/explanation/axiom_order.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "owl/structural.h"

namespace kelmon::explain {

int compare_axiom_order(const owl::Axiom& a, const owl::Axiom& b) {
  return owl::compare_axioms(a, b, owl::OperandOrder::SuperFirst);
}

std::vector<owl::Axiom> sort_axioms(std::vector<owl::Axiom> axioms) {
  // One canonical key per axiom, so that each comparison is a byte compare.
  std::vector<std::string> keys(axioms.size());
  for (std::size_t i = 0; i < axioms.size(); ++i)
    owl::append_structural_key(axioms[i], keys[i], owl::OperandOrder::SuperFirst);
  std::vector<std::size_t> order(axioms.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
  std::vector<owl::Axiom> sorted;
  sorted.reserve(axioms.size());
  for (std::size_t i : order) sorted.push_back(std::move(axioms[i]));
  return sorted;
}

}  // namespace kelmon::explain
