// Data values and data-value keys: exact XSD values, intervals and value
// ranges, the readers of OWL data ranges, the integer cardinality check, and
// the key grammar with its encoders and decoders. Include this header.
#pragma once

#include "core/data/datatype_family.h"
#include "core/data/datatype_iri.h"
#include "core/data/date_time_value.h"
#include "core/data/decimal_intervals.h"
#include "core/data/decimal_value.h"
#include "core/data/dkey_decode.h"
#include "core/data/dkey_encode.h"
#include "core/data/dkey_fields.h"
#include "core/data/dkey_value.h"
#include "core/data/int_cardinality.h"
#include "core/data/int_interval_keys.h"
#include "core/data/integer_intervals.h"
#include "core/data/intervals.h"
#include "core/data/range_readers.h"
#include "core/data/value_range.h"
#include "core/data/value_sets.h"
#include "core/data/xsd_float.h"
#include "core/data/xsd_integer.h"
