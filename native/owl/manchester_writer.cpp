#include "owl/manchester_writer.h"

#include "common/overload.h"
#include "owl/facet.h"
#include "owl/functional_writer.h"
#include "owl/internal/text_emitter.h"

namespace kelmon::owl {

namespace {

using internal::Piece;
using internal::Work;

// Where a data range stands decides its brackets.
enum DataContext : uint8_t { kBare = 0, kInIntersection = 1, kInComplement = 2 };

class ManchesterEmitter : public internal::Emitter {
 public:
  using Emitter::Emitter;

  // False for the components that have no Manchester line.
  bool axiom(const Axiom& ax) {
    bool handled = std::visit([&](const auto& a) { return line(a); }, ax);
    if (handled) run();
    return handled;
  }

 private:
  void iri(const Iri& i) { add(Piece::IriRef, &i); }
  void prop(const ObjectPropertyExpression& p) { add(Piece::ObjectProperty, &p); }
  void ind(const Individual& i) { add(Piece::Individual, &i); }
  void top(const ClassExpression& c) { add(Piece::ClassExpr, &c); }
  void operand(const ClassExpression& c) { add(Piece::ClassOperand, &c); }
  void range(const DataRange& d, uint8_t context = kBare) { add(Piece::DataRange, &d, context); }
  void lit(const Literal& l) { add(Piece::Literal, &l); }

