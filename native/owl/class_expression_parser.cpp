#include "owl/class_expression_parser.h"

#include <charconv>
#include <vector>

#include "common/overload.h"
#include "owl/facet.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {

// ---- the document's properties and datatypes ------------------------------------------

BuildContext build_context(const AxiomSet& axioms) {
  BuildContext c;
  auto obj = [&](const ObjectPropertyExpression& p) {
    c.object_properties.insert(std::string(named_property(p).iri.str()));
  };
  auto data = [&](const DataProperty& p) { c.data_properties.insert(std::string(p.iri.str())); };
  for (const auto& a : axioms) {
    std::visit(Overload{
                   [&](const DeclareObjectProperty& x) { obj(ObjectProperty{x.entity.iri}); },
                   [&](const DeclareDataProperty& x) { data(x.entity); },
                   [&](const DeclareDatatype& x) { c.datatypes.insert(std::string(x.entity.iri.str())); },
                   [&](const DatatypeDefinition& x) { c.datatypes.insert(std::string(x.datatype.iri.str())); },
                   [&](const SubObjectPropertyOf& x) {
                     if (auto* p = std::get_if<ObjectPropertyExpression>(&x.sub)) obj(*p);
                     else for (const auto& p : std::get<ObjectPropertyChain>(x.sub).properties) obj(p);
                     obj(x.sup);
                   },
                   [&](const EquivalentObjectProperties& x) { for (const auto& p : x.members) obj(p); },
                   [&](const DisjointObjectProperties& x) { for (const auto& p : x.members) obj(p); },
                   [&](const InverseObjectProperties& x) { obj(x.first); obj(x.second); },
                   [&](const ObjectPropertyDomain& x) { obj(x.property); },
                   [&](const ObjectPropertyRange& x) { obj(x.property); },
                   [&](const FunctionalObjectProperty& x) { obj(x.property); },
                   [&](const InverseFunctionalObjectProperty& x) { obj(x.property); },
                   [&](const ReflexiveObjectProperty& x) { obj(x.property); },
                   [&](const IrreflexiveObjectProperty& x) { obj(x.property); },
                   [&](const SymmetricObjectProperty& x) { obj(x.property); },
                   [&](const AsymmetricObjectProperty& x) { obj(x.property); },
                   [&](const TransitiveObjectProperty& x) { obj(x.property); },
                   [&](const ObjectPropertyAssertion& x) { obj(x.property); },
                   [&](const NegativeObjectPropertyAssertion& x) { obj(x.property); },
                   [&](const SubDataPropertyOf& x) { data(x.sub); data(x.sup); },
                   [&](const EquivalentDataProperties& x) { for (const auto& p : x.members) data(p); },
                   [&](const DisjointDataProperties& x) { for (const auto& p : x.members) data(p); },
                   [&](const DataPropertyDomain& x) { data(x.property); },
                   [&](const DataPropertyRange& x) { data(x.property); },
                   [&](const FunctionalDataProperty& x) { data(x.property); },
                   [&](const DataPropertyAssertion& x) { data(x.property); },
                   [&](const NegativeDataPropertyAssertion& x) { data(x.property); },
                   [](const auto&) {},
               },
               a.axiom);
  }
  return c;
}

