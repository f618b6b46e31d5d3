#include "owl/functional_reader.h"

#include <charconv>
#include <string>
#include <vector>

#include <tsl/robin_map.h>

#include "owl/axiom_set.h"
#include "owl/facet.h"
#include "owl/internal/functional_lexer.h"
#include "owl/reader_fault.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {

namespace {

using internal::FnLexeme;
using internal::FnLexer;
using internal::FnToken;


// Keywords by name; one table lookup instead of a chain of string comparisons.
enum class Kw : uint8_t {
  Other,
  AnnotationAssertion,
  AnnotationProperty,
  AnnotationPropertyDomain,
  AnnotationPropertyRange,
  AsymmetricObjectProperty,
  BuiltInAtom,
  Class,
  ClassAssertion,
  ClassAtom,
  DLSafeRule,
  DataComplementOf,
  DataHasValue,
  DataIntersectionOf,
  DataOneOf,
  DataProperty,
  DataPropertyAssertion,
  DataPropertyAtom,
  DataPropertyDomain,
  DataPropertyRange,
  DataRangeAtom,
  DataUnionOf,
  Datatype,
  DatatypeDefinition,
  DatatypeRestriction,
  Declaration,
  DifferentIndividuals,
  DifferentIndividualsAtom,
  DisjointClasses,
  DisjointDataProperties,
  DisjointObjectProperties,
  DisjointUnion,
  EquivalentClasses,
  EquivalentDataProperties,
  EquivalentObjectProperties,
  FunctionalDataProperty,
  FunctionalObjectProperty,
  HasKey,
  InverseFunctionalObjectProperty,
  InverseObjectProperties,
  IrreflexiveObjectProperty,
  NamedIndividual,
  NegativeDataPropertyAssertion,
  NegativeObjectPropertyAssertion,
  ObjectHasSelf,
  ObjectHasValue,
  ObjectOneOf,
  ObjectProperty,
  ObjectPropertyAssertion,
  ObjectPropertyAtom,
  ObjectPropertyDomain,
  ObjectPropertyRange,
  ReflexiveObjectProperty,
  SameIndividual,
  SameIndividualAtom,
  SubAnnotationPropertyOf,
  SubClassOf,
  SubDataPropertyOf,
  SubObjectPropertyOf,
  SymmetricObjectProperty,
  TransitiveObjectProperty,
  DataAllValuesFrom,
  DataExactCardinality,
  DataMaxCardinality,
  DataMinCardinality,
  DataSomeValuesFrom,
  ObjectAllValuesFrom,
  ObjectComplementOf,
  ObjectExactCardinality,
  ObjectIntersectionOf,
  ObjectMaxCardinality,
  ObjectMinCardinality,
  ObjectSomeValuesFrom,
  ObjectUnionOf,
};
constexpr std::pair<std::string_view, Kw> kKeywords[] = {
    {"AnnotationAssertion", Kw::AnnotationAssertion},
    {"AnnotationProperty", Kw::AnnotationProperty},
    {"AnnotationPropertyDomain", Kw::AnnotationPropertyDomain},
    {"AnnotationPropertyRange", Kw::AnnotationPropertyRange},
    {"AsymmetricObjectProperty", Kw::AsymmetricObjectProperty},
    {"BuiltInAtom", Kw::BuiltInAtom},
    {"Class", Kw::Class},
    {"ClassAssertion", Kw::ClassAssertion},
    {"ClassAtom", Kw::ClassAtom},
    {"DLSafeRule", Kw::DLSafeRule},
    {"DataComplementOf", Kw::DataComplementOf},
    {"DataHasValue", Kw::DataHasValue},
    {"DataIntersectionOf", Kw::DataIntersectionOf},
    {"DataOneOf", Kw::DataOneOf},
    {"DataProperty", Kw::DataProperty},
    {"DataPropertyAssertion", Kw::DataPropertyAssertion},
    {"DataPropertyAtom", Kw::DataPropertyAtom},
    {"DataPropertyDomain", Kw::DataPropertyDomain},
    {"DataPropertyRange", Kw::DataPropertyRange},
    {"DataRangeAtom", Kw::DataRangeAtom},
    {"DataUnionOf", Kw::DataUnionOf},
    {"Datatype", Kw::Datatype},
    {"DatatypeDefinition", Kw::DatatypeDefinition},
    {"DatatypeRestriction", Kw::DatatypeRestriction},
    {"Declaration", Kw::Declaration},
    {"DifferentIndividuals", Kw::DifferentIndividuals},
    {"DifferentIndividualsAtom", Kw::DifferentIndividualsAtom},
    {"DisjointClasses", Kw::DisjointClasses},
    {"DisjointDataProperties", Kw::DisjointDataProperties},
    {"DisjointObjectProperties", Kw::DisjointObjectProperties},
    {"DisjointUnion", Kw::DisjointUnion},
    {"EquivalentClasses", Kw::EquivalentClasses},
    {"EquivalentDataProperties", Kw::EquivalentDataProperties},
    {"EquivalentObjectProperties", Kw::EquivalentObjectProperties},
    {"FunctionalDataProperty", Kw::FunctionalDataProperty},
    {"FunctionalObjectProperty", Kw::FunctionalObjectProperty},
    {"HasKey", Kw::HasKey},
    {"InverseFunctionalObjectProperty", Kw::InverseFunctionalObjectProperty},
    {"InverseObjectProperties", Kw::InverseObjectProperties},
    {"IrreflexiveObjectProperty", Kw::IrreflexiveObjectProperty},
    {"NamedIndividual", Kw::NamedIndividual},
    {"NegativeDataPropertyAssertion", Kw::NegativeDataPropertyAssertion},
    {"NegativeObjectPropertyAssertion", Kw::NegativeObjectPropertyAssertion},
    {"ObjectHasSelf", Kw::ObjectHasSelf},
    {"ObjectHasValue", Kw::ObjectHasValue},
    {"ObjectOneOf", Kw::ObjectOneOf},
    {"ObjectProperty", Kw::ObjectProperty},
    {"ObjectPropertyAssertion", Kw::ObjectPropertyAssertion},
    {"ObjectPropertyAtom", Kw::ObjectPropertyAtom},
    {"ObjectPropertyDomain", Kw::ObjectPropertyDomain},
    {"ObjectPropertyRange", Kw::ObjectPropertyRange},
    {"ReflexiveObjectProperty", Kw::ReflexiveObjectProperty},
    {"SameIndividual", Kw::SameIndividual},
    {"SameIndividualAtom", Kw::SameIndividualAtom},
    {"SubAnnotationPropertyOf", Kw::SubAnnotationPropertyOf},
    {"SubClassOf", Kw::SubClassOf},
    {"SubDataPropertyOf", Kw::SubDataPropertyOf},
    {"SubObjectPropertyOf", Kw::SubObjectPropertyOf},
    {"SymmetricObjectProperty", Kw::SymmetricObjectProperty},
    {"TransitiveObjectProperty", Kw::TransitiveObjectProperty},
    {"DataAllValuesFrom", Kw::DataAllValuesFrom},
    {"DataExactCardinality", Kw::DataExactCardinality},
    {"DataMaxCardinality", Kw::DataMaxCardinality},
    {"DataMinCardinality", Kw::DataMinCardinality},
    {"DataSomeValuesFrom", Kw::DataSomeValuesFrom},
    {"ObjectAllValuesFrom", Kw::ObjectAllValuesFrom},
    {"ObjectComplementOf", Kw::ObjectComplementOf},
    {"ObjectExactCardinality", Kw::ObjectExactCardinality},
    {"ObjectIntersectionOf", Kw::ObjectIntersectionOf},
    {"ObjectMaxCardinality", Kw::ObjectMaxCardinality},
    {"ObjectMinCardinality", Kw::ObjectMinCardinality},
    {"ObjectSomeValuesFrom", Kw::ObjectSomeValuesFrom},
    {"ObjectUnionOf", Kw::ObjectUnionOf},
};

struct KwHash {
  size_t operator()(std::string_view v) const noexcept {
    return static_cast<size_t>(kelmon::owl::internal::hash_text(v));
  }
};

Kw keyword(std::string_view word) {
  static const tsl::robin_map<std::string_view, Kw, KwHash> table = [] {
    tsl::robin_map<std::string_view, Kw, KwHash> t;
    for (const auto& [name, kw] : kKeywords) t.emplace(name, kw);
    return t;
  }();
  auto it = table.find(word);
  return it == table.end() ? Kw::Other : it->second;
}

// Thrown inside the reader only; read_functional turns it into the error value.
struct Failure {
  size_t offset;
  std::string message;
};

class FunctionalParser {
 public:
  explicit FunctionalParser(std::string_view text) : lex_(text) {
    // Room for one axiom per 40 bytes; capacity that is never written costs no memory.
    pending_.reserve(text.size() / 40 + 16);
    prefixes_.emplace("owl", std::string(vocab::kOwl));
    prefixes_.emplace("rdf", std::string(vocab::kRdf));
    prefixes_.emplace("rdfs", std::string(vocab::kRdfs));
    prefixes_.emplace("xsd", std::string(vocab::kXsd));
    prefixes_.emplace("xml", "http://www.w3.org/XML/1998/namespace");
    advance();
  }

