#include "owl/structural.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/overload.h"
#include "owl/siphash.h"

namespace kelmon::owl {

namespace {

// Byte layout: kind tags as one byte; strings escaped (0x00 -> 01 01, 0x01 -> 01 02)
// and ended by 0x00, so a proper prefix sorts first; numbers as four big-endian
// bytes; each list element is preceded by 0x01 and the list ends with 0x00.
constexpr char kElement = 0x01;
constexpr char kEnd = 0x00;

enum class Item : uint8_t {
  Byte, ClassExpr, DataRng, AnnotationSetItem, AnnotationItem, IndividualItem, IndArg, DatArg,
  AtomItem, OpeList, DataPropList,
};

struct Work {
  Item item;
  const void* p;
  char byte = 0;
};

class KeyWriter {
 public:
  // With `feed_only`, strings are written as their 64-bit hash: a shorter feed for the
  // structural hash that still separates what the full key separates (up to hash
  // collisions, which equality checks resolve with the full key).
  explicit KeyWriter(std::string& out, bool feed_only = false)
      : out_(out), feed_only_(feed_only), stack_(work_stack()) {
    stack_.clear();
  }

  void axiom(const AnnotatedAxiom& a, OperandOrder order) {
    if (a.annotations.empty()) {  // most axioms: the set is one end byte, after the axiom
      axiom_body(a.axiom, order);
      run();
      out_.push_back(kEnd);
      return;
    }
    push(Item::AnnotationSetItem, &a.annotations);
    axiom_body(a.axiom, order);
    run();
  }
  void axiom_only(const Axiom& a, OperandOrder order) {
    axiom_body(a, order);
    run();
  }
  void class_expression(const ClassExpression& c) {
    push(Item::ClassExpr, &c);
    run();
  }
  void data_range(const DataRange& d) {
    push(Item::DataRng, &d);
    run();
  }
  void annotation(const Annotation& a) {
    push(Item::AnnotationItem, &a);
    run();
  }

 private:
  void byte(uint8_t b) { out_.push_back(static_cast<char>(b)); }
  void u32(uint32_t n) {
    char b[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    out_.append(b, 4);
  }
  void hashed(uint64_t h) {
    char b[8];
    std::memcpy(b, &h, 8);
    out_.append(b, 8);
  }
  // Whether any of the eight bytes is 0x00 or 0x01 (the bytes that need escaping).
  static bool has_low_byte(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;
    uint64_t v = w & ~kOnes;  // 0x00 and 0x01 both become 0x00
    return ((v - kOnes) & ~v & kHigh) != 0;
  }
  void str(std::string_view s) {
    if (feed_only_) return hashed(internal::hash_text(s));
    // Names and texts hardly ever hold the two low bytes: copy them whole when
    // a word-wise scan finds neither.
    size_t clean = 0;
    for (uint64_t w; clean + 8 <= s.size(); clean += 8) {
      std::memcpy(&w, s.data() + clean, 8);
      if (has_low_byte(w)) break;
    }
    while (clean < s.size() && static_cast<unsigned char>(s[clean]) > 1) ++clean;
    if (clean == s.size()) {
      out_.append(s);
      out_.push_back(kEnd);
      return;
    }
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c <= 1) {
        out_.append(s.data() + start, i - start);
        out_.push_back(kElement);
        out_.push_back(static_cast<char>(c + 1));
        start = i + 1;
      }
    }
    out_.append(s.data() + start, s.size() - start);
    out_.push_back(kEnd);
  }
  void iri(const Iri& i) {
    if (feed_only_) return hashed(i.hash());
    str(i.str());
  }
  void ope(const ObjectPropertyExpression& p) {
    byte(is_inverse(p) ? 1 : 0);
    iri(named_property(p).iri);
  }
  void individual(const Individual& i) {
    if (auto* n = std::get_if<NamedIndividual>(&i)) {
      byte(0);
      iri(n->iri);
    } else {
      byte(1);
      str(std::get<AnonymousIndividual>(i).node_id.str());
    }
  }
  void literal(const Literal& l) {
    byte(static_cast<uint8_t>(l.form));
    str(l.lexical);
    if (l.form == LiteralForm::LanguageTagged) str(l.language.str());
    if (l.form == LiteralForm::Typed) iri(l.datatype.iri);
  }
  void annotation_value(const AnnotationValue& v) {
    byte(static_cast<uint8_t>(v.index()));
    std::visit(Overload{[&](const Iri& i) { iri(i); },
                        [&](const AnonymousIndividual& a) { str(a.node_id.str()); },
                        [&](const Literal& l) { literal(l); }},
               v);
  }
  void ind_arg(const IndividualArgument& a) {
    byte(static_cast<uint8_t>(a.index()));
    if (auto* i = std::get_if<Individual>(&a)) individual(*i);
    else iri(std::get<Variable>(a).iri);
  }
  void dat_arg(const DataArgument& a) {
    byte(static_cast<uint8_t>(a.index()));
    if (auto* l = std::get_if<Literal>(&a)) literal(*l);
    else iri(std::get<Variable>(a).iri);
  }
  template <class T, class F>
  void flat_list(const std::vector<T>& v, F&& f) {
    for (const auto& x : v) {
      out_.push_back(kElement);
      f(x);
    }
    out_.push_back(kEnd);
  }

