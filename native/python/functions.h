// The module's functions (function_list.h), in registration order, with their documentation.
#pragma once

#include <span>

#include "python/binding.h"

namespace kelmon::py {

struct FunctionEntry {
  const char* name;
  const char* doc;  // signature line, "--", an empty line, then the description
  FastFn impl;      // the body, already inside the common call wrapper
};

// The functions registered after Classification, from classify to render_manchester.
std::span<const FunctionEntry> main_functions();
// The functions registered after PreparedOntology: prepare and prepare_bytes.
std::span<const FunctionEntry> prepare_functions();

}  // namespace kelmon::py
