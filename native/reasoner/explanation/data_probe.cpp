#include "reasoner/explanation/data_probe.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "common/overload.h"
#include "core/data/decimal_value.h"
#include "core/data/integer_intervals.h"
#include "core/data/xsd_float.h"
#include "owl/vocabulary.h"

namespace kelmon::explain {

namespace {

const std::string kInteger = std::string(owl::vocab::kXsd) + "integer";
const std::string kDecimal = std::string(owl::vocab::kXsd) + "decimal";
const std::string kFloat = std::string(owl::vocab::kXsd) + "float";
const std::string kDouble = std::string(owl::vocab::kXsd) + "double";
const std::string kString = std::string(owl::vocab::kXsd) + "string";
const std::string kDate = std::string(owl::vocab::kXsd) + "date";
const std::string kDateTime = std::string(owl::vocab::kXsd) + "dateTime";

// Integer datatypes (with their bounds) and xsd:decimal share the number line.
std::optional<IntInterval> integer_datatype(std::string_view iri) {
  if (!iri.starts_with(owl::vocab::kXsd)) return std::nullopt;
  return xsd_integer_subtype_range(iri.substr(owl::vocab::kXsd.size()));
}
bool on_number_line(std::string_view iri) { return iri == kDecimal || integer_datatype(iri).has_value(); }

bool known_datatype(std::string_view iri) {
  return iri == owl::vocab::kRdfsLiteral || on_number_line(iri) || iri == kFloat || iri == kDouble ||
         iri == kString || iri == kDate || iri == kDateTime;
}

bool is_any_literal(const owl::DataRange& range) {
  const auto* d = std::get_if<owl::Datatype>(&range.data());
  return d && d->iri.str() == owl::vocab::kRdfsLiteral;
}

// Where a class expression occurs: where it holds of an individual (positive),
// where it is excluded (negative), or both.
struct Polarity {
  bool positive = false;
  bool negative = false;
  Polarity flipped() const { return {negative, positive}; }
};
constexpr Polarity kPositive{true, false};
constexpr Polarity kNegative{false, true};
constexpr Polarity kBoth{true, true};

class Scan {
 public:
  bool covers = true;
  std::vector<owl::Literal> literals;
  std::vector<DecimalValue> numbers;  // points of the number line: literals, order bounds

  void literal(const owl::Literal& l) {
    if (l.form == owl::LiteralForm::LanguageTagged) covers = false;
    if (l.form == owl::LiteralForm::Typed) {
      const std::string_view dt = l.datatype.iri.str();
      if (!known_datatype(dt) || dt == owl::vocab::kRdfsLiteral) covers = false;
      if (on_number_line(dt)) number(l.lexical);
    }
    literals.push_back(l);
  }

  void range(const owl::DataRange& root) {
    std::vector<const owl::DataRange*> stack{&root};
    while (!stack.empty()) {
      const owl::DataRange& r = *stack.back();
      stack.pop_back();
      std::visit(Overload{
                     [&](const owl::Datatype& d) { datatype(d.iri.str()); },
                     [&](const owl::DataIntersectionOf& d) {
                       for (const auto& op : d.operands) stack.push_back(&op);
                     },
                     [&](const owl::DataUnionOf& d) {
                       for (const auto& op : d.operands) stack.push_back(&op);
                     },
                     [&](const owl::DataOneOf& d) {
                       for (const auto& l : d.literals) literal(l);
                     },
                     // A complement turns what the probes stand for inside out.
                     [&](const owl::DataComplementOf&) { covers = false; },
                     [&](const owl::DatatypeRestriction& d) { restriction(d); },
                 },
                 r.data());
    }
  }

