#pragma once
// Tokens and grammar of Manchester syntax shared by the class-expression parser and
// the document reader.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "owl/class_expression_parser.h"
#include "owl/facet.h"
#include "owl/vocabulary.h"

namespace kelmon::owl::manchester {

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


bool is_digit(char c);
// Tokens of a text one at a time, then Tok::End again and again.
class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}
  Token next();

 private:
  std::string_view s_;
  size_t i_ = 0;
};
// The words of the class-expression grammar ("some", "and", ...), which are no names.
bool is_keyword(std::string_view w);
// "Class:", "ObjectProperty:", ... : the words that open a frame of a document.
bool is_frame_keyword(std::string_view w);
// The frame words and the words that open a section ("SubClassOf:", "Annotations:", ...)
// or the document's header ("Prefix:", "Ontology:", "Import:"); no names either, so an
// expression ends where the next section begins.
bool is_document_keyword(std::string_view w);
bool is_restriction_keyword(const Token& t);
// The IRI of "integer", "decimal", "float" or "string"; empty for any other word.
std::string_view datatype_keyword_iri(std::string_view w);
// The token as error messages name it.
std::string describe(const Token& t);

// The Manchester-syntax grammar of class expressions, data ranges, literals and names
// over a token sequence. It parses at the current token and leaves the position after
// what it read, so a document reader can drive it frame by frame. Nesting is kept on
// explicit stacks; failures throw `Failure` with the offset of the offending token.
class Grammar {
 public:
  Grammar(std::string_view text, const PrefixMapping& prefixes, const BuildContext& ctx)
      : lexer_(text), prefixes_(prefixes), ctx_(ctx) {}

  // A ClassExpressionDocument: exactly one class expression.
  ClassExpression document() {
    if (cur().type == Tok::End) throw Failure{cur().offset, "empty class expression"};
    ClassExpression c = description();
    if (cur().type != Tok::End) fail_expected("'and', 'or' or end of input");
    return c;
  }

  // Tokens are read as the grammar looks at them and kept until `forget_read_tokens`;
  // a deque keeps references to them valid while more are read.
  const Token& peek(size_t k) const {
    size_t want = pos_ + k;
    while (toks_.size() <= want && (toks_.empty() || toks_.back().type != Tok::End)) toks_.push_back(lexer_.next());
    return toks_[std::min(want, toks_.size() - 1)];
  }
  const Token& cur() const {
    if (!cur_) cur_ = &peek(0);
    return *cur_;
  }
  void advance() {
    if (cur().type == Tok::End) return;
    ++pos_;
    cur_ = nullptr;
  }
  // Drops the tokens before the current one, so a long document holds the tokens of
  // one frame at a time. No reference to a dropped token may be held.
  void forget_read_tokens() {
    toks_.erase(toks_.begin(), toks_.begin() + static_cast<std::ptrdiff_t>(std::min(pos_, toks_.size())));
    pos_ = 0;
    cur_ = nullptr;
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
    return t.type == Tok::FullIri || (t.type == Tok::Word && !is_keyword(t.text) && !is_document_keyword(t.text));
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
    return names_.intern(*r);
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
    if (keyword == "value") return at_literal();
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

  // A string, a number, or "true" / "false" (xsd:boolean).
  bool at_literal() const {
    return cur().type == Tok::String || cur().type == Tok::Number || kw("true") || kw("false");
  }

  Literal literal() {
    const Token& t = cur();
    if (kw("true") || kw("false")) {
      std::string lexical(t.text);
      advance();
      return Literal::typed(std::move(lexical), Datatype{Iri("http://www.w3.org/2001/XMLSchema#boolean")});
    }
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

  // dataPrimary: ['not'] (datatype | datatype[facets] | {literals} | '(' dataRange ')').
  DataRange data_primary() { return data_range_at(false); }
  // dataRange: or-separated conjunctions of data primaries.
  DataRange data_range() { return data_range_at(true); }

  // Groups and negations on explicit stacks; unless `full`, the outermost level holds
  // one primary only.
  DataRange data_range_at(bool full) {
    std::vector<DataLevel> levels(1);
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
        if (levels.size() == 1 && !full) return x;
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
        if (levels.size() > 1) expect(Tok::RParen, "'and', 'or' or ')'");
        l.ands.push_back(std::move(x));
        l.ors.push_back(data_conjunction(l.ands));
        x = l.ors.size() == 1 ? std::move(l.ors[0]) : DataRange(DataUnionOf{std::move(l.ors)});
        if (levels.size() == 1) return x;
        levels.pop_back();
        --depth_;
      }
    }
  }

  mutable Lexer lexer_;
  mutable std::deque<Token> toks_;
  mutable const Token* cur_ = nullptr;  // toks_[pos_] once looked at
  size_t pos_ = 0;
  uint32_t depth_ = 0;
  const PrefixMapping& prefixes_;
  const BuildContext& ctx_;
  IriTable names_;  // each distinct name is stored once, as the other readers do
};

}  // namespace kelmon::owl::manchester
