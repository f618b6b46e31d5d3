#include "core/data/integer_intervals.h"
#include "core/data/internal/owl_data.h"
#include "core/data/range_readers.h"
#include "core/data/xsd_float.h"
#include "core/data/xsd_integer.h"

namespace kelmon {
namespace {

// The literals of a non-empty DataOneOf.
const std::vector<owl::Literal>* enumeration_literals(const owl::DataRange& range) {
  const auto* one_of = owl_data::as<owl::DataOneOf>(range);
  return one_of && !one_of->literals.empty() ? &one_of->literals : nullptr;
}

// Every literal typed exactly with `datatype` and read by `parse`, as a value set.
template <class T, class Parse>
std::optional<std::vector<T>> typed_set_of(const owl::DataRange& range, std::string_view datatype, Parse parse) {
  const auto* literals = enumeration_literals(range);
  if (!literals) return std::nullopt;
  std::vector<T> values;
  values.reserve(literals->size());
  for (const auto& literal : *literals) {
    if (literal.form != owl::LiteralForm::Typed || literal.datatype.iri.str() != datatype) return std::nullopt;
    auto value = parse(literal.lexical);
    if (!value) return std::nullopt;
    values.push_back(std::move(*value));
  }
  make_value_set(values);
  return values;
}

// Sets hold one zero: -0 is stored as +0.
std::optional<double> float_item(std::string_view text) {
  const auto value = parse_xsd_float(text);
  if (!value) return std::nullopt;
  return *value == 0.0f ? 0.0 : static_cast<double>(*value);
}

std::optional<double> double_item(std::string_view text) {
  const auto value = parse_xsd_double(text);
  if (!value) return std::nullopt;
  return *value == 0.0 ? 0.0 : *value;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<ValueRange::Strings> string_set_of(const owl::DataRange& range) {
  if (owl_data::is_datatype(range, datatype_iri::xsd_string)) return ValueRange::Strings{std::nullopt};
  const auto* literals = enumeration_literals(range);
  if (!literals) return std::nullopt;
  StringSet strings;
  strings.reserve(literals->size());
  for (const auto& literal : *literals) {
    const bool plain = literal.form == owl::LiteralForm::Plain;
    const bool typed_string =
        literal.form == owl::LiteralForm::Typed && literal.datatype.iri.str() == datatype_iri::xsd_string;
    if (!plain && !typed_string) return std::nullopt;
    strings.push_back(literal.lexical);
  }
  make_value_set(strings);
  return ValueRange::Strings{std::move(strings)};
}

std::optional<LangString> lang_literal_of(const owl::Literal& literal) {
  if (literal.form != owl::LiteralForm::LanguageTagged) return std::nullopt;
  LangString out{literal.lexical, std::string(literal.language.str())};
  for (char& c : out.tag) c = ascii_lower(c);
  return out;
}

std::optional<LangStrings> lang_string_set_of(const owl::DataRange& range) {
  if (owl_data::is_datatype(range, datatype_iri::rdf_lang_string)) return LangStrings{std::nullopt};
  const auto* literals = enumeration_literals(range);
  if (!literals) return std::nullopt;
  LangStringSet pairs;
  pairs.reserve(literals->size());
  for (const auto& literal : *literals) {
    auto pair = lang_literal_of(literal);
    if (!pair) return std::nullopt;
    pairs.push_back(std::move(*pair));
  }
  make_value_set(pairs);
  return LangStrings{std::move(pairs)};
}

std::optional<std::int64_t> integer_literal_value(const owl::Literal& literal) {
  if (literal.form != owl::LiteralForm::Typed) return std::nullopt;
  const std::string_view datatype = literal.datatype.iri.str();
  if (!datatype.starts_with(datatype_iri::xsd)) return std::nullopt;
  const std::string_view local = datatype.substr(datatype_iri::xsd.size());
  // xsd:unsignedLong reaches beyond the signed range, so it has no interval;
  // its values that parse here are the non-negative ones.
  const std::optional<IntInterval> space =
      local == "unsignedLong" ? std::optional(IntInterval{0, std::nullopt}) : xsd_integer_subtype_range(local);
  if (!space) return std::nullopt;
  const auto value = parse_xsd_integer(literal.lexical);
  if (!value || (space->lower && *value < *space->lower) || (space->upper && *value > *space->upper))
    return std::nullopt;
  return value;
}

std::optional<IntValueSet> int_set_of(const owl::DataRange& range) {
  const auto* literals = enumeration_literals(range);
  if (!literals) return std::nullopt;
  IntValueSet values;
  values.reserve(literals->size());
  for (const auto& literal : *literals) {
    const auto value = integer_literal_value(literal);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  make_value_set(values);
  return values;
}

std::optional<FloatValueSet> float_set_of(const owl::DataRange& range) {
  return typed_set_of<double>(range, datatype_iri::xsd_float, float_item);
}

std::optional<FloatValueSet> double_set_of(const owl::DataRange& range) {
  return typed_set_of<double>(range, datatype_iri::xsd_double, double_item);
}

std::optional<DecimalValueSet> decimal_set_of(const owl::DataRange& range) {
  return typed_set_of<DecimalValue>(range, datatype_iri::xsd_decimal, parse_xsd_decimal);
}

std::optional<DateValueSet> date_set_of(const owl::DataRange& range) {
  return typed_set_of<DateValue>(range, datatype_iri::xsd_date, parse_xsd_date);
}

std::optional<DateTimeValueSet> date_time_set_of(const owl::DataRange& range) {
  return typed_set_of<DateTimeValue>(range, datatype_iri::xsd_date_time, parse_xsd_date_time);
}

}  // namespace kelmon