  void push(Item item, const void* p) { stack_.push_back(Work{item, p}); }
  void push_byte(char b) { stack_.push_back(Work{Item::Byte, nullptr, b}); }
  template <class T>
  void push_list(Item item, const std::vector<T>& v) {
    push_byte(kEnd);
    for (size_t i = v.size(); i-- > 0;) {
      push(item, &v[i]);
      push_byte(kElement);
    }
  }

  void axiom_body(const Axiom& ax, OperandOrder order) {
    byte(static_cast<uint8_t>(ax.index()));
    const bool super_first = order == OperandOrder::SuperFirst;
    std::visit(
        Overload{
            [&](const OntologyHeader& a) {
              str(a.ontology_iri.str());
              str(a.version_iri.str());
            },
            [&](const OntologyAnnotation& a) { push(Item::AnnotationItem, &a.annotation); },
            [&](const Import& a) { iri(a.iri); },
            [&](const DeclareClass& a) { iri(a.entity.iri); },
            [&](const DeclareObjectProperty& a) { iri(a.entity.iri); },
            [&](const DeclareAnnotationProperty& a) { iri(a.entity.iri); },
            [&](const DeclareDataProperty& a) { iri(a.entity.iri); },
            [&](const DeclareNamedIndividual& a) { iri(a.entity.iri); },
            [&](const DeclareDatatype& a) { iri(a.entity.iri); },
            [&](const SubClassOf& a) {
              // Between two names nothing is nested: written at once.
              if (is_name(a.sub) && is_name(a.sup)) {
                class_name(super_first ? a.sup : a.sub);
                class_name(super_first ? a.sub : a.sup);
                return;
              }
              // Pushed in reverse: the first operand is written first.
              if (super_first) {
                push(Item::ClassExpr, &a.sub);
                push(Item::ClassExpr, &a.sup);
              } else {
                push(Item::ClassExpr, &a.sup);
                push(Item::ClassExpr, &a.sub);
              }
            },
            [&](const EquivalentClasses& a) { push_list(Item::ClassExpr, a.members); },
            [&](const DisjointClasses& a) { push_list(Item::ClassExpr, a.members); },
            [&](const DisjointUnion& a) {
              iri(a.cls.iri);
              push_list(Item::ClassExpr, a.members);
            },
            [&](const SubObjectPropertyOf& a) {
              auto sub = [&] {
                if (auto* p = std::get_if<ObjectPropertyExpression>(&a.sub)) {
                  byte(0);
                  ope(*p);
                } else {
                  byte(1);
                  flat_list(std::get<ObjectPropertyChain>(a.sub).properties,
                            [&](const auto& p) { ope(p); });
                }
              };
              if (super_first) { ope(a.sup); sub(); }
              else { sub(); ope(a.sup); }
            },
            [&](const EquivalentObjectProperties& a) {
              flat_list(a.members, [&](const auto& p) { ope(p); });
            },
            [&](const DisjointObjectProperties& a) {
              flat_list(a.members, [&](const auto& p) { ope(p); });
            },
            [&](const InverseObjectProperties& a) { ope(a.first); ope(a.second); },
            [&](const ObjectPropertyDomain& a) { ope(a.property); push(Item::ClassExpr, &a.domain); },
            [&](const ObjectPropertyRange& a) { ope(a.property); push(Item::ClassExpr, &a.range); },
            [&](const FunctionalObjectProperty& a) { ope(a.property); },
            [&](const InverseFunctionalObjectProperty& a) { ope(a.property); },
            [&](const ReflexiveObjectProperty& a) { ope(a.property); },
            [&](const IrreflexiveObjectProperty& a) { ope(a.property); },
            [&](const SymmetricObjectProperty& a) { ope(a.property); },
            [&](const AsymmetricObjectProperty& a) { ope(a.property); },
            [&](const TransitiveObjectProperty& a) { ope(a.property); },
            [&](const SubDataPropertyOf& a) {
              if (super_first) { iri(a.sup.iri); iri(a.sub.iri); }
              else { iri(a.sub.iri); iri(a.sup.iri); }
            },
            [&](const EquivalentDataProperties& a) {
              flat_list(a.members, [&](const auto& p) { iri(p.iri); });
            },
            [&](const DisjointDataProperties& a) {
              flat_list(a.members, [&](const auto& p) { iri(p.iri); });
            },
            [&](const DataPropertyDomain& a) { iri(a.property.iri); push(Item::ClassExpr, &a.domain); },
            [&](const DataPropertyRange& a) { iri(a.property.iri); push(Item::DataRng, &a.range); },
            [&](const FunctionalDataProperty& a) { iri(a.property.iri); },
            [&](const DatatypeDefinition& a) { iri(a.datatype.iri); push(Item::DataRng, &a.range); },
            [&](const HasKey& a) {
              push(Item::DataPropList, &a.data_properties);
              push(Item::OpeList, &a.object_properties);
              push(Item::ClassExpr, &a.class_expression);
            },
            [&](const SameIndividual& a) {
              flat_list(a.members, [&](const auto& i) { individual(i); });
            },
            [&](const DifferentIndividuals& a) {
              flat_list(a.members, [&](const auto& i) { individual(i); });
            },
            [&](const ClassAssertion& a) {
              push(Item::IndividualItem, &a.individual);
              push(Item::ClassExpr, &a.class_expression);
            },
            [&](const ObjectPropertyAssertion& a) {
              ope(a.property); individual(a.subject); individual(a.object);
            },
            [&](const NegativeObjectPropertyAssertion& a) {
              ope(a.property); individual(a.subject); individual(a.object);
            },
            [&](const DataPropertyAssertion& a) {
              iri(a.property.iri); individual(a.subject); literal(a.value);
            },
            [&](const NegativeDataPropertyAssertion& a) {
              iri(a.property.iri); individual(a.subject); literal(a.value);
            },
            [&](const AnnotationAssertion& a) {
              iri(a.property.iri);
              byte(static_cast<uint8_t>(a.subject.index()));
              if (auto* i = std::get_if<Iri>(&a.subject)) iri(*i);
              else str(std::get<AnonymousIndividual>(a.subject).node_id.str());
              annotation_value(a.value);
            },
            [&](const SubAnnotationPropertyOf& a) { iri(a.sub.iri); iri(a.sup.iri); },
            [&](const AnnotationPropertyDomain& a) { iri(a.property.iri); iri(a.domain); },
            [&](const AnnotationPropertyRange& a) { iri(a.property.iri); iri(a.range); },
            [&](const Rule& a) {
              push_list(Item::AtomItem, a.head);
              push_list(Item::AtomItem, a.body);
            },
        },
        ax);
  }

