// The told types of named individuals: each asserted class with its told
// named superclasses.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/data_axioms/property_closure.h"

namespace kelmon {

// individual -> classes; a class without a closure entry stands for itself.
std::map<std::string, IriSet> told_types(const std::vector<IriPair>& class_assertions, const ClosureSets& class_closure);

}  // namespace kelmon