  LoadedOntology document() {
    while (is_word("Prefix")) prefix_declaration();
    expect_word("Ontology", "'Prefix' or 'Ontology'");
    expect(FnToken::LParen, "'('");
    OntologyHeader header;
    if (is_iri_token()) {
      header.ontology_iri = iri();
      if (is_iri_token()) header.version_iri = iri();
      pending_.push_back(AnnotatedAxiom{std::move(header), {}});
    }
    while (is_word("Import")) {
      advance();
      expect(FnToken::LParen, "'('");
      Iri imported = iri();
      expect(FnToken::RParen, "')'");
      pending_.push_back(AnnotatedAxiom{Import{std::move(imported)}, {}});
    }
    while (is_word("Annotation")) {
      pending_.push_back(AnnotatedAxiom{OntologyAnnotation{annotation()}, {}});
    }
    while (cur_.type != FnToken::RParen) axiom();
    advance();
    if (cur_.type != FnToken::End) fail("expected end of input after the ontology");
    out_.axioms.insert_all(std::move(pending_));
    for (auto& [name, iri] : prefixes_) out_.prefixes.emplace(name, iri);
    return std::move(out_);
  }

 private:
  // ---- tokens ------------------------------------------------------------------
  void advance() { cur_ = lex_.next(); }
  [[noreturn]] void fail(std::string message) { throw Failure{cur_.offset, std::move(message)}; }
  [[noreturn]] void fail_expected(std::string_view what) {
    fail("expected " + std::string(what) + ", found " + internal::describe(cur_));
  }
  bool is_word(std::string_view w) const { return cur_.type == FnToken::Word && cur_.text == w; }
  void expect(FnToken t, std::string_view what) {
    if (cur_.type != t) fail_expected(what);
    advance();
  }
  void expect_word(std::string_view w, std::string_view what) {
    if (!is_word(w)) fail_expected(what);
    advance();
  }
  void open() { expect(FnToken::LParen, "'('"); }
  void close() { expect(FnToken::RParen, "')'"); }
  bool at_close() const { return cur_.type == FnToken::RParen; }
  bool is_iri_token() const {
    return cur_.type == FnToken::FullIri || cur_.type == FnToken::PrefixedName;
  }

