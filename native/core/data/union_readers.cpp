#include "core/data/internal/owl_data.h"
#include "core/data/range_readers.h"

namespace kelmon {
namespace {

// Pushes the operands so that they pop in document order.
void push_operands(std::vector<const owl::DataRange*>& stack, const std::vector<owl::DataRange>& operands) {
  for (auto it = operands.rbegin(); it != operands.rend(); ++it) stack.push_back(&*it);
}

// Appends one integer range or enumeration; false when it is neither.
bool append_int_member(const owl::DataRange& range, std::vector<IntInterval>& out) {
  if (auto interval = int_range_of(range)) {
    out.push_back(*interval);
    return true;
  }
  if (auto values = int_set_of(range)) {
    for (std::int64_t v : *values) out.push_back({v, v});
    return true;
  }
  return false;
}

}  // namespace

// Unions nest as deeply as the document does, so the walk keeps its own stack.
bool collect_int_intervals(const owl::DataRange& range, std::vector<IntInterval>& out) {
  std::vector<const owl::DataRange*> stack{&range};
  while (!stack.empty()) {
    const owl::DataRange& next = *stack.back();
    stack.pop_back();
    if (const auto* u = owl_data::as<owl::DataUnionOf>(next)) {
      if (u->operands.empty()) return false;
      push_operands(stack, u->operands);
    } else if (!append_int_member(next, out)) {
      return false;
    }
  }
  return true;
}

std::optional<owl::DataRange> collect_enumeration_literals(const owl::DataRange& range) {
  const auto* top = owl_data::as<owl::DataUnionOf>(range);
  if (!top || top->operands.empty()) return std::nullopt;
  std::vector<owl::Literal> literals;
  std::vector<const owl::DataRange*> stack;
  push_operands(stack, top->operands);
  while (!stack.empty()) {
    const owl::DataRange& next = *stack.back();
    stack.pop_back();
    if (const auto* one_of = owl_data::as<owl::DataOneOf>(next)) {
      literals.insert(literals.end(), one_of->literals.begin(), one_of->literals.end());
    } else if (const auto* u = owl_data::as<owl::DataUnionOf>(next)) {
      push_operands(stack, u->operands);
    } else {
      return std::nullopt;
    }
  }
  if (literals.empty()) return std::nullopt;
  return owl::DataRange(owl::DataOneOf{std::move(literals)});
}

}  // namespace kelmon