  void expression(const owl::ClassExpression& root, Polarity where) {
    std::vector<std::pair<const owl::ClassExpression*, Polarity>> stack{{&root, where}};
    while (!stack.empty()) {
      auto [e, p] = stack.back();
      stack.pop_back();
      // A data restriction may rule a probe value out where it demands that a
      // value in a range be absent: an existence excluded, or an upper bound.
      auto restricts = [&](bool excluding, const owl::DataRange* filler) {
        if (excluding && (filler == nullptr || !is_any_literal(*filler))) covers = false;
      };
      std::visit(Overload{
                     [](const owl::Class&) {},
                     [&](const owl::ObjectIntersectionOf& c) {
                       for (const auto& op : c.operands) stack.push_back({&op, p});
                     },
                     [&](const owl::ObjectUnionOf& c) {
                       for (const auto& op : c.operands) stack.push_back({&op, p});
                     },
                     [&](const owl::ObjectComplementOf& c) { stack.push_back({&c.operand, p.flipped()}); },
                     [](const owl::ObjectOneOf&) {},
                     [&](const owl::ObjectSomeValuesFrom& c) { stack.push_back({&c.filler, p}); },
                     [&](const owl::ObjectAllValuesFrom& c) { stack.push_back({&c.filler, p}); },
                     [](const owl::ObjectHasValue&) {},
                     [](const owl::ObjectHasSelf&) {},
                     [&](const owl::ObjectMinCardinality& c) { stack.push_back({&c.filler, p}); },
                     [&](const owl::ObjectMaxCardinality& c) { stack.push_back({&c.filler, p.flipped()}); },
                     [&](const owl::ObjectExactCardinality& c) { stack.push_back({&c.filler, kBoth}); },
                     [&](const owl::DataSomeValuesFrom& c) {
                       range(c.filler);
                       restricts(p.negative, &c.filler);
                     },
                     [&](const owl::DataAllValuesFrom& c) { range(c.filler); },
                     [&](const owl::DataHasValue& c) {
                       literal(c.value);
                       restricts(p.negative, nullptr);
                     },
                     [&](const owl::DataMinCardinality& c) {
                       range(c.filler);
                       restricts(p.negative && c.cardinality > 0, &c.filler);
                     },
                     [&](const owl::DataMaxCardinality& c) {
                       range(c.filler);
                       restricts(p.positive, &c.filler);
                     },
                     [&](const owl::DataExactCardinality& c) {
                       range(c.filler);
                       restricts(true, &c.filler);
                     },
                 },
                 e->data());
    }
  }

  void axiom(const owl::Axiom& a) {
    auto members = [&](const std::vector<owl::ClassExpression>& list, Polarity p) {
      for (const auto& m : list) expression(m, p);
    };
    std::visit(Overload{
                   [&](const owl::SubClassOf& x) {
                     expression(x.sub, kNegative);
                     expression(x.sup, kPositive);
                   },
                   [&](const owl::EquivalentClasses& x) { members(x.members, kBoth); },
                   [&](const owl::DisjointClasses& x) { members(x.members, kNegative); },
                   [&](const owl::DisjointUnion& x) { members(x.members, kBoth); },
                   [&](const owl::ObjectPropertyDomain& x) { expression(x.domain, kPositive); },
                   [&](const owl::ObjectPropertyRange& x) { expression(x.range, kPositive); },
                   [&](const owl::DataPropertyDomain& x) { expression(x.domain, kPositive); },
                   [&](const owl::DataPropertyRange& x) { range(x.range); },
                   [&](const owl::DatatypeDefinition&) { covers = false; },
                   [&](const owl::HasKey& x) { expression(x.class_expression, kBoth); },
                   [&](const owl::ClassAssertion& x) { expression(x.class_expression, kPositive); },
                   [&](const owl::DataPropertyAssertion& x) { literal(x.value); },
                   [&](const owl::NegativeDataPropertyAssertion& x) { literal(x.value); },
                   [](const auto&) {},
               },
               a);
  }

 private:
  void number(std::string_view lexical) {
    if (auto v = parse_xsd_decimal(lexical)) numbers.push_back(std::move(*v));
    else covers = false;  // a point of the line that cannot be placed
  }

