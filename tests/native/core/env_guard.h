// Sets or clears one environment variable for the life of the guard.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace kelmon::testing {

class EnvGuard {
 public:
  EnvGuard(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~EnvGuard() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace kelmon::testing