  // ---- prefixes and IRIs --------------------------------------------------------
  void prefix_declaration() {
    advance();
    open();
    if (cur_.type != FnToken::PrefixedName || cur_.text.back() != ':' ||
        cur_.text.find(':') != cur_.text.size() - 1)
      fail_expected("a prefix name ending in ':'");
    std::string name(cur_.text.substr(0, cur_.text.size() - 1));
    advance();
    expect(FnToken::Equals, "'='");
    if (cur_.type != FnToken::FullIri) fail_expected("a full IRI in angle brackets");
    prefixes_[name] = std::string(cur_.text);
    advance();
    close();
  }

  struct Name {
    Iri iri;
    ClassExpression cls;  // made on first use as a class
  };
  // The entry of the IRI token under the cursor. Names repeat, and prefixes are fixed
  // before the first axiom, so each distinct spelling is resolved and stored once.
  Name& name() {
    std::string_view key = cur_.text;
    if (cur_.type == FnToken::FullIri) {
      key = std::string_view(key.data() - 1, key.size() + 1);  // with '<': apart from prefixed names
    } else if (cur_.type != FnToken::PrefixedName) {
      fail_expected("an IRI");
    }
    auto it = names_.find(key);
    if (it == names_.end()) {
      Iri r = cur_.type == FnToken::FullIri ? table_.numbered(cur_.text) : expand(cur_);
      it = names_.emplace(key, Name{std::move(r), {}}).first;
    }
    advance();
    return it.value();
  }
  Iri iri() { return name().iri; }

  Iri expand(const FnLexeme& l) {
    size_t colon = l.text.find(':');
    std::string_view prefix = l.text.substr(0, colon);
    std::string_view local = l.text.substr(colon + 1);
    auto it = prefixes_.find(prefix);
    if (it == prefixes_.end()) fail("unknown prefix '" + std::string(prefix) + ":'");
    buf_.assign(it->second);
    if (l.has_escape) {
      for (size_t i = 0; i < local.size(); ++i) {
        if (local[i] == '\\' && i + 1 < local.size()) ++i;
        buf_.push_back(local[i]);
      }
    } else {
      buf_.append(local);
    }
    return table_.numbered(buf_);
  }

  // ---- entities, individuals, literals -------------------------------------------
  Class class_entity() { return Class{iri()}; }
  Datatype datatype() { return Datatype{iri()}; }
  DataProperty data_property() { return DataProperty{iri()}; }
  AnnotationProperty annotation_property() { return AnnotationProperty{iri()}; }

  ClassExpression named_class() {
    if (!is_iri_token()) fail_expected("a class expression");
    Name& n = name();
    if (!n.cls) n.cls = Class{n.iri};
    return n.cls;
  }

  Individual individual() {
    if (cur_.type == FnToken::NodeId) {
      AnonymousIndividual a{table_.intern(cur_.text)};
      advance();
      return a;
    }
    if (is_iri_token()) return NamedIndividual{iri()};
    fail_expected("an individual (IRI or _:node id)");
  }

  ObjectPropertyExpression object_property() {
    if (is_word("ObjectInverseOf")) {
      advance();
      open();
      ObjectProperty p{iri()};
      close();
      return ObjectInverseOf{std::move(p)};
    }
    if (!is_iri_token()) fail_expected("an object property expression");
    return ObjectProperty{iri()};
  }

  std::string unescape(const FnLexeme& l) {
    if (!l.has_escape) return std::string(l.text);
    std::string s;
    s.reserve(l.text.size());
    for (size_t i = 0; i < l.text.size(); ++i) {
      char c = l.text[i];
      if (c == '\\') {
        char e = l.text[i + 1];
        if (e != '"' && e != '\\')
          throw Failure{l.offset + 1 + i, "invalid escape '\\" + std::string(1, e) +
                                              "' in string (only \\\" and \\\\ are allowed)"};
        s.push_back(e);
        ++i;
      } else {
        s.push_back(c);
      }
    }
    return s;
  }

  Literal literal() {
    if (cur_.type != FnToken::String) fail_expected("a literal");
    std::string lexical = unescape(cur_);
    advance();
    if (cur_.type == FnToken::Caret2) {
      advance();
      return Literal::typed(std::move(lexical), datatype());
    }
    if (cur_.type == FnToken::LangTag) {
      if (cur_.text.empty()) fail_expected("a language tag");
      InternedString tag = table_.intern(cur_.text);
      advance();
      return Literal::language_tagged(std::move(lexical), std::move(tag));
    }
    return Literal::plain(std::move(lexical));
  }

