// Whether a data value lies inside every key of one list and outside every key
// of another: the test behind a value node's clash in the tableau and behind
// trusting a hypertableau model whose nodes carry data-value keys.
#pragma once

#include <cstdint>
#include <span>

#include "core/data/dkey_value.h"

namespace kelmon {

enum class KeyWitness : std::uint8_t {
  Found,    // some value fits
  None,     // no value fits
  Unknown,  // these checks cannot tell
};

// Integers are searched exactly (integer and decimal keys alike); dense ranges
// minus finitely many values are not empty; a key holding few values is
// searched value by value. Unknown when `inside` is empty.
KeyWitness key_witness(std::span<const DKeyValue* const> inside, std::span<const DKeyValue* const> outside);

}  // namespace kelmon
