// Sets one KELMON_ switch (or clears it, given nullopt) for the life of the
// object and puts the earlier value back afterwards. A switch read once per
// process keeps its first value whatever the environment says later, so it is
// refused here: a test that needs it at another value runs in a subprocess.
#pragma once

#include <stdlib.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "common/switches.h"

namespace kelmon::testing {

class ScopedSwitch {
 public:
  ScopedSwitch(SwitchId id, std::optional<std::string> value) : name_(switch_info(id).name) {
    if (switch_info(id).read == SwitchRead::Process)
      throw std::logic_error(name_ + " is read once per process: set it in a subprocess");
    old_ = switch_text(id);
    set(value);
  }
  ~ScopedSwitch() { set(old_); }
  ScopedSwitch(const ScopedSwitch&) = delete;
  ScopedSwitch& operator=(const ScopedSwitch&) = delete;

 private:
  void set(const std::optional<std::string>& value) {
    if (value) ::setenv(name_.c_str(), value->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace kelmon::testing
