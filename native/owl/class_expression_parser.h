#pragma once
// Parser of one class expression in Manchester syntax (a ClassExpressionDocument),
// resolving names against a document's prefixes.
#include <expected>
#include <string>
#include <string_view>

#include <tsl/robin_set.h>

#include "owl/axiom_set.h"
#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl {

// What the parser needs to know of the document: a name followed by "some", "only",
// "value" or a cardinality is an object property unless the document uses it as a data
// property (and not as an object property), or the filler can only be data (a literal,
// a datatype, a facet restriction, a literal enumeration).
struct BuildContext {
  tsl::robin_set<std::string> object_properties;
  tsl::robin_set<std::string> data_properties;
  tsl::robin_set<std::string> datatypes;  // declared or defined by the document
};

// Collects the declarations and the property and datatype axioms of the document.
BuildContext build_context(const AxiomSet& axioms);

// Parses `text`, which must hold exactly one class expression. Names are full IRIs in
// angle brackets, prefixed names ("pizza:Margherita") or simple names, which use the
// default prefix "". Precedence, loosest first: or, and, not, restrictions. The words
// that open a document's frames and sections ("Class:", "SubClassOf:", ...) are no names,
// and true / false are xsd:boolean literals.
// Errors give the line and column; an empty text gives "empty class expression".
std::expected<ClassExpression, ParseError> parse_class_expression(std::string_view text,
                                                                  const PrefixMapping& prefixes,
                                                                  const BuildContext& context);

}  // namespace kelmon::owl