  uint32_t cardinality() {
    if (cur_.type != FnToken::Word) fail_expected("a non-negative integer");
    uint64_t v = 0;
    auto [ptr, ec] = std::from_chars(cur_.text.data(), cur_.text.data() + cur_.text.size(), v);
    if (ec != std::errc() || ptr != cur_.text.data() + cur_.text.size() || v > UINT32_MAX ||
        cur_.text[0] == '-' || cur_.text[0] == '+')
      fail_expected("a non-negative integer below 2^32");
    advance();
    return static_cast<uint32_t>(v);
  }

  // ---- annotations ----------------------------------------------------------------
  // Annotation(annotations property value), read with an explicit stack because
  // annotations of annotations nest.
  Annotation annotation() {
    std::vector<std::vector<Annotation>> open_sets;  // one per unfinished Annotation(
    for (;;) {
      while (is_word("Annotation")) {
        if (open_sets.size() >= kMaxNestingDepth) fail_too_deep();
        advance();
        open();
        open_sets.emplace_back();
      }
      for (;;) {
        Annotation a;
        a.property = annotation_property();
        a.value = annotation_value();
        close();
        a.annotations = AnnotationSet::from(std::move(open_sets.back()));
        open_sets.pop_back();
        if (open_sets.empty()) return a;
        open_sets.back().push_back(std::move(a));
        if (is_word("Annotation")) break;
      }
    }
  }

  AnnotationSet annotations() {
    if (!is_word("Annotation")) return {};
    std::vector<Annotation> list;
    while (is_word("Annotation")) list.push_back(annotation());
    return AnnotationSet::from(std::move(list));
  }

  AnnotationValue annotation_value() {
    if (cur_.type == FnToken::String) return literal();
    if (cur_.type == FnToken::NodeId) {
      AnonymousIndividual a{table_.intern(cur_.text)};
      advance();
      return a;
    }
    if (is_iri_token()) return iri();
    fail_expected("an annotation value (IRI, _:node id or literal)");
  }

  AnnotationSubject annotation_subject() {
    if (cur_.type == FnToken::NodeId) {
      AnonymousIndividual a{table_.intern(cur_.text)};
      advance();
      return a;
    }
    if (is_iri_token()) return iri();
    fail_expected("an annotation subject (IRI or _:node id)");
  }

  // ---- data ranges and class expressions ---------------------------------------------
  // Both nest, so they are read with an explicit stack of unfinished constructors.
  enum class Ctor : uint8_t {
    ObjectIntersectionOf, ObjectUnionOf, ObjectComplementOf, ObjectSomeValuesFrom,
    ObjectAllValuesFrom, ObjectMinCardinality, ObjectMaxCardinality, ObjectExactCardinality,
    DataSomeValuesFrom, DataAllValuesFrom, DataMinCardinality, DataMaxCardinality,
    DataExactCardinality, DataIntersectionOf, DataUnionOf, DataComplementOf,
  };
  struct Frame {
    Ctor ctor;
    size_t at;
    uint32_t cardinality = 0;
    ObjectPropertyExpression object_property;
    DataProperty data_property;
    std::vector<ClassExpression> classes;
    std::vector<DataRange> ranges;
  };
  static bool is_list(Ctor c) {
    return c == Ctor::ObjectIntersectionOf || c == Ctor::ObjectUnionOf ||
           c == Ctor::DataIntersectionOf || c == Ctor::DataUnionOf;
  }
  static bool wants_data(Ctor c) { return c >= Ctor::DataSomeValuesFrom; }
  static bool builds_data_range(Ctor c) { return c >= Ctor::DataIntersectionOf; }

  [[noreturn]] void fail_too_deep() {
    fail("nesting deeper than " + std::to_string(kMaxNestingDepth) + " levels");
  }

  DataRange data_range() { return std::get<DataRange>(nested(true)); }
  ClassExpression class_expression() {
    if (is_iri_token()) return named_class();
    return std::get<ClassExpression>(nested(false));
  }

  ClassExpression thing() {
    if (!thing_) thing_ = Class{table_.intern(vocab::kOwlThing)};
    return thing_;
  }
  DataRange literal_range() {
    if (!rdfs_literal_) rdfs_literal_ = Datatype{table_.intern(vocab::kRdfsLiteral)};
    return rdfs_literal_;
  }

  std::vector<ClassExpression> class_expressions(size_t at_least) {
    std::vector<ClassExpression> v;
    while (!at_close()) v.push_back(class_expression());
    if (v.size() < at_least)
      fail_expected("at least " + std::to_string(at_least) + " class expressions");
    return v;
  }

  using Value = std::variant<ClassExpression, DataRange>;