  static bool is_name(const ClassExpression& c) { return kind_of(c) == ClassExpressionKind::Class; }
  void class_name(const ClassExpression& c) {
    byte(static_cast<uint8_t>(ClassExpressionKind::Class));
    iri(std::get<Class>(c.data()).iri);
  }

  void class_expr(const ClassExpression& c) {
    if (is_name(c)) return class_name(c);
    byte(static_cast<uint8_t>(c.kind()));
    std::visit(Overload{
                   [&](const Class& x) { iri(x.iri); },
                   [&](const ObjectIntersectionOf& x) { push_list(Item::ClassExpr, x.operands); },
                   [&](const ObjectUnionOf& x) { push_list(Item::ClassExpr, x.operands); },
                   [&](const ObjectComplementOf& x) { push(Item::ClassExpr, &x.operand); },
                   [&](const ObjectOneOf& x) {
                     flat_list(x.individuals, [&](const auto& i) { individual(i); });
                   },
                   [&](const ObjectSomeValuesFrom& x) { ope(x.property); push(Item::ClassExpr, &x.filler); },
                   [&](const ObjectAllValuesFrom& x) { ope(x.property); push(Item::ClassExpr, &x.filler); },
                   [&](const ObjectHasValue& x) { ope(x.property); individual(x.individual); },
                   [&](const ObjectHasSelf& x) { ope(x.property); },
                   [&](const ObjectMinCardinality& x) { u32(x.cardinality); ope(x.property); push(Item::ClassExpr, &x.filler); },
                   [&](const ObjectMaxCardinality& x) { u32(x.cardinality); ope(x.property); push(Item::ClassExpr, &x.filler); },
                   [&](const ObjectExactCardinality& x) { u32(x.cardinality); ope(x.property); push(Item::ClassExpr, &x.filler); },
                   [&](const DataSomeValuesFrom& x) { iri(x.property.iri); push(Item::DataRng, &x.filler); },
                   [&](const DataAllValuesFrom& x) { iri(x.property.iri); push(Item::DataRng, &x.filler); },
                   [&](const DataHasValue& x) { iri(x.property.iri); literal(x.value); },
                   [&](const DataMinCardinality& x) { u32(x.cardinality); iri(x.property.iri); push(Item::DataRng, &x.filler); },
                   [&](const DataMaxCardinality& x) { u32(x.cardinality); iri(x.property.iri); push(Item::DataRng, &x.filler); },
                   [&](const DataExactCardinality& x) { u32(x.cardinality); iri(x.property.iri); push(Item::DataRng, &x.filler); },
               },
               c.data());
  }

