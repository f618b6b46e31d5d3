// The classification entry of the Python functions: convert, then classify.
#pragma once

#include <cstdint>
#include <optional>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "reasoner/classify/classification.h"

namespace kelmon::reasoner {

// With saturation_only: conversion and the taxonomy from saturation alone; the
// two bounds are not used. The bounded driver is not part of this path.
Result<Classification> run_classify_saturation_only(const owl::LoadedOntology& loaded);

}  // namespace kelmon::reasoner
