// The Core IR: interned names, hash-consed concepts, ordered axioms and the
// internal ontology, with its passes (negation normal form, told tables and
// definitions, told rewrites of unions, role hierarchy, negation and
// functionality passes, TBox absorption, DL-clauses). Include this header.
#pragma once

#include "common/ids.h"
#include "core/absorption.h"
#include "core/axiom.h"
#include "core/clause.h"
#include "core/clausifier.h"
#include "core/concept.h"
#include "core/concept_pool.h"
#include "core/negation_gci.h"
#include "core/nnf.h"
#include "core/ontology.h"
#include "core/role_hierarchy.h"
#include "core/row_table.h"
#include "core/told.h"
#include "core/told_rewrites.h"
#include "core/vocab.h"
