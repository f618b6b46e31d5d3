// The data-value key classes of a vocabulary, decoded and sorted into one list
// per kind. A class lands in at most one list (the kind prefixes are
// prefix-free); a name that does not decode stays a plain class.
#pragma once

#include <vector>

#include "common/ids.h"
#include "core/data/dkey_decode.h"
#include "core/data/intervals.h"
#include "core/data/value_range.h"
#include "core/data/value_sets.h"
#include "core/vocab.h"

namespace kelmon {

template <class Value>
struct KeyEntry {
  ClassId cls;
  Value value;
};

template <class Value>
using KeyList = std::vector<KeyEntry<Value>>;

// Each list in ascending ClassId order.
struct KeyLists {
  KeyList<std::vector<IntInterval>> ints;  // bare keys (one interval, as written) and "iset:" keys
  KeyList<FloatInterval> floats;
  KeyList<FloatInterval> doubles;
  KeyList<DecimalInterval> decimals;
  KeyList<DateInterval> dates;
  KeyList<DateTimeInterval> date_times;
  KeyList<ValueRange::Strings> strings;
  KeyList<LangStrings> langs;
  KeyList<IntValueSet> int_sets;
  KeyList<FloatValueSet> float_sets;
  KeyList<FloatValueSet> double_sets;
  KeyList<DecimalValueSet> decimal_sets;
  KeyList<DateValueSet> date_sets;
  KeyList<DateTimeValueSet> date_time_sets;
};

// With `one_of` false the six one-of lists stay empty.
KeyLists decode_key_lists(const Namespace<ClassId>& classes, bool one_of);

// True for names of at least 16 bytes that begin with "urn:kelmon-dkey:",
// whether or not the rest decodes.
bool is_key_class_name(std::string_view name);

}  // namespace kelmon