  void datatype(std::string_view iri) {
    if (!known_datatype(iri)) {
      covers = false;
      return;
    }
    // The bounds of xsd:int, xsd:nonNegativeInteger and the like are points of the line.
    if (auto bounds = integer_datatype(iri)) {
      if (bounds->lower) number(std::to_string(*bounds->lower));
      if (bounds->upper) number(std::to_string(*bounds->upper));
    }
  }

  // Order bounds on the number line split it only at their values; any other
  // facet, or bounds on another family, split it in ways the probes do not follow.
  void restriction(const owl::DatatypeRestriction& d) {
    datatype(d.datatype.iri.str());
    const bool number_line = on_number_line(d.datatype.iri.str());
    for (const auto& f : d.restrictions) {
      const bool order = f.facet == owl::Facet::MinInclusive || f.facet == owl::Facet::MinExclusive ||
                         f.facet == owl::Facet::MaxInclusive || f.facet == owl::Facet::MaxExclusive;
      if (!order || !number_line) covers = false;
      number(f.value.lexical);
    }
  }
};

// Numbers as integers scaled by 10^scale, where every point fits.
struct ScaledLine {
  int scale = 0;
  std::vector<__int128> points;  // ascending, distinct
};

std::optional<ScaledLine> scale_points(const std::vector<DecimalValue>& numbers) {
  ScaledLine line;
  for (const auto& n : numbers) line.scale = std::max(line.scale, static_cast<int>(n.frac_digits.size()));
  if (line.scale > 18) return std::nullopt;
  for (const auto& n : numbers) {
    const std::string digits = n.int_digits + pad_digits_right(n.frac_digits, static_cast<std::size_t>(line.scale));
    if (digits.size() > 36) return std::nullopt;
    __int128 v = 0;
    for (char c : digits) v = v * 10 + (c - '0');
    line.points.push_back(n.negative ? -v : v);
  }
  std::sort(line.points.begin(), line.points.end());
  line.points.erase(std::unique(line.points.begin(), line.points.end()), line.points.end());
  return line;
}

std::string scaled_text(__int128 scaled, int scale) {
  const bool negative = scaled < 0;
  unsigned __int128 v = negative ? -static_cast<unsigned __int128>(scaled) : static_cast<unsigned __int128>(scaled);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  if (scale > 0) {
    if (digits.size() <= static_cast<std::size_t>(scale)) digits.insert(0, scale + 1 - digits.size(), '0');
    digits.insert(digits.end() - scale, '.');
  }
  return negative ? "-" + digits : digits;
}

owl::Literal typed(std::string lexical, std::string_view datatype) {
  return owl::Literal::typed(std::move(lexical), owl::Datatype{owl::Iri(datatype)});
}

__int128 floor_div(__int128 a, __int128 b) {
  const __int128 q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// One value in every stretch of the number line between and beyond its
// points: an integer where the stretch holds one, and a non-integer always.
// The integers go in as xsd:integer and as xsd:decimal, so that they stand
// for the line whether or not the two datatypes share their values.
bool add_number_line_probes(const std::vector<DecimalValue>& numbers, std::vector<owl::Literal>& probes) {
  auto line = scale_points(numbers);
  if (!line) return false;
  __int128 one = 1;
  for (int i = 0; i < line->scale; ++i) one *= 10;
  auto integer = [&](__int128 n) {
    const std::string text = scaled_text(n, 0);
    probes.push_back(typed(text, kInteger));
    probes.push_back(typed(text, kDecimal));
  };
  auto non_integer_above = [&](__int128 p) { probes.push_back(typed(scaled_text(p * 10 + 5, line->scale + 1), kDecimal)); };
  auto non_integer_below = [&](__int128 p) { probes.push_back(typed(scaled_text(p * 10 - 5, line->scale + 1), kDecimal)); };
  const auto& pts = line->points;
  if (pts.empty()) {
    integer(7);
    probes.push_back(typed("7.5", kDecimal));
    return true;
  }
  for (const __int128 p : pts) {
    // Each point as a value of both datatypes.
    const std::string text = scaled_text(p, line->scale);
    probes.push_back(typed(text, kDecimal));
    if (p % one == 0) probes.push_back(typed(scaled_text(p / one, 0), kInteger));
  }
  integer(floor_div(pts.front() - 1, one));
  non_integer_below(pts.front());
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const __int128 next_integer = floor_div(pts[i], one) + 1;
    if (next_integer * one < pts[i + 1]) integer(next_integer);
    non_integer_above(pts[i]);
  }
  integer(floor_div(pts.back(), one) + 1);
  non_integer_above(pts.back());
  return true;
}

// The double value of every literal, to keep fresh floats apart from them.
std::set<double> float_values(const std::vector<owl::Literal>& literals) {
  std::set<double> values;
  for (const auto& l : literals)
    if (auto v = parse_xsd_double(l.lexical)) values.insert(*v);
  return values;
}

// The year of every literal that starts like a date: digits, possibly signed, then "-".
std::set<long long> years(const std::vector<owl::Literal>& literals) {
  std::set<long long> out;
  for (const auto& l : literals) {
    std::string_view s = l.lexical;
    const bool negative = s.starts_with('-');
    if (negative) s.remove_prefix(1);
    std::size_t digits = 0;
    while (digits < s.size() && digits < 12 && s[digits] >= '0' && s[digits] <= '9') ++digits;
    if (digits == 0 || digits >= s.size() || s[digits] != '-') continue;
    const long long y = std::stoll(std::string(s.substr(0, digits)));
    out.insert(negative ? -y : y);
  }
  return out;
}

}  // namespace

DataProbes data_probe_literals(const owl::AxiomSet& candidate) {
  Scan scan;
  for (const owl::AnnotatedAxiom& a : candidate) scan.axiom(a.axiom);
  DataProbes probes;
  probes.covers_every_value = add_number_line_probes(scan.numbers, probes.values) && scan.covers;
  // Fresh values of the other families: floats whose value no literal has, a
  // string no literal spells, dates whose year lies two or more from every
  // literal's (so that no time zone can bring them together).
  const std::set<double> floats = float_values(scan.literals);
  double fresh_float = 7.25;
  while (floats.contains(fresh_float)) fresh_float += 1;
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", fresh_float);
  probes.values.push_back(typed(text, kFloat));
  probes.values.push_back(typed(text, kDouble));
  std::set<std::string_view> spelled;
  for (const auto& l : scan.literals) spelled.insert(l.lexical);
  std::string fresh_string = "urn:kelmon-justify-probe-value";
  for (int i = 0; spelled.contains(fresh_string); ++i) fresh_string = "urn:kelmon-justify-probe-value-" + std::to_string(i);
  probes.values.push_back(typed(fresh_string, kString));
  const std::set<long long> used_years = years(scan.literals);
  long long year = 1901;
  auto near_used = [&](long long y) {
    auto it = used_years.lower_bound(y - 1);
    return it != used_years.end() && *it <= y + 1;
  };
  while (near_used(year)) ++year;
  std::snprintf(text, sizeof text, "%04lld-01-01", year);
  probes.values.push_back(typed(text, kDate));
  probes.values.push_back(typed(std::string(text) + "T00:00:00", kDateTime));
  // Every literal stands for itself; equal literals are asked once.
  std::set<std::tuple<int, std::string, std::string>> seen;
  for (const auto& l : probes.values) seen.insert({static_cast<int>(l.form), l.lexical, std::string(l.datatype.iri.str())});
  for (const auto& l : scan.literals)
    if (seen.insert({static_cast<int>(l.form), l.lexical, std::string(l.datatype.iri.str())}).second)
      probes.values.push_back(l);
  return probes;
}

}  // namespace kelmon::explain