namespace {

// ---- tokens -------------------------------------------------------------------------------

enum class Tok : uint8_t {
  End, LParen, RParen, LBrace, RBrace, LBracket, RBracket, Comma, Caret2, LangTag, String,
  FullIri, Word, NodeId, Number, Symbol,
};

struct Token {
  Tok type;
  std::string_view text;  // FullIri: inside the brackets; String: inside the quotes
  size_t offset;
  bool has_escape = false;
};

struct Failure {
  size_t offset;
  std::string message;
};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool ends_word(char c) {
  return is_blank(c) || c == '(' || c == ')' || c == '{' || c == '}' || c == '[' || c == ']' ||
         c == ',' || c == '"' || c == '<' || c == '>' || c == '^' || c == '@';
}

std::vector<Token> tokenize(std::string_view s) {
  std::vector<Token> out;
  size_t i = 0, n = s.size();
  auto single = [&](Tok t) {
    out.push_back(Token{t, s.substr(i, 1), i});
    ++i;
  };
  while (true) {
    while (i < n && is_blank(s[i])) ++i;
    if (i >= n) break;
    char c = s[i];
    switch (c) {
      case '(': single(Tok::LParen); continue;
      case ')': single(Tok::RParen); continue;
      case '{': single(Tok::LBrace); continue;
      case '}': single(Tok::RBrace); continue;
      case '[': single(Tok::LBracket); continue;
      case ']': single(Tok::RBracket); continue;
      case ',': single(Tok::Comma); continue;
      default: break;
    }
    size_t start = i;
    if (c == '^') {
      if (i + 1 < n && s[i + 1] == '^') {
        out.push_back(Token{Tok::Caret2, s.substr(i, 2), i});
        i += 2;
        continue;
      }
      throw Failure{i, "unexpected character '^'"};
    }
    if (c == '@') {
      ++i;
      while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '-')) ++i;
      if (i == start + 1) throw Failure{start, "expected a language tag after '@'"};
      out.push_back(Token{Tok::LangTag, s.substr(start + 1, i - start - 1), start});
      continue;
    }
    if (c == '"') {
      ++i;
      bool esc = false;
      while (i < n && s[i] != '"') {
        if (s[i] == '\\') {
          esc = true;
          ++i;
        }
        ++i;
      }
      if (i >= n) throw Failure{start, "unterminated string"};
      out.push_back(Token{Tok::String, s.substr(start + 1, i - start - 1), start, esc});
      ++i;
      continue;
    }
    if (c == '<' || c == '>') {
      // "<=", "<", ">=", ">" are facets; "<" followed by an IRI character starts an IRI.
      if (i + 1 < n && s[i + 1] == '=') {
        out.push_back(Token{Tok::Symbol, s.substr(i, 2), i});
        i += 2;
        continue;
      }
      if (c == '>' || i + 1 >= n || is_blank(s[i + 1]) || is_digit(s[i + 1]) || s[i + 1] == '"' ||
          s[i + 1] == '+' || s[i + 1] == '-') {
        single(Tok::Symbol);
        continue;
      }
      ++i;
      while (i < n && s[i] != '>') {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b <= 0x20 || b == '<' || b == '"' || b == '{' || b == '}' || b == '|' || b == '`')
          throw Failure{i, "malformed IRI: unexpected character in angle brackets"};
        ++i;
      }
      if (i >= n) throw Failure{start, "unterminated IRI"};
      out.push_back(Token{Tok::FullIri, s.substr(start + 1, i - start - 1), start});
      ++i;
      continue;
    }
    bool sign = (c == '+' || c == '-') && i + 1 < n && (is_digit(s[i + 1]) || s[i + 1] == '.');
    if (is_digit(c) || sign || (c == '.' && i + 1 < n && is_digit(s[i + 1]))) {
      if (sign) ++i;
      while (i < n && !ends_word(s[i])) ++i;
      out.push_back(Token{Tok::Number, s.substr(start, i - start), start});
      continue;
    }
    while (i < n && !ends_word(s[i])) ++i;
    std::string_view w = s.substr(start, i - start);
    if (w.size() >= 2 && w[0] == '_' && w[1] == ':') {
      out.push_back(Token{Tok::NodeId, w.substr(2), start});
    } else {
      out.push_back(Token{Tok::Word, w, start});
    }
  }
  out.push_back(Token{Tok::End, {}, n});
  return out;
}

bool is_keyword(std::string_view w) {
  static constexpr std::string_view kKeywords[] = {"some", "only", "value", "Self", "min", "max",
                                                   "exactly", "not", "and", "or", "that", "inverse"};
  for (auto k : kKeywords)
    if (k == w) return true;
  return false;
}

