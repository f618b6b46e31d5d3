// Walks the class names of a vocabulary and yields its integer interval keys
// (bare and "iset:"), each with the ClassId of its name.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/ids.h"
#include "core/data/intervals.h"
#include "core/vocab.h"

namespace kelmon {

struct IntIntervalKey {
  ClassId cls;
  std::vector<IntInterval> intervals;  // one as written for a bare key; normalised for "iset:"
  bool operator==(const IntIntervalKey&) const = default;
};

// The names are read in ClassId order; the namespace must outlive the walk
// and not grow during it.
class IntIntervalKeys {
 public:
  explicit IntIntervalKeys(const Namespace<ClassId>& classes) : classes_(&classes) {}

  // The next key, or none when the names run out. Other names are skipped.
  std::optional<IntIntervalKey> next_int_interval_key();

 private:
  const Namespace<ClassId>* classes_;
  std::uint32_t position_ = 0;
};

}  // namespace kelmon
