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
