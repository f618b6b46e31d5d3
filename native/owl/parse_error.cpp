#include "owl/parse_error.h"

#include <string_view>

namespace kelmon::owl {

std::string ParseError::to_string() const {
  // Line 0: the failure has no place in the text (a limit over the whole document).
  if (line == 0) return message;
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message;
}

void line_and_column(std::string_view text, size_t offset, uint32_t& line, uint32_t& column) {
  if (offset > text.size()) offset = text.size();
  line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  column = static_cast<uint32_t>(offset - line_start + 1);
}

ParseError parse_error_at(std::string_view text, size_t offset, std::string message) {
  ParseError e;
  line_and_column(text, offset, e.line, e.column);
  e.message = std::move(message);
  return e;
}

}  // namespace kelmon::owl
