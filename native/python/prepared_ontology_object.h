// Making a Python PreparedOntology from a prepared state.
#pragma once

#include "python/py.h"
#include "reasoner/explanation/prepared_ontology.h"

namespace kelmon::py {

// A new PreparedOntology owning `state`, bound to the calling thread.
PyObject* create_prepared_ontology_object(explain::PreparedOntology&& state);

}  // namespace kelmon::py
