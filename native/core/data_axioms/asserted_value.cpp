#include "core/data_axioms/asserted_value.h"

#include "core/data/datatype_iri.h"
#include "core/data/xsd_float.h"

namespace kelmon {
namespace {

std::strong_ordering numeric_order(double a, double b) {
  if (a < b) return std::strong_ordering::less;
  if (b < a) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

// -0 and +0 are one value here.
double without_negative_zero(double v) { return v == 0 ? 0.0 : v; }

}  // namespace

std::strong_ordering AssertedValue::Float::operator<=>(const Float& o) const { return numeric_order(value, o.value); }
std::strong_ordering AssertedValue::Double::operator<=>(const Double& o) const {
  return numeric_order(value, o.value);
}

std::optional<AssertedValue> asserted_value_of(const owl::Literal& literal) {
  using V = AssertedValue;
  if (literal.form == owl::LiteralForm::Plain) return V{V::Text{literal.lexical}};
  if (literal.form != owl::LiteralForm::Typed) return std::nullopt;
  const std::string_view type = literal.datatype.iri.str();
  const std::string_view lexical = literal.lexical;
  if (type == datatype_iri::xsd_string) return V{V::Text{literal.lexical}};
  if (type == datatype_iri::xsd_integer || type == datatype_iri::xsd_decimal) {
    if (auto d = parse_xsd_decimal(lexical)) return V{V::Decimal{std::move(*d)}};
    return std::nullopt;
  }
  if (type == datatype_iri::xsd_float) {
    if (auto f = parse_xsd_float(lexical)) return V{V::Float{without_negative_zero(static_cast<double>(*f))}};
    return std::nullopt;
  }
  if (type == datatype_iri::xsd_double) {
    if (auto d = parse_xsd_double(lexical)) return V{V::Double{without_negative_zero(*d)}};
    return std::nullopt;
  }
  if (type == datatype_iri::xsd_date) {
    if (auto d = parse_xsd_date(lexical)) return V{V::Date{*d}};
    return std::nullopt;
  }
  if (type == datatype_iri::xsd_date_time) {
    if (auto d = parse_xsd_date_time(lexical)) return V{V::DateTime{*d}};
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<LiteralValue> literal_value_of(const owl::Literal& literal) {
  auto value = asserted_value_of(literal);
  if (value && std::holds_alternative<AssertedValue::Float>(value->kind)) return std::nullopt;
  return value;
}

}  // namespace kelmon
