// Whether integer-valued requirements with counts on one data property of one
// node can be met together. Sound, not complete: true means no set of integers
// meets them all; false means this check found no contradiction.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/data/intervals.h"

namespace kelmon {

struct IntCountRestriction {
  IntInterval interval;
  std::uint32_t count = 0;  // distinct values required (at-least) or allowed at most (at-most)

  bool operator==(const IntCountRestriction&) const = default;
};

// `global` is the intersection of all all-values intervals (absent: unbounded).
// Pure; safe to call from many threads at once.
bool int_cardinality_clash(const std::optional<IntInterval>& global, std::span<const IntCountRestriction> at_least,
                           std::span<const IntCountRestriction> at_most);

}  // namespace kelmon
