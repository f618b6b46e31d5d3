#include "owl/functional_writer.h"

#include "common/overload.h"
#include "owl/facet.h"
#include "owl/internal/text_emitter.h"

namespace kelmon::owl {

namespace internal {
void append_iri(const Iri& iri, std::string& out) {
  out.push_back('<');
  out.append(iri.str());
  out.push_back('>');
}
void append_individual(const Individual& i, std::string& out) {
  if (auto* n = std::get_if<NamedIndividual>(&i)) {
    append_iri(n->iri, out);
  } else {
    out.append("_:");
    out.append(std::get<AnonymousIndividual>(i).node_id.str());
  }
}
}  // namespace internal

void append_literal(const Literal& l, std::string& out) {
  out.push_back('"');
  for (char c : l.lexical) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  if (l.form == LiteralForm::LanguageTagged) {
    out.push_back('@');
    out.append(l.language.str());
  } else if (l.form == LiteralForm::Typed) {
    out.append("^^");
    internal::append_iri(l.datatype.iri, out);
  }
}

namespace {

using internal::Piece;
using internal::Work;

class FunctionalEmitter : public internal::Emitter {
 public:
  using Emitter::Emitter;

  void axiom(const Axiom& ax, const AnnotationSet* annotations) {
    std::visit([&](const auto& a) { component(a, annotations); }, ax);
    run();
  }

 private:
  void iri(const Iri& i) { add(Piece::IriRef, &i); }
  void ope(const ObjectPropertyExpression& p) { add(Piece::ObjectProperty, &p); }
  void ind(const Individual& i) { add(Piece::Individual, &i); }
  void ce(const ClassExpression& c) { add(Piece::ClassExpr, &c); }
  void dr(const DataRange& d) { add(Piece::DataRange, &d); }
  void lit(const Literal& l) { add(Piece::Literal, &l); }
  void sp() { t(" "); }

  void open(std::string_view name, const AnnotationSet* annotations) {
    t(name);
    t("(");
    if (annotations) {
      for (const Annotation& a : *annotations) {
        add(Piece::Annotation, &a);
        sp();
      }
    }
  }
  void close() { t(")"); }

  template <class T>
  void list(const std::vector<T>& v, Piece piece) { join(piece, v, " "); }

  void entity(std::string_view kind, const Iri& i, const AnnotationSet* annotations) {
    open("Declaration", annotations);
    t(kind);
    t("(");
    iri(i);
    t("))");
  }

