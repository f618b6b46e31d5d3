// The module's functions, in registration order, with their documentation.
#pragma once

#include <span>

#include "python/binding.h"

namespace kelmon::py {

struct FunctionEntry {
  const char* name;
  const char* doc;  // signature line, "--", an empty line, then the description
  FastFn impl;      // the body, already inside the common call wrapper
};

// The 33 functions from classify to render_manchester.
std::span<const FunctionEntry> main_functions();
// prepare and prepare_bytes, registered after PreparedOntology.
std::span<const FunctionEntry> prepare_functions();

}  // namespace kelmon::py
