#include "core/data/value_range.h"

#include <algorithm>
#include <iterator>

#include "common/overload.h"
#include "core/data/internal/bounds.h"

namespace kelmon {
namespace {

void intersect_int(IntInterval& acc, const IntInterval& other) {
  if (other.lower) acc.lower = acc.lower ? std::max(*acc.lower, *other.lower) : *other.lower;
  if (other.upper) acc.upper = acc.upper ? std::min(*acc.upper, *other.upper) : *other.upper;
}

void intersect_strings(std::optional<StringSet>& acc, const std::optional<StringSet>& other) {
  if (!other) return;
  if (!acc) {
    acc = other;
    return;
  }
  StringSet both;
  std::set_intersection(acc->begin(), acc->end(), other->begin(), other->end(), std::back_inserter(both));
  acc = std::move(both);
}

// Narrows `acc` by `other`; false when the kinds differ.
bool intersect_same_kind(ValueRange::Kind& acc, const ValueRange::Kind& other) {
  if (acc.index() != other.index()) return false;
  std::visit(Overload{
                 [&](ValueRange::Integer& a) { intersect_int(a.interval, std::get<ValueRange::Integer>(other).interval); },
                 [&](ValueRange::Float& a) { bounds::intersect_into(a.interval, std::get<ValueRange::Float>(other).interval); },
                 [&](ValueRange::Double& a) { bounds::intersect_into(a.interval, std::get<ValueRange::Double>(other).interval); },
                 [&](ValueRange::Decimal& a) { bounds::intersect_into(a.interval, std::get<ValueRange::Decimal>(other).interval); },
                 [&](ValueRange::Date& a) { bounds::intersect_into(a.interval, std::get<ValueRange::Date>(other).interval); },
                 [&](ValueRange::DateTime& a) { bounds::intersect_into(a.interval, std::get<ValueRange::DateTime>(other).interval); },
                 [&](ValueRange::Strings& a) { intersect_strings(a.set, std::get<ValueRange::Strings>(other).set); },
             },
             acc);
  return true;
}

bool range_is_empty(const ValueRange::Kind& kind) {
  return std::visit(Overload{
                        [](const ValueRange::Strings& s) { return s.set && s.set->empty(); },
                        [](const auto& r) { return is_empty(r.interval); },
                    },
                    kind);
}

}  // namespace

RangeOutcome intersect_value_ranges(std::vector<ValueRange> ranges) {
  if (ranges.empty()) return {RangeOutcome::Unhandled{}};
  ValueRange acc = std::move(ranges.front());
  for (std::size_t i = 1; i < ranges.size(); ++i)
    if (!intersect_same_kind(acc.kind, ranges[i].kind)) return {RangeOutcome::Unhandled{}};
  if (range_is_empty(acc.kind)) return {RangeOutcome::Empty{}};
  return {RangeOutcome::Range{std::move(acc)}};
}

}  // namespace kelmon