  // The first member, then `sep` before each further one (" EquivalentTo " repeated)
  // or the rest joined by ", " after one `sep` (" DisjointWith a, b").
  template <class T>
  void repeated(const std::vector<T>& v, Piece piece, std::string_view sep) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (i > 0) t(sep);
      add(piece, &v[i]);
    }
  }
  template <class T>
  void first_then_rest(const std::vector<T>& v, Piece piece, std::string_view sep) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (i == 1) t(sep);
      else if (i > 1) t(", ");
      add(piece, &v[i]);
    }
  }
  void data_properties(const std::vector<DataProperty>& v, std::string_view sep, bool repeat) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (i == 1 || (i > 1 && repeat)) t(sep);
      else if (i > 1) t(", ");
      iri(v[i].iri);
    }
  }

  bool line(const SubClassOf& a) { top(a.sub); t(" SubClassOf "); top(a.sup); return true; }
  bool line(const EquivalentClasses& a) { repeated(a.members, Piece::ClassExpr, " EquivalentTo "); return true; }
  bool line(const EquivalentObjectProperties& a) { repeated(a.members, Piece::ObjectProperty, " EquivalentTo "); return true; }
  bool line(const EquivalentDataProperties& a) { data_properties(a.members, " EquivalentTo ", true); return true; }
  bool line(const DisjointClasses& a) { first_then_rest(a.members, Piece::ClassExpr, " DisjointWith "); return true; }
  bool line(const DisjointObjectProperties& a) { first_then_rest(a.members, Piece::ObjectProperty, " DisjointWith "); return true; }
  bool line(const DisjointDataProperties& a) { data_properties(a.members, " DisjointWith ", false); return true; }
  bool line(const DisjointUnion& a) {
    iri(a.cls.iri);
    t(" DisjointUnionOf ");
    join(Piece::ClassExpr, a.members, ", ");
    return true;
  }
  bool line(const SubObjectPropertyOf& a) {
    if (auto* p = std::get_if<ObjectPropertyExpression>(&a.sub)) prop(*p);
    else join(Piece::ObjectProperty, std::get<ObjectPropertyChain>(a.sub).properties, " o ");
    t(" SubPropertyOf ");
    prop(a.sup);
    return true;
  }
  bool line(const SubDataPropertyOf& a) { iri(a.sub.iri); t(" SubPropertyOf "); iri(a.sup.iri); return true; }
  bool line(const InverseObjectProperties& a) { prop(a.first); t(" InverseOf "); prop(a.second); return true; }
  bool line(const ObjectPropertyDomain& a) { prop(a.property); t(" Domain "); top(a.domain); return true; }
  bool line(const DataPropertyDomain& a) { iri(a.property.iri); t(" Domain "); top(a.domain); return true; }
  bool line(const ObjectPropertyRange& a) { prop(a.property); t(" Range "); top(a.range); return true; }
  bool line(const DataPropertyRange& a) { iri(a.property.iri); t(" Range "); range(a.range); return true; }
  bool characteristic(const ObjectPropertyExpression& p, std::string_view name) {
    prop(p);
    t(" Characteristics: ");
    t(name);
    return true;
  }
  bool line(const FunctionalObjectProperty& a) { return characteristic(a.property, "Functional"); }
  bool line(const FunctionalDataProperty& a) {
    iri(a.property.iri);
    t(" Characteristics: Functional");
    return true;
  }
  bool line(const InverseFunctionalObjectProperty& a) { return characteristic(a.property, "InverseFunctional"); }
  bool line(const ReflexiveObjectProperty& a) { return characteristic(a.property, "Reflexive"); }
  bool line(const IrreflexiveObjectProperty& a) { return characteristic(a.property, "Irreflexive"); }
  bool line(const SymmetricObjectProperty& a) { return characteristic(a.property, "Symmetric"); }
  bool line(const AsymmetricObjectProperty& a) { return characteristic(a.property, "Asymmetric"); }
  bool line(const TransitiveObjectProperty& a) { return characteristic(a.property, "Transitive"); }
  bool line(const SameIndividual& a) { repeated(a.members, Piece::Individual, " SameAs "); return true; }
  bool line(const DifferentIndividuals& a) { first_then_rest(a.members, Piece::Individual, " DifferentFrom "); return true; }
  bool line(const ClassAssertion& a) { ind(a.individual); t(" Type "); top(a.class_expression); return true; }
  bool line(const ObjectPropertyAssertion& a) { ind(a.subject); t(" "); prop(a.property); t(" "); ind(a.object); return true; }
  bool line(const NegativeObjectPropertyAssertion& a) {
    ind(a.subject); t(" not "); prop(a.property); t(" "); ind(a.object);
    return true;
  }
  bool line(const DataPropertyAssertion& a) { ind(a.subject); t(" "); iri(a.property.iri); t(" "); lit(a.value); return true; }
  bool line(const NegativeDataPropertyAssertion& a) {
    ind(a.subject); t(" not "); iri(a.property.iri); t(" "); lit(a.value);
    return true;
  }
  template <class Other>
  bool line(const Other&) { return false; }

  void class_expression(const ClassExpression& c) {
    std::visit(
        Overload{
            [&](const Class& x) { iri(x.iri); },
            [&](const ObjectIntersectionOf& x) { join(Piece::ClassOperand, x.operands, " and "); },
            [&](const ObjectUnionOf& x) { join(Piece::ClassOperand, x.operands, " or "); },
            [&](const ObjectComplementOf& x) { t("not "); operand(x.operand); },
            [&](const ObjectOneOf& x) { t("{"); join(Piece::Individual, x.individuals, ", "); t("}"); },
            [&](const ObjectSomeValuesFrom& x) { prop(x.property); t(" some "); operand(x.filler); },
            [&](const ObjectAllValuesFrom& x) { prop(x.property); t(" only "); operand(x.filler); },
            [&](const ObjectHasValue& x) { prop(x.property); t(" value "); ind(x.individual); },
            [&](const ObjectHasSelf& x) { prop(x.property); t(" Self"); },
            [&](const ObjectMinCardinality& x) { prop(x.property); t(" min "); num(x.cardinality); t(" "); operand(x.filler); },
            [&](const ObjectMaxCardinality& x) { prop(x.property); t(" max "); num(x.cardinality); t(" "); operand(x.filler); },
            [&](const ObjectExactCardinality& x) { prop(x.property); t(" exactly "); num(x.cardinality); t(" "); operand(x.filler); },
            [&](const DataSomeValuesFrom& x) { iri(x.property.iri); t(" some "); range(x.filler); },
            [&](const DataAllValuesFrom& x) { iri(x.property.iri); t(" only "); range(x.filler); },
            [&](const DataHasValue& x) { iri(x.property.iri); t(" value "); lit(x.value); },
            [&](const DataMinCardinality& x) { iri(x.property.iri); t(" min "); num(x.cardinality); t(" "); range(x.filler); },
            [&](const DataMaxCardinality& x) { iri(x.property.iri); t(" max "); num(x.cardinality); t(" "); range(x.filler); },
            [&](const DataExactCardinality& x) { iri(x.property.iri); t(" exactly "); num(x.cardinality); t(" "); range(x.filler); },
        },
        c.data());
  }

  void data_range(const DataRange& d, uint8_t context) {
    auto kind = kind_of(d);
    bool paren = (context == kInIntersection && kind == DataRangeKind::DataUnionOf) ||
                 (context == kInComplement &&
                  (kind == DataRangeKind::DataUnionOf || kind == DataRangeKind::DataIntersectionOf));
    if (paren) t("(");
    std::visit(Overload{
                   [&](const Datatype& x) { iri(x.iri); },
                   [&](const DataIntersectionOf& x) { join(Piece::DataRange, x.operands, " and ", kInIntersection); },
                   [&](const DataUnionOf& x) { join(Piece::DataRange, x.operands, " or ", kBare); },
                   [&](const DataComplementOf& x) { t("not "); range(x.operand, kInComplement); },
                   [&](const DataOneOf& x) { t("{ "); join(Piece::Literal, x.literals, ", "); t(" }"); },
                   [&](const DatatypeRestriction& x) {
                     iri(x.datatype.iri);
                     t("[");
                     for (size_t i = 0; i < x.restrictions.size(); ++i) {
                       if (i > 0) t(", ");
                       t(facet_symbol(x.restrictions[i].facet));
                       t(" ");
                       lit(x.restrictions[i].value);
                     }
                     t("]");
                   },
               },
               d.data());
    if (paren) t(")");
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
        if (is_inverse(p)) out_.append("inverse (");
        internal::append_iri(named_property(p).iri, out_);
        if (is_inverse(p)) out_.push_back(')');
        break;
      }
      case Piece::ClassExpr: class_expression(*static_cast<const ClassExpression*>(w.p)); break;
      case Piece::ClassOperand: {
        const auto& c = *static_cast<const ClassExpression*>(w.p);
        if (kind_of(c) == ClassExpressionKind::Class) {
          class_expression(c);
        } else {
          t("(");
          add(Piece::ClassExpr, &c);
          t(")");
        }
        break;
      }
      case Piece::DataRange:
      case Piece::DataRangeOperand: data_range(*static_cast<const DataRange*>(w.p), w.context); break;
      default: break;  // the other pieces do not occur in Manchester lines
    }
  }
};

}  // namespace

std::string render_manchester_axiom(const Axiom& axiom) {
  std::string out;
  if (!ManchesterEmitter(out).axiom(axiom)) return write_functional_axiom(axiom);
  return out;
}

std::string render_manchester_axiom(const AnnotatedAxiom& axiom) {
  return render_manchester_axiom(axiom.axiom);
}

}  // namespace kelmon::owl