  // Reads one class expression (or data range, with `want_data`).
  Value nested(bool want_data) {
    std::vector<Frame> stack;
    bool need_data = want_data;
    for (;;) {
      Value v;
      bool have = need_data ? start_data_range(stack, v) : start_class_expression(stack, v);
      while (have) {
        if (stack.empty()) return v;
        Frame& f = stack.back();
        if (builds_data_range(f.ctor) || wants_data(f.ctor))
          f.ranges.push_back(std::get<DataRange>(std::move(v)));
        else
          f.classes.push_back(std::get<ClassExpression>(std::move(v)));
        if (is_list(f.ctor)) {
          if (!at_close()) {
            have = false;
            need_data = wants_data(f.ctor);
            break;
          }
          size_t n = f.classes.size() + f.ranges.size();
          if (n < 2)
            fail_expected(builds_data_range(f.ctor) ? "at least 2 data ranges"
                                                    : "at least 2 class expressions");
        }
        close();
        v = build(std::move(f));
        stack.pop_back();
      }
      if (!have) need_data = wants_data(stack.back().ctor);
    }
  }

  void push_frame(std::vector<Frame>& stack, Ctor c, size_t at) {
    if (stack.size() >= kMaxNestingDepth) fail_too_deep();
    stack.push_back(Frame{c, at, 0, {}, {}, {}, {}});
  }

  // Starts a data range: a finished one in `out` (true), or a pushed frame that now
  // waits for its operands (false).
  bool start_data_range(std::vector<Frame>& stack, Value& out) {
    if (is_iri_token()) {
      out = DataRange(datatype());
      return true;
    }
    if (cur_.type != FnToken::Word) fail_expected("a data range");
    std::string_view k = cur_.text;
    const Kw kw = keyword(k);
    size_t at = cur_.offset;
    if (kw == Kw::DataIntersectionOf || kw == Kw::DataUnionOf || kw == Kw::DataComplementOf) {
      advance();
      open();
      push_frame(stack, kw == Kw::DataIntersectionOf ? Ctor::DataIntersectionOf
                        : kw == Kw::DataUnionOf      ? Ctor::DataUnionOf
                                                  : Ctor::DataComplementOf,
                 at);
      return false;
    }
    if (kw == Kw::DataOneOf) {
      advance();
      open();
      std::vector<Literal> lits;
      while (!at_close()) lits.push_back(literal());
      if (lits.empty()) fail_expected("at least one literal");
      close();
      out = DataRange(DataOneOf{std::move(lits)});
      return true;
    }
    if (kw == Kw::DatatypeRestriction) {
      advance();
      open();
      DatatypeRestriction r{datatype(), {}};
      while (!at_close()) {
        size_t facet_at = cur_.offset;
        Iri f = iri();
        auto facet = facet_from_iri(f.str());
        if (!facet) throw Failure{facet_at, "unknown facet <" + std::string(f.str()) + ">"};
        r.restrictions.push_back(FacetRestriction{*facet, literal()});
      }
      if (r.restrictions.empty()) fail_expected("a facet restriction");
      close();
      out = DataRange(std::move(r));
      return true;
    }
    fail_expected("a data range");
  }

  bool start_class_expression(std::vector<Frame>& stack, Value& out) {
    if (is_iri_token()) {
      out = named_class();
      return true;
    }
    if (cur_.type != FnToken::Word) fail_expected("a class expression");
    std::string_view k = cur_.text;
    const Kw kw = keyword(k);
    size_t at = cur_.offset;
    advance();
    open();
    if (kw == Kw::ObjectOneOf) {
      std::vector<Individual> v;
      while (!at_close()) v.push_back(individual());
      if (v.empty()) fail_expected("at least one individual");
      close();
      out = ClassExpression(ObjectOneOf{std::move(v)});
      return true;
    }
    if (kw == Kw::ObjectHasValue) {
      auto p = object_property();
      auto i = individual();
      close();
      out = ClassExpression(ObjectHasValue{std::move(p), std::move(i)});
      return true;
    }
    if (kw == Kw::ObjectHasSelf) {
      auto p = object_property();
      close();
      out = ClassExpression(ObjectHasSelf{std::move(p)});
      return true;
    }
    if (kw == Kw::DataHasValue) {
      auto p = data_property();
      auto l = literal();
      close();
      out = ClassExpression(DataHasValue{std::move(p), std::move(l)});
      return true;
    }
    std::optional<Ctor> ctor;
    switch (kw) {
      case Kw::ObjectIntersectionOf: ctor = Ctor::ObjectIntersectionOf; break;
      case Kw::ObjectUnionOf: ctor = Ctor::ObjectUnionOf; break;
      case Kw::ObjectComplementOf: ctor = Ctor::ObjectComplementOf; break;
      case Kw::ObjectSomeValuesFrom: ctor = Ctor::ObjectSomeValuesFrom; break;
      case Kw::ObjectAllValuesFrom: ctor = Ctor::ObjectAllValuesFrom; break;
      case Kw::ObjectMinCardinality: ctor = Ctor::ObjectMinCardinality; break;
      case Kw::ObjectMaxCardinality: ctor = Ctor::ObjectMaxCardinality; break;
      case Kw::ObjectExactCardinality: ctor = Ctor::ObjectExactCardinality; break;
      case Kw::DataSomeValuesFrom: ctor = Ctor::DataSomeValuesFrom; break;
      case Kw::DataAllValuesFrom: ctor = Ctor::DataAllValuesFrom; break;
      case Kw::DataMinCardinality: ctor = Ctor::DataMinCardinality; break;
      case Kw::DataMaxCardinality: ctor = Ctor::DataMaxCardinality; break;
      case Kw::DataExactCardinality: ctor = Ctor::DataExactCardinality; break;
      default: throw Failure{at, "expected a class expression, found '" + std::string(k) + "'"};
    }
    push_frame(stack, *ctor, at);
    Frame& f = stack.back();
    switch (f.ctor) {
      case Ctor::ObjectSomeValuesFrom:
      case Ctor::ObjectAllValuesFrom:
        f.object_property = object_property();
        return false;
      case Ctor::ObjectMinCardinality:
      case Ctor::ObjectMaxCardinality:
      case Ctor::ObjectExactCardinality:
        f.cardinality = cardinality();
        f.object_property = object_property();
        if (at_close()) return finish_with(stack, thing(), out);
        return false;
      case Ctor::DataSomeValuesFrom:
      case Ctor::DataAllValuesFrom:
        f.data_property = data_property();
        if (is_iri_token()) {
          // An IRI is the filler datatype, unless more follows: then it was a second
          // data property, and n-ary data restrictions are not supported.
          DataRange d = datatype();
          if (!at_close())
            throw Failure{at, "data restrictions over several data properties are not supported"};
          return finish_with(stack, std::move(d), out);
        }
        return false;
      case Ctor::DataMinCardinality:
      case Ctor::DataMaxCardinality:
      case Ctor::DataExactCardinality:
        f.cardinality = cardinality();
        f.data_property = data_property();
        if (at_close()) return finish_with(stack, literal_range(), out);
        return false;
      default:
        return false;
    }
  }