  void component(const OntologyHeader& a, const AnnotationSet*) {
    t("Ontology(");
    if (!a.ontology_iri.empty()) {
      iri(a.ontology_iri);
      if (!a.version_iri.empty()) {
        sp();
        iri(a.version_iri);
      }
    }
    close();
  }
  void component(const OntologyAnnotation& a, const AnnotationSet*) {
    add(Piece::Annotation, &a.annotation);
  }
  void component(const Import& a, const AnnotationSet*) {
    t("Import(");
    iri(a.iri);
    close();
  }
  void component(const DeclareClass& a, const AnnotationSet* an) { entity("Class", a.entity.iri, an); }
  void component(const DeclareObjectProperty& a, const AnnotationSet* an) { entity("ObjectProperty", a.entity.iri, an); }
  void component(const DeclareAnnotationProperty& a, const AnnotationSet* an) { entity("AnnotationProperty", a.entity.iri, an); }
  void component(const DeclareDataProperty& a, const AnnotationSet* an) { entity("DataProperty", a.entity.iri, an); }
  void component(const DeclareNamedIndividual& a, const AnnotationSet* an) { entity("NamedIndividual", a.entity.iri, an); }
  void component(const DeclareDatatype& a, const AnnotationSet* an) { entity("Datatype", a.entity.iri, an); }
  void component(const SubClassOf& a, const AnnotationSet* an) {
    open("SubClassOf", an); ce(a.sub); sp(); ce(a.sup); close();
  }
  void component(const EquivalentClasses& a, const AnnotationSet* an) {
    open("EquivalentClasses", an); list(a.members, Piece::ClassExpr); close();
  }
  void component(const DisjointClasses& a, const AnnotationSet* an) {
    open("DisjointClasses", an); list(a.members, Piece::ClassExpr); close();
  }
  void component(const DisjointUnion& a, const AnnotationSet* an) {
    open("DisjointUnion", an); iri(a.cls.iri); sp(); list(a.members, Piece::ClassExpr); close();
  }
  void component(const SubObjectPropertyOf& a, const AnnotationSet* an) {
    open("SubObjectPropertyOf", an);
    if (auto* p = std::get_if<ObjectPropertyExpression>(&a.sub)) {
      ope(*p);
    } else {
      t("ObjectPropertyChain(");
      list(std::get<ObjectPropertyChain>(a.sub).properties, Piece::ObjectProperty);
      close();
    }
    sp(); ope(a.sup); close();
  }
  void component(const EquivalentObjectProperties& a, const AnnotationSet* an) {
    open("EquivalentObjectProperties", an); list(a.members, Piece::ObjectProperty); close();
  }
  void component(const DisjointObjectProperties& a, const AnnotationSet* an) {
    open("DisjointObjectProperties", an); list(a.members, Piece::ObjectProperty); close();
  }
  void component(const InverseObjectProperties& a, const AnnotationSet* an) {
    open("InverseObjectProperties", an); ope(a.first); sp(); ope(a.second); close();
  }
  void component(const ObjectPropertyDomain& a, const AnnotationSet* an) {
    open("ObjectPropertyDomain", an); ope(a.property); sp(); ce(a.domain); close();
  }
  void component(const ObjectPropertyRange& a, const AnnotationSet* an) {
    open("ObjectPropertyRange", an); ope(a.property); sp(); ce(a.range); close();
  }
  void characteristic(std::string_view name, const ObjectPropertyExpression& p, const AnnotationSet* an) {
    open(name, an); ope(p); close();
  }
  void component(const FunctionalObjectProperty& a, const AnnotationSet* an) { characteristic("FunctionalObjectProperty", a.property, an); }
  void component(const InverseFunctionalObjectProperty& a, const AnnotationSet* an) { characteristic("InverseFunctionalObjectProperty", a.property, an); }
  void component(const ReflexiveObjectProperty& a, const AnnotationSet* an) { characteristic("ReflexiveObjectProperty", a.property, an); }
  void component(const IrreflexiveObjectProperty& a, const AnnotationSet* an) { characteristic("IrreflexiveObjectProperty", a.property, an); }
  void component(const SymmetricObjectProperty& a, const AnnotationSet* an) { characteristic("SymmetricObjectProperty", a.property, an); }
  void component(const AsymmetricObjectProperty& a, const AnnotationSet* an) { characteristic("AsymmetricObjectProperty", a.property, an); }
  void component(const TransitiveObjectProperty& a, const AnnotationSet* an) { characteristic("TransitiveObjectProperty", a.property, an); }
  void component(const SubDataPropertyOf& a, const AnnotationSet* an) {
    open("SubDataPropertyOf", an); iri(a.sub.iri); sp(); iri(a.sup.iri); close();
  }
  void data_properties(const std::vector<DataProperty>& v) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (i > 0) sp();
      iri(v[i].iri);
    }
  }
  void component(const EquivalentDataProperties& a, const AnnotationSet* an) {
    open("EquivalentDataProperties", an); data_properties(a.members); close();
  }
  void component(const DisjointDataProperties& a, const AnnotationSet* an) {
    open("DisjointDataProperties", an); data_properties(a.members); close();
  }
  void component(const DataPropertyDomain& a, const AnnotationSet* an) {
    open("DataPropertyDomain", an); iri(a.property.iri); sp(); ce(a.domain); close();
  }
  void component(const DataPropertyRange& a, const AnnotationSet* an) {
    open("DataPropertyRange", an); iri(a.property.iri); sp(); dr(a.range); close();
  }
  void component(const FunctionalDataProperty& a, const AnnotationSet* an) {
    open("FunctionalDataProperty", an); iri(a.property.iri); close();
  }
  void component(const DatatypeDefinition& a, const AnnotationSet* an) {
    open("DatatypeDefinition", an); iri(a.datatype.iri); sp(); dr(a.range); close();
  }
  void component(const HasKey& a, const AnnotationSet* an) {
    open("HasKey", an); ce(a.class_expression); t(" (");
    list(a.object_properties, Piece::ObjectProperty);
    t(") (");
    data_properties(a.data_properties);
    t("))");
  }
  void component(const SameIndividual& a, const AnnotationSet* an) {
    open("SameIndividual", an); list(a.members, Piece::Individual); close();
  }
  void component(const DifferentIndividuals& a, const AnnotationSet* an) {
    open("DifferentIndividuals", an); list(a.members, Piece::Individual); close();
  }
  void component(const ClassAssertion& a, const AnnotationSet* an) {
    open("ClassAssertion", an); ce(a.class_expression); sp(); ind(a.individual); close();
  }
  void component(const ObjectPropertyAssertion& a, const AnnotationSet* an) {
    open("ObjectPropertyAssertion", an); ope(a.property); sp(); ind(a.subject); sp(); ind(a.object); close();
  }
  void component(const NegativeObjectPropertyAssertion& a, const AnnotationSet* an) {
    open("NegativeObjectPropertyAssertion", an); ope(a.property); sp(); ind(a.subject); sp(); ind(a.object); close();
  }
  void component(const DataPropertyAssertion& a, const AnnotationSet* an) {
    open("DataPropertyAssertion", an); iri(a.property.iri); sp(); ind(a.subject); sp(); lit(a.value); close();
  }
  void component(const NegativeDataPropertyAssertion& a, const AnnotationSet* an) {
    open("NegativeDataPropertyAssertion", an); iri(a.property.iri); sp(); ind(a.subject); sp(); lit(a.value); close();
  }
  void component(const AnnotationAssertion& a, const AnnotationSet* an) {
    open("AnnotationAssertion", an); iri(a.property.iri); sp();
    add(Piece::AnnotationSubject, &a.subject); sp();
    add(Piece::AnnotationValue, &a.value); close();
  }
  void component(const SubAnnotationPropertyOf& a, const AnnotationSet* an) {
    open("SubAnnotationPropertyOf", an); iri(a.sub.iri); sp(); iri(a.sup.iri); close();
  }
  void component(const AnnotationPropertyDomain& a, const AnnotationSet* an) {
    open("AnnotationPropertyDomain", an); iri(a.property.iri); sp(); iri(a.domain); close();
  }
  void component(const AnnotationPropertyRange& a, const AnnotationSet* an) {
    open("AnnotationPropertyRange", an); iri(a.property.iri); sp(); iri(a.range); close();
  }
  void component(const Rule& a, const AnnotationSet* an) {
    open("DLSafeRule", an);
    t("Body(");
    list(a.body, Piece::AtomItem);
    t(") Head(");
    list(a.head, Piece::AtomItem);
    t("))");
  }

