#include "common/invariant.h"

namespace kelmon {

void invariant_failure(std::string_view message) { throw InvariantFailure(std::string(message)); }

}  // namespace kelmon
