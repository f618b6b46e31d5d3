#include "reasoner/explanation/data_probe.h"

#include <array>
#include <set>
#include <string>
#include <tuple>

#include "common/overload.h"
#include "core/data/xsd_float.h"
#include "owl/vocabulary.h"

namespace kelmon::explain {

namespace {

constexpr std::array<std::string_view, 7> kFamilies{
    "http://www.w3.org/2001/XMLSchema#integer", "http://www.w3.org/2001/XMLSchema#decimal",
    "http://www.w3.org/2001/XMLSchema#float",   "http://www.w3.org/2001/XMLSchema#double",
    "http://www.w3.org/2001/XMLSchema#string",  "http://www.w3.org/2001/XMLSchema#date",
    "http://www.w3.org/2001/XMLSchema#dateTime",
};

bool known_datatype(std::string_view iri) {
  if (iri == owl::vocab::kRdfsLiteral) return true;
  for (std::string_view f : kFamilies)
    if (iri == f) return true;
  return false;
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
  bool ok = true;
  std::vector<owl::Literal> literals;

  void literal(const owl::Literal& l) {
    if (l.form == owl::LiteralForm::LanguageTagged) ok = false;
    if (l.form == owl::LiteralForm::Typed && (!known_datatype(l.datatype.iri.str()) ||
                                               l.datatype.iri.str() == owl::vocab::kRdfsLiteral))
      ok = false;
    literals.push_back(l);
  }

  void range(const owl::DataRange& root) {
    std::vector<const owl::DataRange*> stack{&root};
    while (!stack.empty() && ok) {
      const owl::DataRange& r = *stack.back();
      stack.pop_back();
      std::visit(Overload{
                     [&](const owl::Datatype& d) { ok = ok && known_datatype(d.iri.str()); },
                     [&](const owl::DataIntersectionOf& d) {
                       for (const auto& op : d.operands) stack.push_back(&op);
                     },
                     [&](const owl::DataUnionOf& d) {
                       for (const auto& op : d.operands) stack.push_back(&op);
                     },
                     [&](const owl::DataOneOf& d) {
                       for (const auto& l : d.literals) literal(l);
                     },
                     // Facets and complements split a family into parts that
                     // one fresh value cannot stand for.
                     [&](const owl::DataComplementOf&) { ok = false; },
                     [&](const owl::DatatypeRestriction&) { ok = false; },
                 },
                 r.data());
    }
  }

  void expression(const owl::ClassExpression& root, Polarity where) {
    std::vector<std::pair<const owl::ClassExpression*, Polarity>> stack{{&root, where}};
    while (!stack.empty() && ok) {
      auto [e, p] = stack.back();
      stack.pop_back();
      // A data restriction may rule a probe value out where it demands that a
      // value in a range be absent: an existence excluded, or an upper bound.
      auto restricts = [&](bool excluding, const owl::DataRange* filler) {
        if (excluding && (filler == nullptr || !is_any_literal(*filler))) ok = false;
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
                   [&](const owl::DatatypeDefinition&) { ok = false; },
                   [&](const owl::HasKey& x) { expression(x.class_expression, kBoth); },
                   [&](const owl::ClassAssertion& x) { expression(x.class_expression, kPositive); },
                   [&](const owl::DataPropertyAssertion& x) { literal(x.value); },
                   [&](const owl::NegativeDataPropertyAssertion& x) { literal(x.value); },
                   [](const auto&) {},
               },
               a);
  }
};

// The double value of every numeric literal, to keep fresh values apart from them.
std::set<double> numeric_values(const std::vector<owl::Literal>& literals) {
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

owl::Literal typed(std::string lexical, std::string_view datatype) {
  return owl::Literal::typed(std::move(lexical), owl::Datatype{owl::Iri(datatype)});
}

}  // namespace

std::optional<std::vector<owl::Literal>> data_probe_literals(const owl::AxiomSet& candidate) {
  Scan scan;
  for (const owl::AnnotatedAxiom& a : candidate) {
    scan.axiom(a.axiom);
    if (!scan.ok) return std::nullopt;
  }
  std::vector<owl::Literal> probes;
  // Fresh values: numbers whose value no numeric literal has, a string no
  // literal spells, dates whose year lies two or more from every literal's.
  const std::set<double> numbers = numeric_values(scan.literals);
  auto fresh_number = [&](double start, double step) {
    double v = start;
    while (numbers.contains(v)) v += step;
    return v;
  };
  const double integer = fresh_number(7, 1);
  const double decimal = fresh_number(7.5, 1);
  const double float_value = fresh_number(7.25, 1);
  probes.push_back(typed(std::to_string(static_cast<long long>(integer)), kFamilies[0]));
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", decimal);
  probes.push_back(typed(text, kFamilies[1]));
  std::snprintf(text, sizeof text, "%.2f", float_value);
  probes.push_back(typed(text, kFamilies[2]));
  probes.push_back(typed(text, kFamilies[3]));
  std::set<std::string_view> spelled;
  for (const auto& l : scan.literals) spelled.insert(l.lexical);
  std::string fresh_string = "urn:kelmon-justify-probe-value";
  for (int i = 0; spelled.contains(fresh_string); ++i) fresh_string = "urn:kelmon-justify-probe-value-" + std::to_string(i);
  probes.push_back(typed(fresh_string, kFamilies[4]));
  const std::set<long long> used_years = years(scan.literals);
  long long year = 1901;
  auto near_used = [&](long long y) {
    auto it = used_years.lower_bound(y - 1);
    return it != used_years.end() && *it <= y + 1;
  };
  while (near_used(year)) ++year;
  std::snprintf(text, sizeof text, "%04lld-01-01", year);
  probes.push_back(typed(text, kFamilies[5]));
  probes.push_back(typed(std::string(text) + "T00:00:00", kFamilies[6]));
  // Every literal stands for itself; equal literals are asked once.
  std::set<std::tuple<int, std::string_view, std::string_view>> seen;
  for (const auto& l : scan.literals)
    if (seen.insert({static_cast<int>(l.form), l.lexical, l.datatype.iri.str()}).second) probes.push_back(l);
  return probes;
}

}  // namespace kelmon::explain
