// The Python class Classification: wraps one classification record.
#pragma once

#include "python/py.h"
#include "reasoner/classify/classification.h"

namespace kelmon::py {

// A new Classification object owning `record`; nullptr with an exception set on failure.
PyObject* wrap_classification(reasoner::Classification&& record);

}  // namespace kelmon::py
