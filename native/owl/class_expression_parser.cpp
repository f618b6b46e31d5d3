#include "owl/class_expression_parser.h"

#include "common/overload.h"
#include "owl/internal/manchester_grammar.h"

namespace kelmon::owl {

// ---- the document's properties and datatypes ------------------------------------------

BuildContext build_context(const AxiomSet& axioms) {
  BuildContext c;
  auto obj = [&](const ObjectPropertyExpression& p) {
    c.object_properties.insert(std::string(named_property(p).iri.str()));
  };
  auto data = [&](const DataProperty& p) { c.data_properties.insert(std::string(p.iri.str())); };
  for (const auto& a : axioms) {
    std::visit(Overload{
                   [&](const DeclareObjectProperty& x) { obj(ObjectProperty{x.entity.iri}); },
                   [&](const DeclareDataProperty& x) { data(x.entity); },
                   [&](const DeclareDatatype& x) { c.datatypes.insert(std::string(x.entity.iri.str())); },
                   [&](const DatatypeDefinition& x) { c.datatypes.insert(std::string(x.datatype.iri.str())); },
                   [&](const SubObjectPropertyOf& x) {
                     if (auto* p = std::get_if<ObjectPropertyExpression>(&x.sub)) obj(*p);
                     else for (const auto& p : std::get<ObjectPropertyChain>(x.sub).properties) obj(p);
                     obj(x.sup);
                   },
                   [&](const EquivalentObjectProperties& x) { for (const auto& p : x.members) obj(p); },
                   [&](const DisjointObjectProperties& x) { for (const auto& p : x.members) obj(p); },
                   [&](const InverseObjectProperties& x) { obj(x.first); obj(x.second); },
                   [&](const ObjectPropertyDomain& x) { obj(x.property); },
                   [&](const ObjectPropertyRange& x) { obj(x.property); },
                   [&](const FunctionalObjectProperty& x) { obj(x.property); },
                   [&](const InverseFunctionalObjectProperty& x) { obj(x.property); },
                   [&](const ReflexiveObjectProperty& x) { obj(x.property); },
                   [&](const IrreflexiveObjectProperty& x) { obj(x.property); },
                   [&](const SymmetricObjectProperty& x) { obj(x.property); },
                   [&](const AsymmetricObjectProperty& x) { obj(x.property); },
                   [&](const TransitiveObjectProperty& x) { obj(x.property); },
                   [&](const ObjectPropertyAssertion& x) { obj(x.property); },
                   [&](const NegativeObjectPropertyAssertion& x) { obj(x.property); },
                   [&](const SubDataPropertyOf& x) { data(x.sub); data(x.sup); },
                   [&](const EquivalentDataProperties& x) { for (const auto& p : x.members) data(p); },
                   [&](const DisjointDataProperties& x) { for (const auto& p : x.members) data(p); },
                   [&](const DataPropertyDomain& x) { data(x.property); },
                   [&](const DataPropertyRange& x) { data(x.property); },
                   [&](const FunctionalDataProperty& x) { data(x.property); },
                   [&](const DataPropertyAssertion& x) { data(x.property); },
                   [&](const NegativeDataPropertyAssertion& x) { data(x.property); },
                   [](const auto&) {},
               },
               a.axiom);
  }
  return c;
}


std::expected<ClassExpression, ParseError> parse_class_expression(std::string_view text,
                                                                  const PrefixMapping& prefixes,
                                                                  const BuildContext& context) {
  try {
    manchester::Grammar parser(text, prefixes, context);
    return parser.document();
  } catch (const manchester::Failure& f) {
    return std::unexpected(parse_error_at(text, f.offset, f.message));
  }
}

}  // namespace kelmon::owl