  void class_expression(const ClassExpression& c) {
    std::visit(
        Overload{
            [&](const Class& x) { iri(x.iri); },
            [&](const ObjectIntersectionOf& x) { t("ObjectIntersectionOf("); list(x.operands, Piece::ClassExpr); close(); },
            [&](const ObjectUnionOf& x) { t("ObjectUnionOf("); list(x.operands, Piece::ClassExpr); close(); },
            [&](const ObjectComplementOf& x) { t("ObjectComplementOf("); ce(x.operand); close(); },
            [&](const ObjectOneOf& x) { t("ObjectOneOf("); list(x.individuals, Piece::Individual); close(); },
            [&](const ObjectSomeValuesFrom& x) { t("ObjectSomeValuesFrom("); ope(x.property); sp(); ce(x.filler); close(); },
            [&](const ObjectAllValuesFrom& x) { t("ObjectAllValuesFrom("); ope(x.property); sp(); ce(x.filler); close(); },
            [&](const ObjectHasValue& x) { t("ObjectHasValue("); ope(x.property); sp(); ind(x.individual); close(); },
            [&](const ObjectHasSelf& x) { t("ObjectHasSelf("); ope(x.property); close(); },
            [&](const ObjectMinCardinality& x) { t("ObjectMinCardinality("); num(x.cardinality); sp(); ope(x.property); sp(); ce(x.filler); close(); },
            [&](const ObjectMaxCardinality& x) { t("ObjectMaxCardinality("); num(x.cardinality); sp(); ope(x.property); sp(); ce(x.filler); close(); },
            [&](const ObjectExactCardinality& x) { t("ObjectExactCardinality("); num(x.cardinality); sp(); ope(x.property); sp(); ce(x.filler); close(); },
            [&](const DataSomeValuesFrom& x) { t("DataSomeValuesFrom("); iri(x.property.iri); sp(); dr(x.filler); close(); },
            [&](const DataAllValuesFrom& x) { t("DataAllValuesFrom("); iri(x.property.iri); sp(); dr(x.filler); close(); },
            [&](const DataHasValue& x) { t("DataHasValue("); iri(x.property.iri); sp(); lit(x.value); close(); },
            [&](const DataMinCardinality& x) { t("DataMinCardinality("); num(x.cardinality); sp(); iri(x.property.iri); sp(); dr(x.filler); close(); },
            [&](const DataMaxCardinality& x) { t("DataMaxCardinality("); num(x.cardinality); sp(); iri(x.property.iri); sp(); dr(x.filler); close(); },
            [&](const DataExactCardinality& x) { t("DataExactCardinality("); num(x.cardinality); sp(); iri(x.property.iri); sp(); dr(x.filler); close(); },
        },
        c.data());
  }

