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

// class -> the individuals whose told types hold it, in ascending order.
std::map<std::string, std::vector<std::string>> told_members(const std::map<std::string, IriSet>& types);

}  // namespace kelmon