  // Completes the top frame with its last operand.
  bool finish_with(std::vector<Frame>& stack, Value operand, Value& out) {
    Frame& f = stack.back();
    if (auto* d = std::get_if<DataRange>(&operand)) f.ranges.push_back(std::move(*d));
    else f.classes.push_back(std::get<ClassExpression>(std::move(operand)));
    close();
    out = build(std::move(f));
    stack.pop_back();
    return true;
  }

  static Value build(Frame&& f) {
    switch (f.ctor) {
      case Ctor::ObjectIntersectionOf: return ClassExpression(ObjectIntersectionOf{std::move(f.classes)});
      case Ctor::ObjectUnionOf: return ClassExpression(ObjectUnionOf{std::move(f.classes)});
      case Ctor::ObjectComplementOf: return ClassExpression(ObjectComplementOf{std::move(f.classes[0])});
      case Ctor::ObjectSomeValuesFrom:
        return ClassExpression(ObjectSomeValuesFrom{std::move(f.object_property), std::move(f.classes[0])});
      case Ctor::ObjectAllValuesFrom:
        return ClassExpression(ObjectAllValuesFrom{std::move(f.object_property), std::move(f.classes[0])});
      case Ctor::ObjectMinCardinality:
        return ClassExpression(ObjectMinCardinality{f.cardinality, std::move(f.object_property), std::move(f.classes[0])});
      case Ctor::ObjectMaxCardinality:
        return ClassExpression(ObjectMaxCardinality{f.cardinality, std::move(f.object_property), std::move(f.classes[0])});
      case Ctor::ObjectExactCardinality:
        return ClassExpression(ObjectExactCardinality{f.cardinality, std::move(f.object_property), std::move(f.classes[0])});
      case Ctor::DataSomeValuesFrom:
        return ClassExpression(DataSomeValuesFrom{std::move(f.data_property), std::move(f.ranges[0])});
      case Ctor::DataAllValuesFrom:
        return ClassExpression(DataAllValuesFrom{std::move(f.data_property), std::move(f.ranges[0])});
      case Ctor::DataMinCardinality:
        return ClassExpression(DataMinCardinality{f.cardinality, std::move(f.data_property), std::move(f.ranges[0])});
      case Ctor::DataMaxCardinality:
        return ClassExpression(DataMaxCardinality{f.cardinality, std::move(f.data_property), std::move(f.ranges[0])});
      case Ctor::DataExactCardinality:
        return ClassExpression(DataExactCardinality{f.cardinality, std::move(f.data_property), std::move(f.ranges[0])});
      case Ctor::DataIntersectionOf: return DataRange(DataIntersectionOf{std::move(f.ranges)});
      case Ctor::DataUnionOf: return DataRange(DataUnionOf{std::move(f.ranges)});
      case Ctor::DataComplementOf: return DataRange(DataComplementOf{std::move(f.ranges[0])});
    }
    return {};
  }

  // ---- rules --------------------------------------------------------------------------
  IndividualArgument individual_argument() {
    if (is_word("Variable")) {
      advance();
      open();
      Variable v{iri()};
      close();
      return v;
    }
    return individual();
  }
  DataArgument data_argument() {
    if (is_word("Variable")) {
      advance();
      open();
      Variable v{iri()};
      close();
      return v;
    }
    return literal();
  }

