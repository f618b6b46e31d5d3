// Conversion of OWL class expressions, individuals and property expressions
// into the internal ontology's concepts, ids and roles, interning names on the way.
#pragma once

#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/model.h"

namespace kelmon {

inline constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
inline constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
inline constexpr std::string_view kAnonIndividualPrefix = "urn:kelmon-anon:";

// The concept of a class expression; the only failure is UnsupportedDataRange.
// Names interned before a failure stay interned. Works without recursion, so
// nesting depth is limited by memory only.
UnsupportedOr<ConceptId> convert_class_expression(const owl::ClassExpression& expression, InternalOntology& onto);

// Converts in order and stops at the first failure.
UnsupportedOr<std::vector<ConceptId>> convert_class_expression_list(const std::vector<owl::ClassExpression>& list,
                                                                    InternalOntology& onto);

IndividualId individual_id(const owl::Individual& individual, InternalOntology& onto);
std::vector<IndividualId> individual_ids(const std::vector<owl::Individual>& individuals, InternalOntology& onto);

// (flag, id): flag 1 for ObjectInverseOf.
Role object_property_role(const owl::ObjectPropertyExpression& property, InternalOntology& onto);
std::vector<Role> object_property_ids(const std::vector<owl::ObjectPropertyExpression>& properties,
                                      InternalOntology& onto);

}  // namespace kelmon
