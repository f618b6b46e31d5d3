// Broken internal invariants. They are bugs, never answers: the one exception
// type below carries a fixed message up to the binding layer, which raises it
// as the module's internal-failure exception.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace kelmon {

class InvariantFailure : public std::exception {
 public:
  explicit InvariantFailure(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

[[noreturn]] void invariant_failure(std::string_view message);

// Checks a condition that only a bug can break; `message` is the fixed text.
inline void invariant(bool ok, std::string_view message) {
  if (!ok) [[unlikely]] invariant_failure(message);
}
// For a message held in a pointer (not a literal): its length is only
// measured on failure, so checks in hot loops cost no strlen.
inline void invariant(bool ok, const char* message) {
  if (!ok) [[unlikely]] invariant_failure(message);
}

}  // namespace kelmon
