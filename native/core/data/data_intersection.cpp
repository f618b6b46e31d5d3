#include "core/data/internal/owl_data.h"
#include "core/data/range_readers.h"

#include <algorithm>

namespace kelmon {
namespace {

// The readers in the order of the ValueRange kinds; the first that takes the operand wins.
std::optional<ValueRange> value_range_of(const owl::DataRange& range) {
  if (auto r = int_range_of(range)) return ValueRange{ValueRange::Integer{*r}};
  if (auto r = float_range_of(range)) return ValueRange{ValueRange::Float{*r}};
  if (owl_data::is_datatype(range, datatype_iri::xsd_double)) return ValueRange{ValueRange::Double{}};
  if (const auto* restriction = owl_data::restriction_of(range, datatype_iri::xsd_double))
    if (auto r = double_range_from_facets(restriction->restrictions)) return ValueRange{ValueRange::Double{*r}};
  if (auto r = decimal_range_of(range)) return ValueRange{ValueRange::Decimal{std::move(*r)}};
  if (auto r = date_range_of(range)) return ValueRange{ValueRange::Date{*r}};
  if (auto r = date_time_range_of(range)) return ValueRange{ValueRange::DateTime{*r}};
  if (auto r = string_set_of(range)) return ValueRange{std::move(*r)};
  return std::nullopt;
}

bool integer_or_decimal(const ValueRange& r) {
  return std::holds_alternative<ValueRange::Integer>(r.kind) || std::holds_alternative<ValueRange::Decimal>(r.kind);
}

}  // namespace

std::optional<ValueRange> next_value_range(std::span<const owl::DataRange> operands, std::size_t& position,
                                           bool& error) {
  if (error || position >= operands.size()) return std::nullopt;
  auto range = value_range_of(operands[position++]);
  if (!range) error = true;
  return range;
}

RangeOutcome data_range_value_range(const owl::DataRange& range) {
  const auto* intersection = owl_data::as<owl::DataIntersectionOf>(range);
  if (!intersection || intersection->operands.empty()) return {RangeOutcome::Unhandled{}};
  std::vector<ValueRange> ranges;
  ranges.reserve(intersection->operands.size());
  std::size_t position = 0;
  bool error = false;
  while (auto next = next_value_range(intersection->operands, position, error)) ranges.push_back(std::move(*next));
  if (error) return {RangeOutcome::Unhandled{}};
  const auto first_kind = ranges.front().kind.index();
  if (std::all_of(ranges.begin(), ranges.end(), [&](const ValueRange& r) { return r.kind.index() == first_kind; }))
    return intersect_value_ranges(std::move(ranges));
  // Integers lie inside the decimals, which this operation does not intersect
  // across; every other pair of kinds has disjoint value spaces.
  if (std::all_of(ranges.begin(), ranges.end(), integer_or_decimal)) return {RangeOutcome::Unhandled{}};
  return {RangeOutcome::Empty{}};
}

}  // namespace kelmon