  void data_range(const DataRange& d) {
    std::visit(Overload{
                   [&](const Datatype& x) { iri(x.iri); },
                   [&](const DataIntersectionOf& x) { t("DataIntersectionOf("); list(x.operands, Piece::DataRange); close(); },
                   [&](const DataUnionOf& x) { t("DataUnionOf("); list(x.operands, Piece::DataRange); close(); },
                   [&](const DataComplementOf& x) { t("DataComplementOf("); dr(x.operand); close(); },
                   [&](const DataOneOf& x) { t("DataOneOf("); list(x.literals, Piece::Literal); close(); },
                   [&](const DatatypeRestriction& x) {
                     t("DatatypeRestriction(");
                     iri(x.datatype.iri);
                     for (const auto& f : x.restrictions) {
                       t(" <");
                       t(facet_iri(f.facet));
                       t("> ");
                       lit(f.value);
                     }
                     close();
                   },
               },
               d.data());
  }

  void atom(const Atom& a) {
    std::visit(Overload{
                   [&](const ClassAtom& x) { t("ClassAtom("); ce(x.class_expression); sp(); add(Piece::IndividualArg, &x.argument); close(); },
                   [&](const DataRangeAtom& x) { t("DataRangeAtom("); dr(x.data_range); sp(); add(Piece::DataArg, &x.argument); close(); },
                   [&](const ObjectPropertyAtom& x) {
                     t("ObjectPropertyAtom("); ope(x.property); sp();
                     add(Piece::IndividualArg, &x.first); sp(); add(Piece::IndividualArg, &x.second); close();
                   },
                   [&](const DataPropertyAtom& x) {
                     t("DataPropertyAtom("); iri(x.property.iri); sp();
                     add(Piece::IndividualArg, &x.first); sp(); add(Piece::DataArg, &x.second); close();
                   },
                   [&](const BuiltInAtom& x) {
                     t("BuiltInAtom("); iri(x.predicate);
                     for (const auto& arg : x.arguments) { sp(); add(Piece::DataArg, &arg); }
                     close();
                   },
                   [&](const SameIndividualAtom& x) {
                     t("SameIndividualAtom("); add(Piece::IndividualArg, &x.first); sp(); add(Piece::IndividualArg, &x.second); close();
                   },
                   [&](const DifferentIndividualsAtom& x) {
                     t("DifferentIndividualsAtom("); add(Piece::IndividualArg, &x.first); sp(); add(Piece::IndividualArg, &x.second); close();
                   },
               },
               a);
  }

