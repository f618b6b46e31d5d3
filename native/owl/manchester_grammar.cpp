#include "owl/internal/manchester_grammar.h"

#include <cctype>

namespace kelmon::owl::manchester {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool ends_word(char c) {
  return is_blank(c) || c == '(' || c == ')' || c == '{' || c == '}' || c == '[' || c == ']' ||
         c == ',' || c == '"' || c == '<' || c == '>' || c == '^' || c == '@';
}

}  // namespace

bool is_digit(char c) { return c >= '0' && c <= '9'; }

Token Lexer::next() {
  const std::string_view s = s_;
  const size_t n = s.size();
  size_t& i = i_;
  while (i < n && is_blank(s[i])) ++i;
  if (i >= n) return Token{Tok::End, {}, n};
  const size_t start = i;
  auto take = [&](Tok t, size_t length) {
    i += length;
    return Token{t, s.substr(start, length), start};
  };
  const char c = s[i];
  switch (c) {
    case '(': return take(Tok::LParen, 1);
    case ')': return take(Tok::RParen, 1);
    case '{': return take(Tok::LBrace, 1);
    case '}': return take(Tok::RBrace, 1);
    case '[': return take(Tok::LBracket, 1);
    case ']': return take(Tok::RBracket, 1);
    case ',': return take(Tok::Comma, 1);
    default: break;
  }
  if (c == '^') {
    if (i + 1 < n && s[i + 1] == '^') return take(Tok::Caret2, 2);
    throw Failure{i, "unexpected character '^'"};
  }
  if (c == '@') {
    ++i;
    while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '-')) ++i;
    if (i == start + 1) throw Failure{start, "expected a language tag after '@'"};
    return Token{Tok::LangTag, s.substr(start + 1, i - start - 1), start};
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
    ++i;
    return Token{Tok::String, s.substr(start + 1, i - start - 2), start, esc};
  }
  if (c == '<' || c == '>') {
    // "<=", "<", ">=", ">" are facets; "<" followed by an IRI character starts an IRI.
    if (i + 1 < n && s[i + 1] == '=') return take(Tok::Symbol, 2);
    if (c == '>' || i + 1 >= n || is_blank(s[i + 1]) || is_digit(s[i + 1]) || s[i + 1] == '"' ||
        s[i + 1] == '+' || s[i + 1] == '-')
      return take(Tok::Symbol, 1);
    ++i;
    while (i < n && s[i] != '>') {
      unsigned char b = static_cast<unsigned char>(s[i]);
      if (b <= 0x20 || b == '<' || b == '"' || b == '{' || b == '}' || b == '|' || b == '`')
        throw Failure{i, "malformed IRI: unexpected character in angle brackets"};
      ++i;
    }
    if (i >= n) throw Failure{start, "unterminated IRI"};
    ++i;
    return Token{Tok::FullIri, s.substr(start + 1, i - start - 2), start};
  }
  bool sign = (c == '+' || c == '-') && i + 1 < n && (is_digit(s[i + 1]) || s[i + 1] == '.');
  if (is_digit(c) || sign || (c == '.' && i + 1 < n && is_digit(s[i + 1]))) {
    if (sign) ++i;
    while (i < n && !ends_word(s[i])) ++i;
    return Token{Tok::Number, s.substr(start, i - start), start};
  }
  while (i < n && !ends_word(s[i])) ++i;
  std::string_view w = s.substr(start, i - start);
  if (w.size() >= 2 && w[0] == '_' && w[1] == ':') return Token{Tok::NodeId, w.substr(2), start};
  return Token{Tok::Word, w, start};
}

namespace {

constexpr std::string_view kFrameKeywords[] = {
    "Class:", "ObjectProperty:", "DataProperty:", "AnnotationProperty:", "Individual:",
    "Datatype:", "EquivalentClasses:", "DisjointClasses:", "EquivalentProperties:",
    "DisjointProperties:", "SameIndividual:", "DifferentIndividuals:", "Rule:",
};

constexpr std::string_view kSectionKeywords[] = {
    "Annotations:", "SubClassOf:", "EquivalentTo:", "DisjointWith:", "DisjointUnionOf:",
    "HasKey:", "Domain:", "Range:", "Characteristics:", "SubPropertyOf:", "InverseOf:",
    "SubPropertyChain:", "Types:", "Facts:", "SameAs:", "DifferentFrom:", "Prefix:",
    "Ontology:", "Import:",
};

}  // namespace

bool is_frame_keyword(std::string_view w) {
  for (auto k : kFrameKeywords)
    if (k == w) return true;
  return false;
}

bool is_document_keyword(std::string_view w) {
  if (w.empty() || w.back() != ':') return false;
  if (is_frame_keyword(w)) return true;
  for (auto k : kSectionKeywords)
    if (k == w) return true;
  return false;
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

}  // namespace kelmon::owl::manchester
