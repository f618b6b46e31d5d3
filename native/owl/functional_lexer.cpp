#include "owl/internal/functional_lexer.h"

#include <array>

namespace kelmon::owl::internal {

namespace {
// Bytes that end a bare word: blanks, brackets, quotes and the other delimiters.
constexpr std::array<bool, 256> make_delimiters() {
  std::array<bool, 256> d{};
  for (unsigned char c : std::string_view(" \t\r\n\f\v()<>\"=^@#")) d[c] = true;
  return d;
}
constexpr auto kDelimiter = make_delimiters();

inline bool is_blank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
}  // namespace

FnLexeme FnLexer::next() {
  const size_t n = text_.size();
  const char* s = text_.data();
  for (;;) {
    while (pos_ < n && is_blank(static_cast<unsigned char>(s[pos_]))) ++pos_;
    if (pos_ < n && s[pos_] == '#') {
      while (pos_ < n && s[pos_] != '\n') ++pos_;
      continue;
    }
    break;
  }
  FnLexeme l;
  l.offset = pos_;
  if (pos_ >= n) return l;
  char c = s[pos_];
  switch (c) {
    case '(': l.type = FnToken::LParen; l.text = text_.substr(pos_++, 1); return l;
    case ')': l.type = FnToken::RParen; l.text = text_.substr(pos_++, 1); return l;
    case '=': l.type = FnToken::Equals; l.text = text_.substr(pos_++, 1); return l;
    case '^':
      if (pos_ + 1 < n && s[pos_ + 1] == '^') {
        l.type = FnToken::Caret2;
        l.text = text_.substr(pos_, 2);
        pos_ += 2;
        return l;
      }
      l.type = FnToken::Bad;
      l.text = text_.substr(pos_++, 1);
      return l;
    case '<': {
      size_t start = ++pos_;
      while (pos_ < n && s[pos_] != '>') {
        unsigned char b = static_cast<unsigned char>(s[pos_]);
        // IRIs hold no blanks, quotes or angle brackets.
        if (b <= 0x20 || b == '<' || b == '"' || b == '{' || b == '}' || b == '|' || b == '`') {
          l.type = FnToken::Bad;
          l.offset = pos_;
          l.text = "IRI";
          return l;
        }
        ++pos_;
      }
      if (pos_ >= n) {
        l.type = FnToken::Bad;
        l.text = "IRI";
        return l;
      }
      l.type = FnToken::FullIri;
      l.text = text_.substr(start, pos_ - start);
      ++pos_;
      return l;
    }
    case '"': {
      size_t start = ++pos_;
      while (pos_ < n && s[pos_] != '"') {
        if (s[pos_] == '\\') {
          l.has_escape = true;
          ++pos_;
        }
        ++pos_;
      }
      if (pos_ >= n) {
        l.type = FnToken::Bad;
        l.text = "string";
        return l;
      }
      l.type = FnToken::String;
      l.text = text_.substr(start, pos_ - start);
      ++pos_;
      return l;
    }
    case '@': {
      size_t start = ++pos_;
      while (pos_ < n && !kDelimiter[static_cast<unsigned char>(s[pos_])]) ++pos_;
      l.type = FnToken::LangTag;
      l.text = text_.substr(start, pos_ - start);
      return l;
    }
    default: break;
  }
  size_t start = pos_;
  bool colon = false;
  while (pos_ < n) {
    unsigned char b = static_cast<unsigned char>(s[pos_]);
    if (kDelimiter[b]) break;
    if (b == ':') colon = true;
    if (b == '\\' && pos_ + 1 < n) {
      l.has_escape = true;
      ++pos_;
    }
    ++pos_;
  }
  if (pos_ == start) {
    l.type = FnToken::Bad;
    l.text = text_.substr(pos_++, 1);
    return l;
  }
  l.text = text_.substr(start, pos_ - start);
  if (l.text.size() >= 2 && l.text[0] == '_' && l.text[1] == ':') {
    l.type = FnToken::NodeId;
    l.text.remove_prefix(2);
  } else {
    l.type = colon ? FnToken::PrefixedName : FnToken::Word;
  }
  return l;
}

std::string describe(const FnLexeme& l) {
  switch (l.type) {
    case FnToken::End: return "end of input";
    case FnToken::FullIri: return "IRI <" + std::string(l.text.substr(0, 80)) + ">";
    case FnToken::String: return "string literal";
    case FnToken::LangTag: return "language tag '@" + std::string(l.text.substr(0, 40)) + "'";
    case FnToken::NodeId: return "node id '_:" + std::string(l.text.substr(0, 40)) + "'";
    case FnToken::Bad:
      if (l.text == "IRI") return "unterminated or malformed IRI";
      if (l.text == "string") return "unterminated string";
      return "unexpected character '" + std::string(l.text) + "'";
    default: return "'" + std::string(l.text.substr(0, 80)) + "'";
  }
}

}  // namespace kelmon::owl::internal
