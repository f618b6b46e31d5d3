// Shared steps of the saturation entry points.
#pragma once

#include "core/ir.h"
#include "saturation/internal/engine.h"

namespace kelmon::sat {

// Role closure, rule base, optional provenance, engine, seeded (not yet run).
ElEngine make_engine(const InternalOntology& ir, bool proof);

}  // namespace kelmon::sat
