#pragma once
// Reader of Manchester syntax ontology documents ("omn", also "manchester").
#include <expected>
#include <string_view>

#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl {

// Reads a whole document: Prefix: declarations, the Ontology: header with its IRI and
// version IRI, Import: (recorded, never fetched), ontology Annotations:, and every
// frame (Class:, ObjectProperty:, DataProperty:, AnnotationProperty:, Individual:,
// Datatype:) with its sections, plus the EquivalentClasses:, DisjointClasses:,
// EquivalentProperties:, DisjointProperties:, SameIndividual: and DifferentIndividuals:
// axioms, and Rule: frames ("A(?x), r(?x, ?y) -> B(?y)"; ?x is the variable
// urn:swrl:var#x; SameAs/DifferentFrom atoms; an swrlb: predicate or more than two
// arguments make a built-in atom). Annotations may precede every item of a section. A frame declares its entity
// (an anonymous individual excepted). A property is a data property when the document
// gives it a DataProperty: frame and no ObjectProperty: frame; otherwise the value it
// takes decides (a literal makes a data property), and an object property is assumed.
// The prefix mapping holds the declared prefixes and the standard ones (owl, rdf, rdfs,
// xsd, xml) unless the document declares them otherwise. On failure nothing is
// returned but the error.
std::expected<LoadedOntology, ParseError> read_manchester(std::string_view text);

}  // namespace kelmon::owl