  void data_rng(const DataRange& d) {
    byte(static_cast<uint8_t>(d.kind()));
    std::visit(Overload{
                   [&](const Datatype& x) { iri(x.iri); },
                   [&](const DataIntersectionOf& x) { push_list(Item::DataRng, x.operands); },
                   [&](const DataUnionOf& x) { push_list(Item::DataRng, x.operands); },
                   [&](const DataComplementOf& x) { push(Item::DataRng, &x.operand); },
                   [&](const DataOneOf& x) { flat_list(x.literals, [&](const auto& l) { literal(l); }); },
                   [&](const DatatypeRestriction& x) {
                     iri(x.datatype.iri);
                     flat_list(x.restrictions, [&](const FacetRestriction& f) {
                       byte(static_cast<uint8_t>(f.facet));
                       literal(f.value);
                     });
                   },
               },
               d.data());
  }

  void atom(const Atom& a) {
    byte(static_cast<uint8_t>(a.index()));
    std::visit(Overload{
                   [&](const ClassAtom& x) {
                     push(Item::IndArg, &x.argument);
                     push(Item::ClassExpr, &x.class_expression);
                   },
                   [&](const DataRangeAtom& x) {
                     push(Item::DatArg, &x.argument);
                     push(Item::DataRng, &x.data_range);
                   },
                   [&](const ObjectPropertyAtom& x) { ope(x.property); ind_arg(x.first); ind_arg(x.second); },
                   [&](const DataPropertyAtom& x) { iri(x.property.iri); ind_arg(x.first); dat_arg(x.second); },
                   [&](const BuiltInAtom& x) {
                     iri(x.predicate);
                     flat_list(x.arguments, [&](const auto& d) { dat_arg(d); });
                   },
                   [&](const SameIndividualAtom& x) { ind_arg(x.first); ind_arg(x.second); },
                   [&](const DifferentIndividualsAtom& x) { ind_arg(x.first); ind_arg(x.second); },
               },
               a);
  }

  void run() {
    while (!stack_.empty()) {
      Work w = stack_.back();
      stack_.pop_back();
      switch (w.item) {
        case Item::Byte: out_.push_back(w.byte); break;
        case Item::ClassExpr: class_expr(*static_cast<const ClassExpression*>(w.p)); break;
        case Item::DataRng: data_rng(*static_cast<const DataRange*>(w.p)); break;
        case Item::AnnotationSetItem: {
          const auto& set = *static_cast<const AnnotationSet*>(w.p);
          push_byte(kEnd);
          for (const Annotation* it = set.end(); it != set.begin();) {
            --it;
            push(Item::AnnotationItem, it);
            push_byte(kElement);
          }
          break;
        }
        case Item::AnnotationItem: {
          const auto& a = *static_cast<const Annotation*>(w.p);
          iri(a.property.iri);
          annotation_value(a.value);
          push(Item::AnnotationSetItem, &a.annotations);
          break;
        }
        case Item::IndividualItem: individual(*static_cast<const Individual*>(w.p)); break;
        case Item::IndArg: ind_arg(*static_cast<const IndividualArgument*>(w.p)); break;
        case Item::DatArg: dat_arg(*static_cast<const DataArgument*>(w.p)); break;
        case Item::AtomItem: atom(*static_cast<const Atom*>(w.p)); break;
        case Item::OpeList:
          flat_list(*static_cast<const std::vector<ObjectPropertyExpression>*>(w.p),
                    [&](const auto& p) { ope(p); });
          break;
        case Item::DataPropList:
          flat_list(*static_cast<const std::vector<DataProperty>*>(w.p),
                    [&](const auto& p) { iri(p.iri); });
          break;
      }
    }
  }