bool is_restriction_keyword(const Token& t) {
  if (t.type != Tok::Word) return false;
  return t.text == "some" || t.text == "only" || t.text == "value" || t.text == "Self" ||
         t.text == "min" || t.text == "max" || t.text == "exactly";
}

std::string_view datatype_keyword_iri(std::string_view w) {
  if (w == "integer") return vocab::kXsdInteger;
  if (w == "decimal") return vocab::kXsdDecimal;
  if (w == "float") return vocab::kXsdFloat;
  if (w == "string") return vocab::kXsdString;
  return {};
}

std::string describe(const Token& t) {
  switch (t.type) {
    case Tok::End: return "end of input";
    case Tok::String: return "a string literal";
    case Tok::FullIri: return "<" + std::string(t.text.substr(0, 80)) + ">";
    case Tok::NodeId: return "'_:" + std::string(t.text.substr(0, 40)) + "'";
    default: return "'" + std::string(t.text.substr(0, 80)) + "'";
  }
}

// ---- parser ---------------------------------------------------------------------------------

class ManchesterParser {
 public:
  ManchesterParser(std::vector<Token> tokens, const PrefixMapping& prefixes, const BuildContext& ctx)
      : toks_(std::move(tokens)), prefixes_(prefixes), ctx_(ctx) {}

  ClassExpression document() {
    if (cur().type == Tok::End) throw Failure{cur().offset, "empty class expression"};
    ClassExpression c = description();
    if (cur().type != Tok::End) fail_expected("'and', 'or' or end of input");
    return c;
  }

 private:
  const Token& cur() const { return toks_[pos_]; }
  const Token& peek(size_t k) const { return toks_[std::min(pos_ + k, toks_.size() - 1)]; }
  void advance() {
    if (pos_ + 1 < toks_.size()) ++pos_;
  }
  bool kw(std::string_view w) const { return cur().type == Tok::Word && cur().text == w; }
  [[noreturn]] void fail_expected(std::string_view what) const {
    throw Failure{cur().offset, "expected " + std::string(what) + ", found " + describe(cur())};
  }
  void expect(Tok t, std::string_view what) {
    if (cur().type != t) fail_expected(what);
    advance();
  }
  void deeper() {
    if (++depth_ > kMaxNestingDepth)
      throw Failure{cur().offset, "nesting deeper than " + std::to_string(kMaxNestingDepth) + " levels"};
  }

  static bool is_name(const Token& t) {
    return t.type == Tok::FullIri || (t.type == Tok::Word && !is_keyword(t.text));
  }

  // The IRI a name stands for, or nothing when its prefix is unknown.
  std::optional<std::string> resolve(const Token& t) const {
    if (t.type == Tok::FullIri) return std::string(t.text);
    size_t colon = t.text.find(':');
    std::string_view prefix = colon == std::string_view::npos ? std::string_view() : t.text.substr(0, colon);
    std::string_view local = colon == std::string_view::npos ? t.text : t.text.substr(colon + 1);
    auto it = prefixes_.find(prefix);
    if (it == prefixes_.end()) return std::nullopt;
    return it->second + std::string(local);
  }

  Iri name() {
    if (!is_name(cur())) fail_expected("a name");
    auto r = resolve(cur());
    if (!r) {
      size_t colon = cur().text.find(':');
      if (colon == std::string_view::npos)
        throw Failure{cur().offset, "no default prefix to resolve the name '" + std::string(cur().text) + "'"};
      throw Failure{cur().offset, "unknown prefix '" + std::string(cur().text.substr(0, colon)) + ":'"};
    }
    advance();
    return Iri(*r);
  }

