#pragma once
// Writer of single axioms in OWL 2 functional-style syntax, every IRI in full.
#include <string>

#include "owl/model.h"

namespace kelmon::owl {

// One component in functional syntax with its annotations, e.g.
// "SubClassOf(Annotation(<p> \"x\") <A> ObjectSomeValuesFrom(<r> <B>))". The ontology
// header is written as "Ontology(<iri> <version>)", an import as "Import(<iri>)" and an
// ontology annotation as its "Annotation(...)".
std::string write_functional_axiom(const AnnotatedAxiom& axiom);
// The same without annotations.
std::string write_functional_axiom(const Axiom& axiom);

// Writes a literal as functional and Manchester syntax both do: the lexical form in
// double quotes with '"' and '\' escaped by '\', then "@tag" or "^^<datatype>".
void append_literal(const Literal& literal, std::string& out);

}  // namespace kelmon::owl