  Atom atom() {
    if (cur_.type != FnToken::Word) fail_expected("an atom");
    std::string_view k = cur_.text;
    const Kw kw = keyword(k);
    size_t at = cur_.offset;
    advance();
    open();
    Atom a = [&]() -> Atom {
      if (kw == Kw::ClassAtom) {
        auto ce = class_expression();
        return ClassAtom{std::move(ce), individual_argument()};
      }
      if (kw == Kw::DataRangeAtom) {
        auto dr = data_range();
        return DataRangeAtom{std::move(dr), data_argument()};
      }
      if (kw == Kw::ObjectPropertyAtom) {
        auto p = object_property();
        auto x = individual_argument();
        return ObjectPropertyAtom{std::move(p), std::move(x), individual_argument()};
      }
      if (kw == Kw::DataPropertyAtom) {
        auto p = data_property();
        auto x = individual_argument();
        return DataPropertyAtom{std::move(p), std::move(x), data_argument()};
      }
      if (kw == Kw::BuiltInAtom) {
        BuiltInAtom b{iri(), {}};
        while (!at_close()) b.arguments.push_back(data_argument());
        if (b.arguments.empty()) fail_expected("at least one argument");
        return b;
      }
      if (kw == Kw::SameIndividualAtom || kw == Kw::DifferentIndividualsAtom) {
        auto x = individual_argument();
        auto y = individual_argument();
        if (kw == Kw::SameIndividualAtom) return SameIndividualAtom{std::move(x), std::move(y)};
        return DifferentIndividualsAtom{std::move(x), std::move(y)};
      }
      throw Failure{at, "expected an atom, found '" + std::string(k) + "'"};
    }();
    close();
    return a;
  }

  std::vector<Atom> atoms(std::string_view head) {
    expect_word(head, "'" + std::string(head) + "'");
    open();
    std::vector<Atom> v;
    while (!at_close()) v.push_back(atom());
    close();
    return v;
  }

  // ---- axioms -------------------------------------------------------------------------
  std::vector<ObjectPropertyExpression> object_properties(size_t at_least) {
    std::vector<ObjectPropertyExpression> v;
    while (!at_close()) v.push_back(object_property());
    if (v.size() < at_least)
      fail_expected("at least " + std::to_string(at_least) + " object properties");
    return v;
  }
  std::vector<DataProperty> data_properties(size_t at_least) {
    std::vector<DataProperty> v;
    while (!at_close()) v.push_back(data_property());
    if (v.size() < at_least)
      fail_expected("at least " + std::to_string(at_least) + " data properties");
    return v;
  }
  std::vector<Individual> individuals(size_t at_least) {
    std::vector<Individual> v;
    while (!at_close()) v.push_back(individual());
    if (v.size() < at_least)
      fail_expected("at least " + std::to_string(at_least) + " individuals");
    return v;
  }

  Axiom declaration() {
    if (cur_.type != FnToken::Word) fail_expected("an entity");
    std::string_view k = cur_.text;
    const Kw kw = keyword(k);
    size_t at = cur_.offset;
    advance();
    open();
    Iri i = iri();
    close();
    if (kw == Kw::Class) return DeclareClass{Class{std::move(i)}};
    if (kw == Kw::ObjectProperty) return DeclareObjectProperty{ObjectProperty{std::move(i)}};
    if (kw == Kw::DataProperty) return DeclareDataProperty{DataProperty{std::move(i)}};
    if (kw == Kw::AnnotationProperty) return DeclareAnnotationProperty{AnnotationProperty{std::move(i)}};
    if (kw == Kw::NamedIndividual) return DeclareNamedIndividual{NamedIndividual{std::move(i)}};
    if (kw == Kw::Datatype) return DeclareDatatype{Datatype{std::move(i)}};
    throw Failure{at, "expected an entity kind, found '" + std::string(k) + "'"};
  }

  void axiom() {
    if (cur_.type != FnToken::Word) fail_expected("an axiom or ')'");
    std::string_view k = cur_.text;
    size_t at = cur_.offset;
    advance();
    open();
    AnnotationSet annos = annotations();
    Axiom ax = axiom_body(k, at);
    close();
    reader_fault_point();
    pending_.push_back(AnnotatedAxiom{std::move(ax), std::move(annos)});
  }

  template <class T>
  Axiom property_characteristic() { return T{object_property()}; }