  bool is_datatype_iri(std::string_view iri) const {
    if (iri.starts_with(vocab::kXsd)) return true;
    if (iri == vocab::kRdfsLiteral || iri == "http://www.w3.org/1999/02/22-rdf-syntax-ns#PlainLiteral" ||
        iri == "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString" ||
        iri == "http://www.w3.org/1999/02/22-rdf-syntax-ns#XMLLiteral" ||
        iri == "http://www.w3.org/2002/07/owl#real" || iri == "http://www.w3.org/2002/07/owl#rational")
      return true;
    return ctx_.datatypes.contains(std::string(iri));
  }

  // Whether the tokens from `k` on begin a data range rather than a class expression.
  bool data_filler_at(size_t k) const {
    while (peek(k).type == Tok::LParen || (peek(k).type == Tok::Word && peek(k).text == "not")) ++k;
    const Token& t = peek(k);
    if (t.type == Tok::LBrace) return peek(k + 1).type == Tok::String || peek(k + 1).type == Tok::Number;
    if (t.type == Tok::Word && !datatype_keyword_iri(t.text).empty()) return true;
    if (is_name(t)) {
      if (peek(k + 1).type == Tok::LBracket) return true;
      auto iri = resolve(t);
      return iri && is_datatype_iri(*iri);
    }
    return false;
  }

  bool is_data_restriction(const Iri& property, std::string_view keyword) const {
    std::string p(property.str());
    bool as_data = ctx_.data_properties.contains(p);
    bool as_object = ctx_.object_properties.contains(p);
    if (as_data != as_object) return as_data;
    // Unknown to the document (or used as both): the filler decides.
    if (keyword == "Self") return false;
    if (keyword == "value") return cur().type == Tok::String || cur().type == Tok::Number;
    if (keyword == "some" || keyword == "only") return data_filler_at(0);
    return data_filler_at(1);  // past the number of a cardinality
  }

  bool starts_primary(const Token& t) const {
    return t.type == Tok::LParen || t.type == Tok::LBrace || is_name(t) ||
           (t.type == Tok::Word && (t.text == "not" || t.text == "inverse"));
  }
  bool starts_data_primary(const Token& t) const {
    return t.type == Tok::LParen || t.type == Tok::LBrace || is_name(t) ||
           (t.type == Tok::Word && (t.text == "not" || !datatype_keyword_iri(t.text).empty()));
  }

