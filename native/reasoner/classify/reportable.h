// Which classes a classification reports, each with a row: rows follow
// ascending class id; data-value key classes get none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/vocab.h"

namespace kelmon::reasoner {

struct ReportableClasses {
  std::vector<std::string> iris;                     // by row
  std::vector<ClassId> ids;                          // by row
  std::vector<std::optional<std::uint32_t>> row_of;  // by class id
};

ReportableClasses reportable_classes(const Namespace<ClassId>& classes);

}  // namespace kelmon::reasoner
