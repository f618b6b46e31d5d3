#pragma once
// Tokens of functional-style syntax.
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmon::owl::internal {

enum class FnToken : uint8_t {
  End, LParen, RParen, Equals, Caret2, LangTag, FullIri, PrefixedName, NodeId, String, Word, Bad,
};

struct FnLexeme {
  FnToken type = FnToken::End;
  // FullIri: between the brackets; String: between the quotes, escapes left in;
  // LangTag: after the '@'; NodeId: after "_:"; others: the token's text.
  std::string_view text;
  size_t offset = 0;
  bool has_escape = false;  // String or PrefixedName holding a backslash
};

class FnLexer {
 public:
  explicit FnLexer(std::string_view text) : text_(text) {}
  FnLexeme next();
  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// A human-readable name of a lexeme for error messages: "'Class'", "end of input".
std::string describe(const FnLexeme& l);

}  // namespace kelmon::owl::internal
