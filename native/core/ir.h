// The Core IR: interned names, hash-consed concepts, ordered axioms and the
// internal ontology, with negation normal form. Include this header.
#pragma once

#include "common/ids.h"
#include "core/axiom.h"
#include "core/concept.h"
#include "core/concept_pool.h"
#include "core/nnf.h"
#include "core/ontology.h"
#include "core/vocab.h"
