#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmon::owl {

// A reader failure: where (1-based line and column, columns counted in bytes) and what.
struct ParseError {
  uint32_t line = 0;
  uint32_t column = 0;
  std::string message;  // e.g. "expected ')', found 'Class'"

  // "line {}, column {}: {}", or only the message when line is 0 (no place known)
  std::string to_string() const;
};

// Nesting of class expressions, data ranges and annotations beyond this depth is a
// parse error, so no reader or walk can exhaust the stack.
inline constexpr uint32_t kMaxNestingDepth = 10000;

// 1-based line and byte column of an offset into a text.
void line_and_column(std::string_view text, size_t offset, uint32_t& line, uint32_t& column);

// The error at an offset into a text.
ParseError parse_error_at(std::string_view text, size_t offset, std::string message);

}  // namespace kelmon::owl
