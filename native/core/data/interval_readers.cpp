#include "core/data/internal/bounds.h"
#include "core/data/internal/owl_data.h"
#include "core/data/range_readers.h"
#include "core/data/xsd_float.h"
#include "core/data/xsd_integer.h"

#include <limits>

namespace kelmon {
namespace {

using owl::Facet;

// Tightens an interval facet by facet from `start`; any facet other than the
// four bounds, or a value that does not parse, gives none.
template <class Interval, class Parse>
std::optional<Interval> tighten_by_facets(Interval start, std::span<const owl::FacetRestriction> facets, Parse parse) {
  Interval out = std::move(start);
  for (const auto& f : facets) {
    auto value = parse(f.value.lexical);
    if (!value) return std::nullopt;
    switch (f.facet) {
      case Facet::MinInclusive: bounds::tighten_lower(out.lower, out.lower_inclusive, std::move(*value), true); break;
      case Facet::MinExclusive: bounds::tighten_lower(out.lower, out.lower_inclusive, std::move(*value), false); break;
      case Facet::MaxInclusive: bounds::tighten_upper(out.upper, out.upper_inclusive, std::move(*value), true); break;
      case Facet::MaxExclusive: bounds::tighten_upper(out.upper, out.upper_inclusive, std::move(*value), false); break;
      default: return std::nullopt;
    }
  }
  return out;
}

// The plain datatype is the unbounded interval; a restriction of it is tightened by its facets.
template <class Interval, class Parse>
std::optional<Interval> flagged_range_of(const owl::DataRange& range, std::string_view datatype, Parse parse) {
  if (owl_data::is_datatype(range, datatype)) return Interval{};
  if (const auto* restriction = owl_data::restriction_of(range, datatype))
    return tighten_by_facets(Interval{}, restriction->restrictions, parse);
  return std::nullopt;
}

std::optional<std::uint64_t> float_facet_bits(std::string_view text) {
  const auto value = parse_xsd_float(text);
  if (!value) return std::nullopt;
  return float_bits(static_cast<double>(*value));
}

std::optional<std::uint64_t> double_facet_bits(std::string_view text) {
  const auto value = parse_xsd_double(text);
  if (!value) return std::nullopt;
  return float_bits(*value);
}

void raise_lower(IntInterval& interval, std::int64_t candidate) {
  if (!interval.lower || candidate > *interval.lower) interval.lower = candidate;
}

void lower_upper(IntInterval& interval, std::int64_t candidate) {
  if (!interval.upper || candidate < *interval.upper) interval.upper = candidate;
}

}  // namespace

std::optional<IntInterval> int_range_of(const owl::DataRange& range) {
  if (const auto* datatype = owl_data::as<owl::Datatype>(range))
    return owl_data::integer_datatype_range(datatype->iri.str());
  const auto* restriction = owl_data::as<owl::DatatypeRestriction>(range);
  if (!restriction) return std::nullopt;
  auto out = owl_data::integer_datatype_range(restriction->datatype.iri.str());
  if (!out) return std::nullopt;
  using Limits = std::numeric_limits<std::int64_t>;
  for (const auto& f : restriction->restrictions) {
    const auto value = parse_xsd_integer(f.value.lexical);
    if (!value) return std::nullopt;
    switch (f.facet) {
      case Facet::MinInclusive: raise_lower(*out, *value); break;
      case Facet::MinExclusive:
        if (*value == Limits::max()) return std::nullopt;
        raise_lower(*out, *value + 1);
        break;
      case Facet::MaxInclusive: lower_upper(*out, *value); break;
      case Facet::MaxExclusive:
        if (*value == Limits::min()) return std::nullopt;
        lower_upper(*out, *value - 1);
        break;
      default: return std::nullopt;
    }
  }
  return out;
}

std::optional<FloatInterval> float_range_of(const owl::DataRange& range) {
  return flagged_range_of<FloatInterval>(range, datatype_iri::xsd_float, float_facet_bits);
}

std::optional<FloatInterval> double_range_from_facets(std::span<const owl::FacetRestriction> facets) {
  return tighten_by_facets(FloatInterval{}, facets, double_facet_bits);
}

std::optional<DecimalInterval> decimal_range_of(const owl::DataRange& range) {
  return flagged_range_of<DecimalInterval>(range, datatype_iri::xsd_decimal, parse_xsd_decimal);
}

std::optional<DateInterval> date_range_of(const owl::DataRange& range) {
  return flagged_range_of<DateInterval>(range, datatype_iri::xsd_date, parse_xsd_date);
}

std::optional<DateTimeInterval> date_time_range_of(const owl::DataRange& range) {
  return flagged_range_of<DateTimeInterval>(range, datatype_iri::xsd_date_time, parse_xsd_date_time);
}

}  // namespace kelmon
