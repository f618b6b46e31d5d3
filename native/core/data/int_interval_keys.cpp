#include "core/data/int_interval_keys.h"

#include "core/data/dkey_decode.h"

namespace kelmon {

std::optional<IntIntervalKey> IntIntervalKeys::next_int_interval_key() {
  while (position_ < classes_->size()) {
    const ClassId cls{position_++};
    if (auto intervals = decode_int_intervals_key(classes_->name(cls))) return IntIntervalKey{cls, std::move(*intervals)};
  }
  return std::nullopt;
}

}  // namespace kelmon