  void variable(const Variable& v) {
    out_.append("Variable(");
    internal::append_iri(v.iri, out_);
    out_.push_back(')');
  }

  void write(const Work& w) override {
    switch (w.piece) {
      case Piece::Text: out_.append(w.text); break;
      case Piece::Number: out_.append(std::to_string(w.number)); break;
      case Piece::IriRef: internal::append_iri(*static_cast<const Iri*>(w.p), out_); break;
      case Piece::Individual: internal::append_individual(*static_cast<const Individual*>(w.p), out_); break;
      case Piece::Literal: append_literal(*static_cast<const Literal*>(w.p), out_); break;
      case Piece::ObjectProperty: {
        const auto& p = *static_cast<const ObjectPropertyExpression*>(w.p);
        if (is_inverse(p)) out_.append("ObjectInverseOf(");
        internal::append_iri(named_property(p).iri, out_);
        if (is_inverse(p)) out_.push_back(')');
        break;
      }
      case Piece::AnnotationSubject: {
        const auto& s = *static_cast<const AnnotationSubject*>(w.p);
        if (auto* i = std::get_if<Iri>(&s)) internal::append_iri(*i, out_);
        else internal::append_individual(std::get<AnonymousIndividual>(s), out_);
        break;
      }
      case Piece::AnnotationValue: {
        const auto& v = *static_cast<const AnnotationValue*>(w.p);
        std::visit(Overload{[&](const Iri& i) { internal::append_iri(i, out_); },
                            [&](const AnonymousIndividual& a) { internal::append_individual(a, out_); },
                            [&](const Literal& l) { append_literal(l, out_); }},
                   v);
        break;
      }
      case Piece::Annotation: {
        const auto& a = *static_cast<const Annotation*>(w.p);
        open("Annotation", &a.annotations);
        iri(a.property.iri);
        sp();
        add(Piece::AnnotationValue, &a.value);
        close();
        break;
      }
      case Piece::ClassExpr:
      case Piece::ClassOperand: class_expression(*static_cast<const ClassExpression*>(w.p)); break;
      case Piece::DataRange:
      case Piece::DataRangeOperand: data_range(*static_cast<const DataRange*>(w.p)); break;
      case Piece::IndividualArg: {
        const auto& a = *static_cast<const IndividualArgument*>(w.p);
        if (auto* i = std::get_if<Individual>(&a)) internal::append_individual(*i, out_);
        else variable(std::get<Variable>(a));
        break;
      }
      case Piece::DataArg: {
        const auto& a = *static_cast<const DataArgument*>(w.p);
        if (auto* l = std::get_if<Literal>(&a)) append_literal(*l, out_);
        else variable(std::get<Variable>(a));
        break;
      }
      case Piece::AtomItem: atom(*static_cast<const Atom*>(w.p)); break;
    }
  }
};

}  // namespace

std::string write_functional_axiom(const AnnotatedAxiom& axiom) {
  std::string out;
  FunctionalEmitter(out).axiom(axiom.axiom, &axiom.annotations);
  return out;
}

std::string write_functional_axiom(const Axiom& axiom) {
  std::string out;
  FunctionalEmitter(out).axiom(axiom, nullptr);
  return out;
}

}  // namespace kelmon::owl