  uint32_t cardinality() {
    const Token& t = cur();
    uint64_t v = 0;
    auto [ptr, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
    if (t.type != Tok::Number || ec != std::errc() || ptr != t.text.data() + t.text.size() || v > UINT32_MAX)
      fail_expected("a non-negative integer below 2^32");
    advance();
    return static_cast<uint32_t>(v);
  }

  // ---- class expressions ----
  enum class PrefixKind : uint8_t { Not, Some, Only, Min, Max, Exactly };
  struct PrefixOp {
    PrefixKind kind;
    ObjectPropertyExpression property;
    uint32_t n = 0;
  };
  struct Level {
    std::vector<ClassExpression> ors, ands;
    std::vector<PrefixOp> prefixes;
  };

  static ClassExpression conjunction(std::vector<ClassExpression>& v) {
    ClassExpression c = v.size() == 1 ? std::move(v[0]) : ClassExpression(ObjectIntersectionOf{std::move(v)});
    v.clear();
    return c;
  }
  static ClassExpression finish(Level& l) {
    l.ors.push_back(conjunction(l.ands));
    if (l.ors.size() == 1) return std::move(l.ors[0]);
    return ObjectUnionOf{std::move(l.ors)};
  }
  ClassExpression wrap(PrefixOp& p, ClassExpression x) {
    --depth_;
    switch (p.kind) {
      case PrefixKind::Not: return ObjectComplementOf{std::move(x)};
      case PrefixKind::Some: return ObjectSomeValuesFrom{std::move(p.property), std::move(x)};
      case PrefixKind::Only: return ObjectAllValuesFrom{std::move(p.property), std::move(x)};
      case PrefixKind::Min: return ObjectMinCardinality{p.n, std::move(p.property), std::move(x)};
      case PrefixKind::Max: return ObjectMaxCardinality{p.n, std::move(p.property), std::move(x)};
      case PrefixKind::Exactly: return ObjectExactCardinality{p.n, std::move(p.property), std::move(x)};
    }
    return x;
  }

  // description: or-separated conjunctions of primaries, with '(' ... ')' groups and
  // prefix operators ("not", "p some", ...) kept on explicit stacks.
  ClassExpression description() {
    std::vector<Level> levels(1);
    for (;;) {
      ClassExpression x;
      for (bool have = false; !have;) {
        if (kw("not")) {
          advance();
          deeper();
          levels.back().prefixes.push_back(PrefixOp{PrefixKind::Not, {}});
        } else if (cur().type == Tok::LParen) {
          advance();
          deeper();
          levels.emplace_back();
        } else if (cur().type == Tok::LBrace) {
          x = ObjectOneOf{individual_list()};
          have = true;
        } else if (kw("inverse") || (is_name(cur()) && is_restriction_keyword(peek(1)))) {
          have = restriction(levels.back(), x);
        } else if (is_name(cur())) {
          x = Class{name()};
          have = true;
        } else {
          fail_expected("a class expression");
        }
      }
      for (;;) {
        Level& l = levels.back();
        while (!l.prefixes.empty()) {
          x = wrap(l.prefixes.back(), std::move(x));
          l.prefixes.pop_back();
        }
        if (kw("and") || kw("that")) {
          advance();
          l.ands.push_back(std::move(x));
          break;
        }
        if (kw("or")) {
          advance();
          l.ands.push_back(std::move(x));
          l.ors.push_back(conjunction(l.ands));
          break;
        }
        l.ands.push_back(std::move(x));
        if (levels.size() == 1) return finish(l);
        expect(Tok::RParen, "'and', 'or' or ')'");
        x = finish(l);
        levels.pop_back();
        --depth_;
      }
    }
  }

  ObjectPropertyExpression object_property() {
    if (kw("inverse")) {
      advance();
      if (cur().type == Tok::LParen) {
        advance();
        Iri p = name();
        expect(Tok::RParen, "')'");
        return ObjectInverseOf{ObjectProperty{std::move(p)}};
      }
      return ObjectInverseOf{ObjectProperty{name()}};
    }
    return ObjectProperty{name()};
  }

  // A restriction: either finished in `out` (true) or a prefix operator pushed onto
  // the level that waits for its filler (false).
  bool restriction(Level& level, ClassExpression& out) {
    bool inverse = kw("inverse");
    ObjectPropertyExpression property = object_property();
    if (!is_restriction_keyword(cur())) fail_expected("'some', 'only', 'value', 'Self', 'min', 'max' or 'exactly'");
    std::string_view k = cur().text;
    advance();
    const Iri& iri = named_property(property).iri;
    if (!inverse && is_data_restriction(iri, k)) {
      DataProperty p{iri};
      if (k == "Self") fail_expected("an object property for 'Self'");
      if (k == "value") {
        out = DataHasValue{std::move(p), literal()};
      } else if (k == "some") {
        out = DataSomeValuesFrom{std::move(p), data_primary()};
      } else if (k == "only") {
        out = DataAllValuesFrom{std::move(p), data_primary()};
      } else {
        uint32_t n = cardinality();
        DataRange d = starts_data_primary(cur()) ? data_primary() : DataRange(Datatype{Iri(vocab::kRdfsLiteral)});
        if (k == "min") out = DataMinCardinality{n, std::move(p), std::move(d)};
        else if (k == "max") out = DataMaxCardinality{n, std::move(p), std::move(d)};
        else out = DataExactCardinality{n, std::move(p), std::move(d)};
      }
      return true;
    }
    if (k == "Self") {
      out = ObjectHasSelf{std::move(property)};
      return true;
    }
    if (k == "value") {
      out = ObjectHasValue{std::move(property), individual()};
      return true;
    }
    if (k == "some" || k == "only") {
      deeper();
      level.prefixes.push_back(PrefixOp{k == "some" ? PrefixKind::Some : PrefixKind::Only, std::move(property)});
      return false;
    }
    uint32_t n = cardinality();
    PrefixKind kind = k == "min" ? PrefixKind::Min : k == "max" ? PrefixKind::Max : PrefixKind::Exactly;
    if (starts_primary(cur())) {
      deeper();
      level.prefixes.push_back(PrefixOp{kind, std::move(property), n});
      return false;
    }
    ClassExpression thing = Class{Iri(vocab::kOwlThing)};
    if (kind == PrefixKind::Min) out = ObjectMinCardinality{n, std::move(property), std::move(thing)};
    else if (kind == PrefixKind::Max) out = ObjectMaxCardinality{n, std::move(property), std::move(thing)};
    else out = ObjectExactCardinality{n, std::move(property), std::move(thing)};
    return true;
  }

  Individual individual() {
    if (cur().type == Tok::NodeId) {
      AnonymousIndividual a{Iri(cur().text)};
      advance();
      return a;
    }
    if (!is_name(cur())) fail_expected("an individual");
    return NamedIndividual{name()};
  }

  std::vector<Individual> individual_list() {
    expect(Tok::LBrace, "'{'");
    std::vector<Individual> v{individual()};
    while (cur().type == Tok::Comma) {
      advance();
      v.push_back(individual());
    }
    expect(Tok::RBrace, "',' or '}'");
    return v;
  }

  // ---- data ranges and literals ----
  std::string unescape(const Token& t) const {
    if (!t.has_escape) return std::string(t.text);
    std::string s;
    for (size_t i = 0; i < t.text.size(); ++i) {
      if (t.text[i] == '\\') {
        char e = t.text[i + 1];
        if (e != '"' && e != '\\') throw Failure{t.offset + 1 + i, "invalid escape in string"};
        s.push_back(e);
        ++i;
      } else {
        s.push_back(t.text[i]);
      }
    }
    return s;
  }

  Datatype datatype() {
    if (cur().type == Tok::Word) {
      std::string_view k = datatype_keyword_iri(cur().text);
      if (!k.empty()) {
        advance();
        return Datatype{Iri(k)};
      }
    }
    if (!is_name(cur())) fail_expected("a datatype");
    return Datatype{name()};
  }

  Literal literal() {
    const Token& t = cur();
    if (t.type == Tok::String) {
      std::string lexical = unescape(t);
      advance();
      if (cur().type == Tok::Caret2) {
        advance();
        return Literal::typed(std::move(lexical), datatype());
      }
      if (cur().type == Tok::LangTag) {
        std::string_view tag = cur().text;
        advance();
        return Literal::language_tagged(std::move(lexical), tag);
      }
      return Literal::plain(std::move(lexical));
    }
    if (t.type == Tok::Number) {
      std::string_view s = t.text;
      size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
      size_t digits = i;
      while (digits < s.size() && is_digit(s[digits])) ++digits;
      bool has_int = digits > i;
      size_t j = digits;
      bool dot = j < s.size() && s[j] == '.';
      size_t frac = 0;
      if (dot) {
        ++j;
        while (j < s.size() && is_digit(s[j])) ++j, ++frac;
      }
      bool exponent = j < s.size() && (s[j] == 'e' || s[j] == 'E');
      if (exponent) {
        ++j;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t e = j;
        while (j < s.size() && is_digit(s[j])) ++j;
        if (j == e) fail_expected("a number");
      }
      bool f = j < s.size() && (s[j] == 'f' || s[j] == 'F');
      if (f) ++j;
      if (j != s.size() || (!has_int && frac == 0)) fail_expected("a number");
      std::string_view dt;
      std::string lexical(s);
      if (f) {
        lexical.pop_back();
        dt = vocab::kXsdFloat;
      } else if (exponent) {
        fail_expected("a number ('f' closes a floating-point literal)");
      } else if (dot) {
        if (!has_int || frac == 0) fail_expected("a decimal number");
        dt = vocab::kXsdDecimal;
      } else {
        dt = vocab::kXsdInteger;
      }
      advance();
      return Literal::typed(std::move(lexical), Datatype{Iri(dt)});
    }
    fail_expected("a literal");
  }

  struct DataLevel {
    std::vector<DataRange> ors, ands;
    uint32_t nots = 0;
  };
  static DataRange data_conjunction(std::vector<DataRange>& v) {
    DataRange d = v.size() == 1 ? std::move(v[0]) : DataRange(DataIntersectionOf{std::move(v)});
    v.clear();
    return d;
  }

  // dataPrimary: ['not'] (datatype | datatype[facets] | {literals} | '(' dataRange ')'),
  // groups and negations on explicit stacks.
  DataRange data_primary() {
    std::vector<DataLevel> levels(1);  // the outermost level holds one primary only
    for (;;) {
      DataRange x;
      for (bool have = false; !have;) {
        if (kw("not")) {
          advance();
          deeper();
          ++levels.back().nots;
        } else if (cur().type == Tok::LParen) {
          advance();
          deeper();
          levels.emplace_back();
        } else if (cur().type == Tok::LBrace) {
          advance();
          std::vector<Literal> lits{literal()};
          while (cur().type == Tok::Comma) {
            advance();
            lits.push_back(literal());
          }
          expect(Tok::RBrace, "',' or '}'");
          x = DataOneOf{std::move(lits)};
          have = true;
        } else {
          Datatype d = datatype();
          if (cur().type == Tok::LBracket) {
            advance();
            DatatypeRestriction r{std::move(d), {}};
            for (;;) {
              auto facet = (cur().type == Tok::Word || cur().type == Tok::Symbol) ? facet_from_symbol(cur().text)
                                                                                   : std::nullopt;
              if (!facet) fail_expected("a facet (length, minLength, maxLength, pattern, >=, >, <=, <, ...)");
              advance();
              r.restrictions.push_back(FacetRestriction{*facet, literal()});
              if (cur().type != Tok::Comma) break;
              advance();
            }
            expect(Tok::RBracket, "',' or ']'");
            x = std::move(r);
          } else {
            x = std::move(d);
          }
          have = true;
        }
      }
      for (;;) {
        DataLevel& l = levels.back();
        for (; l.nots > 0; --l.nots) {
          x = DataComplementOf{std::move(x)};
          --depth_;
        }
        if (levels.size() == 1) return x;
        if (kw("and")) {
          advance();
          l.ands.push_back(std::move(x));
          break;
        }
        if (kw("or")) {
          advance();
          l.ands.push_back(std::move(x));
          l.ors.push_back(data_conjunction(l.ands));
          break;
        }
        expect(Tok::RParen, "'and', 'or' or ')'");
        l.ands.push_back(std::move(x));
        l.ors.push_back(data_conjunction(l.ands));
        x = l.ors.size() == 1 ? std::move(l.ors[0]) : DataRange(DataUnionOf{std::move(l.ors)});
        levels.pop_back();
        --depth_;
      }
    }
  }

  std::vector<Token> toks_;
  size_t pos_ = 0;
  uint32_t depth_ = 0;
  const PrefixMapping& prefixes_;
  const BuildContext& ctx_;
};

}  // namespace

std::expected<ClassExpression, ParseError> parse_class_expression(std::string_view text,
                                                                  const PrefixMapping& prefixes,
                                                                  const BuildContext& context) {
  try {
    ManchesterParser parser(tokenize(text), prefixes, context);
    return parser.document();
  } catch (const Failure& f) {
    ParseError e;
    line_and_column(text, f.offset, e.line, e.column);
    e.message = f.message;
    return std::unexpected(std::move(e));
  }
}

}  // namespace kelmon::owl