  Axiom axiom_body(std::string_view k, size_t at) {
    const Kw kw = keyword(k);
    if (kw == Kw::Declaration) return declaration();
    if (kw == Kw::SubClassOf) {
      auto sub = class_expression();
      return SubClassOf{std::move(sub), class_expression()};
    }
    if (kw == Kw::EquivalentClasses) return EquivalentClasses{class_expressions(2)};
    if (kw == Kw::DisjointClasses) return DisjointClasses{class_expressions(2)};
    if (kw == Kw::DisjointUnion) {
      Class c = class_entity();
      return DisjointUnion{std::move(c), class_expressions(2)};
    }
    if (kw == Kw::SubObjectPropertyOf) {
      SubObjectPropertyExpression sub;
      if (is_word("ObjectPropertyChain")) {
        advance();
        open();
        sub = ObjectPropertyChain{object_properties(2)};
        close();
      } else {
        sub = object_property();
      }
      return SubObjectPropertyOf{std::move(sub), object_property()};
    }
    if (kw == Kw::EquivalentObjectProperties) return EquivalentObjectProperties{object_properties(2)};
    if (kw == Kw::DisjointObjectProperties) return DisjointObjectProperties{object_properties(2)};
    if (kw == Kw::InverseObjectProperties) {
      auto p = object_property();
      return InverseObjectProperties{std::move(p), object_property()};
    }
    if (kw == Kw::ObjectPropertyDomain) {
      auto p = object_property();
      return ObjectPropertyDomain{std::move(p), class_expression()};
    }
    if (kw == Kw::ObjectPropertyRange) {
      auto p = object_property();
      return ObjectPropertyRange{std::move(p), class_expression()};
    }
    if (kw == Kw::FunctionalObjectProperty) return property_characteristic<FunctionalObjectProperty>();
    if (kw == Kw::InverseFunctionalObjectProperty)
      return property_characteristic<InverseFunctionalObjectProperty>();
    if (kw == Kw::ReflexiveObjectProperty) return property_characteristic<ReflexiveObjectProperty>();
    if (kw == Kw::IrreflexiveObjectProperty) return property_characteristic<IrreflexiveObjectProperty>();
    if (kw == Kw::SymmetricObjectProperty) return property_characteristic<SymmetricObjectProperty>();
    if (kw == Kw::AsymmetricObjectProperty) return property_characteristic<AsymmetricObjectProperty>();
    if (kw == Kw::TransitiveObjectProperty) return property_characteristic<TransitiveObjectProperty>();
    if (kw == Kw::SubDataPropertyOf) {
      auto p = data_property();
      return SubDataPropertyOf{std::move(p), data_property()};
    }
    if (kw == Kw::EquivalentDataProperties) return EquivalentDataProperties{data_properties(2)};
    if (kw == Kw::DisjointDataProperties) return DisjointDataProperties{data_properties(2)};
    if (kw == Kw::DataPropertyDomain) {
      auto p = data_property();
      return DataPropertyDomain{std::move(p), class_expression()};
    }
    if (kw == Kw::DataPropertyRange) {
      auto p = data_property();
      return DataPropertyRange{std::move(p), data_range()};
    }
    if (kw == Kw::FunctionalDataProperty) return FunctionalDataProperty{data_property()};
    if (kw == Kw::DatatypeDefinition) {
      auto d = datatype();
      return DatatypeDefinition{std::move(d), data_range()};
    }
    if (kw == Kw::HasKey) {
      HasKey h;
      h.class_expression = class_expression();
      open();
      h.object_properties = object_properties(0);
      close();
      open();
      h.data_properties = data_properties(0);
      close();
      if (h.object_properties.empty() && h.data_properties.empty())
        throw Failure{at, "HasKey needs at least one property"};
      return h;
    }
    if (kw == Kw::SameIndividual) return SameIndividual{individuals(2)};
    if (kw == Kw::DifferentIndividuals) return DifferentIndividuals{individuals(2)};
    if (kw == Kw::ClassAssertion) {
      auto c = class_expression();
      return ClassAssertion{std::move(c), individual()};
    }
    if (kw == Kw::ObjectPropertyAssertion || kw == Kw::NegativeObjectPropertyAssertion) {
      auto p = object_property();
      auto s = individual();
      auto o = individual();
      if (kw == Kw::ObjectPropertyAssertion)
        return ObjectPropertyAssertion{std::move(p), std::move(s), std::move(o)};
      return NegativeObjectPropertyAssertion{std::move(p), std::move(s), std::move(o)};
    }
    if (kw == Kw::DataPropertyAssertion || kw == Kw::NegativeDataPropertyAssertion) {
      auto p = data_property();
      auto s = individual();
      auto v = literal();
      if (kw == Kw::DataPropertyAssertion)
        return DataPropertyAssertion{std::move(p), std::move(s), std::move(v)};
      return NegativeDataPropertyAssertion{std::move(p), std::move(s), std::move(v)};
    }
    if (kw == Kw::AnnotationAssertion) {
      auto p = annotation_property();
      auto s = annotation_subject();
      return AnnotationAssertion{std::move(p), std::move(s), annotation_value()};
    }
    if (kw == Kw::SubAnnotationPropertyOf) {
      auto p = annotation_property();
      return SubAnnotationPropertyOf{std::move(p), annotation_property()};
    }
    if (kw == Kw::AnnotationPropertyDomain) {
      auto p = annotation_property();
      return AnnotationPropertyDomain{std::move(p), iri()};
    }
    if (kw == Kw::AnnotationPropertyRange) {
      auto p = annotation_property();
      return AnnotationPropertyRange{std::move(p), iri()};
    }
    if (kw == Kw::DLSafeRule) {
      auto body = atoms("Body");
      return Rule{std::move(body), atoms("Head")};
    }
    throw Failure{at, "expected an axiom, found '" + std::string(k) + "'"};
  }

  FnLexer lex_;
  FnLexeme cur_;
  IriTable table_;
  PrefixMapping prefixes_;
  LoadedOntology out_;
  std::vector<AnnotatedAxiom> pending_;
  std::string buf_;
  struct ViewHash {
    size_t operator()(std::string_view v) const noexcept {
      return static_cast<size_t>(internal::hash_text(v));
    }
  };
  tsl::robin_map<std::string_view, Name, ViewHash, std::equal_to<std::string_view>,
                 std::allocator<std::pair<std::string_view, Name>>, true>
      names_;
  ClassExpression thing_;
  DataRange rdfs_literal_;
};

}  // namespace

std::expected<LoadedOntology, ParseError> read_functional(std::string_view text) {
  try {
    FunctionalParser parser(text);
    return parser.document();
  } catch (const Failure& f) {
    return std::unexpected(parse_error_at(text, f.offset, f.message));
  }
}

}  // namespace kelmon::owl
