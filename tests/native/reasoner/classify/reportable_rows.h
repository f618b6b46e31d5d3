// n reportable classes "c0".."c{n-1}" with ids and rows equal to their index.
#pragma once

#include <cstdint>
#include <string>

#include "reasoner/classify/reportable.h"

namespace kelmon::reasoner::testing {

inline ReportableClasses reportable_rows(std::size_t n) {
  ReportableClasses out;
  for (std::uint32_t i = 0; i < n; ++i) {
    out.iris.push_back("c" + std::to_string(i));
    out.ids.push_back(ClassId{i});
    out.row_of.emplace_back(i);
  }
  return out;
}

}  // namespace kelmon::reasoner::testing
