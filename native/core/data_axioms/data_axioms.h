// Told data consequences and contradictions of a loaded ontology: the data
// axiom index, the told checks and the told data pass. Include this header.
#pragma once

#include "core/data_axioms/asserted_value.h"
#include "core/data_axioms/conjunct_propagation.h"
#include "core/data_axioms/data_assertion_check.h"
#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/index_clash_checks.h"
#include "core/data_axioms/literal_checks.h"
#include "core/data_axioms/property_closure.h"
#include "core/data_axioms/range_membership.h"
#include "core/data_axioms/told_data_pass.h"
#include "core/data_axioms/value_restriction.h"