  // One stack per thread, reused: keys are written for every axiom read. A writer
  // never starts another while it runs.
  static std::vector<Work>& work_stack() {
    thread_local std::vector<Work> stack;
    return stack;
  }

  std::string& out_;
  bool feed_only_;
  std::vector<Work>& stack_;
};

struct KeyBuffers {
  std::string a, b;
};
thread_local KeyBuffers buffers;

int sign(int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); }

template <class T, class... Extra>
int compare_keys(const T& x, const T& y, Extra... extra) {
  // Own buffers when called re-entrantly is never needed: keys are written without
  // calling back into this function.
  std::string& ka = buffers.a;
  std::string& kb = buffers.b;
  ka.clear();
  kb.clear();
  append_structural_key(x, ka, extra...);
  append_structural_key(y, kb, extra...);
  return sign(ka.compare(kb));
}

}  // namespace

void append_structural_key(const AnnotatedAxiom& a, std::string& out, OperandOrder order) {
  KeyWriter(out).axiom(a, order);
}
void append_structural_key(const Axiom& a, std::string& out, OperandOrder order) {
  KeyWriter(out).axiom_only(a, order);
}
void append_structural_key(const ClassExpression& c, std::string& out) {
  KeyWriter(out).class_expression(c);
}
void append_structural_key(const DataRange& d, std::string& out) { KeyWriter(out).data_range(d); }
void append_structural_key(const Annotation& a, std::string& out) { KeyWriter(out).annotation(a); }

int compare_axioms(const AnnotatedAxiom& a, const AnnotatedAxiom& b, OperandOrder order) {
  if (a.axiom.index() != b.axiom.index()) return a.axiom.index() < b.axiom.index() ? -1 : 1;
  return compare_keys(a, b, order);
}
int compare_axioms(const Axiom& a, const Axiom& b, OperandOrder order) {
  if (a.index() != b.index()) return a.index() < b.index() ? -1 : 1;
  return compare_keys(a, b, order);
}
int compare_class_expressions(const ClassExpression& a, const ClassExpression& b) {
  if (a.node() == b.node()) return 0;
  return compare_keys(a, b);
}
int compare_data_ranges(const DataRange& a, const DataRange& b) {
  if (a.node() == b.node()) return 0;
  return compare_keys(a, b);
}

bool structurally_equal(const AnnotatedAxiom& a, const AnnotatedAxiom& b) {
  return compare_axioms(a, b) == 0;
}
bool structurally_equal(const Axiom& a, const Axiom& b) { return compare_axioms(a, b) == 0; }
bool structurally_equal(const ClassExpression& a, const ClassExpression& b) {
  return compare_class_expressions(a, b) == 0;
}
bool structurally_equal(const DataRange& a, const DataRange& b) {
  return compare_data_ranges(a, b) == 0;
}

uint64_t structural_hash(const AnnotatedAxiom& a) {
  std::string& k = buffers.a;
  k.clear();
  KeyWriter(k, true).axiom(a, OperandOrder::Document);
  return siphash13(k);
}
uint64_t structural_hash(const ClassExpression& c) {
  std::string& k = buffers.a;
  k.clear();
  KeyWriter(k, true).class_expression(c);
  return siphash13(k);
}

AnnotationSet AnnotationSet::from(std::vector<Annotation> annotations) {
  AnnotationSet set;
  if (annotations.empty()) return set;
  if (annotations.size() == 1) {
    auto* node = new AnnotationSetNode;
    set.ref_ = NodeRef<AnnotationSetNode>(node);
    node->items = std::move(annotations);
    return set;
  }
  std::vector<std::pair<std::string, size_t>> keyed;
  keyed.reserve(annotations.size());
  for (size_t i = 0; i < annotations.size(); ++i) {
    std::string key;
    append_structural_key(annotations[i], key);
    keyed.emplace_back(std::move(key), i);
  }
  std::sort(keyed.begin(), keyed.end());
  auto* node = new AnnotationSetNode;
  set.ref_ = NodeRef<AnnotationSetNode>(node);
  for (size_t i = 0; i < keyed.size(); ++i) {
    if (i > 0 && keyed[i].first == keyed[i - 1].first) continue;
    node->items.push_back(std::move(annotations[keyed[i].second]));
  }
  return set;
}

}  // namespace kelmon::owl
