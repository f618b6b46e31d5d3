// Splitting key and literal texts at a separator, without allocating.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kelmon {

// Exactly N pieces at every `sep`; none for any other count.
template <std::size_t N>
std::optional<std::array<std::string_view, N>> split_exact(std::string_view text, char sep) {
  std::array<std::string_view, N> pieces;
  std::size_t count = 0;
  while (true) {
    if (count == N) return std::nullopt;
    const auto at = text.find(sep);
    pieces[count++] = text.substr(0, at);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  if (count != N) return std::nullopt;
  return pieces;
}

// Calls `f` on every piece between separators (an empty text is one empty
// piece); stops early and returns false as soon as `f` does.
template <class F>
bool for_each_piece(std::string_view text, char sep, F f) {
  while (true) {
    const auto at = text.find(sep);
    if (!f(text.substr(0, at))) return false;
    if (at == std::string_view::npos) return true;
    text.remove_prefix(at + 1);
  }
}

}  // namespace kelmon
