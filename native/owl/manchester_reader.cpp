#include "owl/manchester_reader.h"

#include "owl/internal/manchester_grammar.h"
#include "owl/reader_fault.h"

namespace kelmon::owl {

namespace {

using manchester::Failure;
using manchester::Tok;
using manchester::Token;

bool is_frame_keyword(const Token& t) {
  return t.type == Tok::Word && manchester::is_frame_keyword(t.text);
}

bool is_document_keyword(const Token& t) {
  return t.type == Tok::Word && manchester::is_document_keyword(t.text);
}

class DocumentReader {
 public:
  explicit DocumentReader(std::string_view text)
      : text_(text), g_(text, out_.prefixes, ctx_) {
    pending_.reserve(text.size() / 60 + 16);
  }

  LoadedOntology document() {
    out_.prefixes.emplace("owl", std::string(vocab::kOwl));
    out_.prefixes.emplace("rdf", std::string(vocab::kRdf));
    out_.prefixes.emplace("rdfs", std::string(vocab::kRdfs));
    out_.prefixes.emplace("xsd", std::string(vocab::kXsd));
    out_.prefixes.emplace("xml", "http://www.w3.org/XML/1998/namespace");
    while (g_.kw("Prefix:")) prefix_declaration();
    learn_property_kinds();
    if (!g_.kw("Ontology:")) g_.fail_expected("'Prefix:' or 'Ontology:'");
    g_.advance();
    if (at_iri()) {
      OntologyHeader header{iri("the ontology IRI"), {}};
      if (at_iri()) header.version_iri = iri("the version IRI");
      add(std::move(header), {});
    }
    for (;;) {
      if (g_.kw("Import:")) {
        g_.advance();
        add(Import{iri("the imported ontology's IRI")}, {});
      } else if (g_.kw("Annotations:")) {
        g_.advance();
        for (auto& a : annotation_list()) add(OntologyAnnotation{std::move(a)}, {});
      } else {
        break;
      }
    }
    while (g_.cur().type != Tok::End) frame();
    out_.axioms.insert_all(std::move(pending_));
    return std::move(out_);
  }

 private:
  // ---- tokens and names ----------------------------------------------------------
  bool at_iri() const {
    const Token& t = g_.cur();
    return t.type == Tok::FullIri || (g_.is_name(t) && !is_document_keyword(t));
  }
  Iri iri(std::string_view what) {
    if (!at_iri()) g_.fail_expected(what);
    return g_.name();
  }
  bool at_property_expression() const { return at_iri() || g_.kw("inverse"); }
  ObjectPropertyExpression object_property() {
    if (!at_property_expression()) g_.fail_expected("an object property");
    return g_.object_property();
  }
  Individual individual() {
    if (g_.cur().type != Tok::NodeId && !at_iri()) g_.fail_expected("an individual");
    return g_.individual();
  }
  bool is_data_property(std::string_view iri) const {
    std::string s(iri);
    return ctx_.data_properties.contains(s) && !ctx_.object_properties.contains(s);
  }

  void add(Axiom axiom, AnnotationSet annotations) {
    reader_fault_point();
    pending_.push_back(AnnotatedAxiom{std::move(axiom), std::move(annotations)});
  }

  void prefix_declaration() {
    g_.advance();
    const Token& t = g_.cur();
    if (t.type != Tok::Word || t.text.empty() || t.text.back() != ':' ||
        t.text.find(':') != t.text.size() - 1)
      g_.fail_expected("a prefix name ending in ':'");
    std::string name(t.text.substr(0, t.text.size() - 1));
    g_.advance();
    if (g_.cur().type != Tok::FullIri) g_.fail_expected("a full IRI in angle brackets");
    out_.prefixes[name] = std::string(g_.cur().text);
    g_.advance();
  }

  // Which names are object properties, data properties and datatypes, from the frames
  // of the whole document, so that a restriction or fact met before a frame reads right.
  // A lexical fault found here is the document's first one, so it is reported as is.
  void learn_property_kinds() {
    manchester::Lexer scan(text_);
    tsl::robin_set<std::string>* into = nullptr;
    for (Token t = scan.next(); t.type != Tok::End; t = scan.next()) {
      if (into && g_.is_name(t))
        if (auto r = g_.resolve(t)) into->insert(std::move(*r));
      into = t.type != Tok::Word              ? nullptr
             : t.text == "ObjectProperty:" ? &ctx_.object_properties
             : t.text == "DataProperty:"   ? &ctx_.data_properties
             : t.text == "Datatype:"       ? &ctx_.datatypes
                                           : nullptr;
    }
  }

  // ---- annotations ---------------------------------------------------------------
  AnnotationSet optional_annotations() {
    if (!g_.kw("Annotations:")) return {};
    g_.advance();
    return AnnotationSet::from(annotation_list());
  }

  Annotation annotation_item(AnnotationSet annotations) {
    AnnotationProperty property{iri("an annotation property")};
    const Token& t = g_.cur();
    AnnotationValue value;
    if (t.type == Tok::NodeId) {
      value = AnonymousIndividual{Iri(t.text)};
      g_.advance();
    } else if (g_.at_literal()) {
      value = g_.literal();
    } else if (at_iri()) {
      value = g_.name();
    } else {
      g_.fail_expected("an annotation value (a literal, an IRI or an anonymous individual)");
    }
    return Annotation{std::move(property), std::move(value), std::move(annotations)};
  }

  // The list after "Annotations:": [annotations] annotation { ',' [annotations] annotation },
  // where the annotations of an annotation nest on an explicit stack.
  std::vector<Annotation> annotation_list() {
    std::vector<std::vector<Annotation>> levels(1);
    for (;;) {
      if (g_.kw("Annotations:")) {
        g_.advance();
        g_.deeper();
        levels.emplace_back();
        continue;
      }
      levels.back().push_back(annotation_item({}));
      for (;;) {
        if (g_.cur().type == Tok::Comma) {
          g_.advance();
          break;
        }
        if (levels.size() == 1) return std::move(levels[0]);
        AnnotationSet nested = AnnotationSet::from(std::move(levels.back()));
        levels.pop_back();
        --g_.depth_;
        levels.back().push_back(annotation_item(std::move(nested)));
      }
    }
  }

  void annotation_assertions(const AnnotationSubject& subject) {
    for (auto& a : annotation_list())
      add(AnnotationAssertion{std::move(a.property), subject, std::move(a.value)}, std::move(a.annotations));
  }

  // ---- lists -----------------------------------------------------------------------
  // [annotations] item { ',' [annotations] item }
  template <class Item>
  void annotated_list(Item item) {
    for (;;) {
      AnnotationSet a = optional_annotations();
      item(std::move(a));
      if (g_.cur().type != Tok::Comma) return;
      g_.advance();
    }
  }

  // item ',' item { ',' item }
  template <class Item>
  auto list_of_two_or_more(Item item, std::string_view what) {
    std::vector<decltype(item())> v{item()};
    while (g_.cur().type == Tok::Comma) {
      g_.advance();
      v.push_back(item());
    }
    if (v.size() < 2) g_.fail_expected("',' and a second " + std::string(what));
    return v;
  }

  // ---- frames ----------------------------------------------------------------------
  [[noreturn]] void fail_section(std::string_view frame) {
    g_.fail_expected("a section of the " + std::string(frame) + " frame or a new frame");
  }
  void end_of_frame(std::string_view frame) {
    if (g_.cur().type != Tok::End && !is_frame_keyword(g_.cur())) fail_section(frame);
  }

  void frame() {
    g_.forget_read_tokens();
    const Token& t = g_.cur();
    if (!is_frame_keyword(t)) g_.fail_expected("a frame (Class:, ObjectProperty:, DataProperty:, "
                                               "AnnotationProperty:, Individual:, Datatype:, ...)");
    std::string_view k = t.text;
    g_.advance();
    if (k == "Class:") class_frame();
    else if (k == "ObjectProperty:") object_property_frame();
    else if (k == "DataProperty:") data_property_frame();
    else if (k == "AnnotationProperty:") annotation_property_frame();
    else if (k == "Individual:") individual_frame();
    else if (k == "Datatype:") datatype_frame();
    else if (k == "Rule:") rule();
    else misc_axiom(k);
  }

  // "keyword" followed by an annotated list of items, each read by `item` as one axiom.
  template <class Item>
  bool list_section(std::string_view keyword, Item item) {
    if (!g_.kw(keyword)) return false;
    g_.advance();
    annotated_list([&](AnnotationSet a) { add(item(), std::move(a)); });
    return true;
  }
  // "keyword" followed by the annotations of the axiom, then what `rest` reads into it.
  template <class Rest>
  bool annotated_section(std::string_view keyword, Rest rest) {
    if (!g_.kw(keyword)) return false;
    g_.advance();
    AnnotationSet a = optional_annotations();
    add(rest(), std::move(a));
    return true;
  }
  // "Annotations:" of a frame: annotation assertions about its entity.
  bool annotations_section(const AnnotationSubject& subject) {
    if (!g_.kw("Annotations:")) return false;
    g_.advance();
    annotation_assertions(subject);
    return true;
  }

  void class_frame() {
    Class c{iri("a class IRI")};
    add(DeclareClass{c}, {});
    auto description = [&] { return g_.description(); };
    while (annotations_section(c.iri) ||
           list_section("SubClassOf:", [&] { return SubClassOf{c, description()}; }) ||
           list_section("EquivalentTo:", [&] { return EquivalentClasses{{c, description()}}; }) ||
           list_section("DisjointWith:", [&] { return DisjointClasses{{c, description()}}; }) ||
           annotated_section("DisjointUnionOf:", [&] {
             return DisjointUnion{c, list_of_two_or_more(description, "class expression")};
           }) ||
           annotated_section("HasKey:", [&] { return has_key(c); })) {
    }
    end_of_frame("Class");
  }

  // The keys after "HasKey:" and its annotations: key { [','] key }, up to the next
  // section or frame.
  HasKey has_key(const Class& c) {
    HasKey key{c, {}, {}};
    do {
      if (g_.cur().type == Tok::Comma) g_.advance();
      if (g_.kw("inverse")) {
        key.object_properties.push_back(g_.object_property());
        continue;
      }
      Iri p = iri("an object or data property");
      if (is_data_property(p.str())) key.data_properties.push_back(DataProperty{std::move(p)});
      else key.object_properties.push_back(ObjectProperty{std::move(p)});
    } while (g_.cur().type == Tok::Comma || at_property_expression());
    return key;
  }

  void object_property_frame() {
    ObjectProperty p{iri("an object property IRI")};
    add(DeclareObjectProperty{p}, {});
    auto description = [&] { return g_.description(); };
    while (annotations_section(p.iri) ||
           list_section("Domain:", [&] { return ObjectPropertyDomain{p, description()}; }) ||
           list_section("Range:", [&] { return ObjectPropertyRange{p, description()}; }) ||
           list_section("Characteristics:", [&] { return object_characteristic(p); }) ||
           list_section("SubPropertyOf:", [&] { return SubObjectPropertyOf{p, object_property()}; }) ||
           list_section("EquivalentTo:", [&] { return EquivalentObjectProperties{{p, object_property()}}; }) ||
           list_section("DisjointWith:", [&] { return DisjointObjectProperties{{p, object_property()}}; }) ||
           list_section("InverseOf:", [&] { return InverseObjectProperties{p, object_property()}; }) ||
           annotated_section("SubPropertyChain:", [&] { return SubObjectPropertyOf{property_chain(), p}; })) {
    }
    end_of_frame("ObjectProperty");
  }

  // p 'o' p { 'o' p }
  ObjectPropertyChain property_chain() {
    ObjectPropertyChain chain{{object_property()}};
    do {
      if (!g_.kw("o")) g_.fail_expected("'o' and the next property of the chain");
      g_.advance();
      chain.properties.push_back(object_property());
    } while (g_.kw("o"));
    return chain;
  }

  Axiom object_characteristic(const ObjectProperty& p) {
    const Token& t = g_.cur();
    std::string_view w = t.type == Tok::Word ? t.text : std::string_view();
    Axiom a;
    if (w == "Functional") a = FunctionalObjectProperty{p};
    else if (w == "InverseFunctional") a = InverseFunctionalObjectProperty{p};
    else if (w == "Reflexive") a = ReflexiveObjectProperty{p};
    else if (w == "Irreflexive") a = IrreflexiveObjectProperty{p};
    else if (w == "Symmetric") a = SymmetricObjectProperty{p};
    else if (w == "Asymmetric") a = AsymmetricObjectProperty{p};
    else if (w == "Transitive") a = TransitiveObjectProperty{p};
    else
      g_.fail_expected("a characteristic (Functional, InverseFunctional, Reflexive, Irreflexive, "
                       "Symmetric, Asymmetric, Transitive)");
    g_.advance();
    return a;
  }

  DataProperty data_property() { return DataProperty{iri("a data property")}; }

  void data_property_frame() {
    DataProperty p = data_property();
    add(DeclareDataProperty{p}, {});
    while (annotations_section(p.iri) ||
           list_section("Domain:", [&] { return DataPropertyDomain{p, g_.description()}; }) ||
           list_section("Range:", [&] { return DataPropertyRange{p, g_.data_range()}; }) ||
           list_section("Characteristics:", [&] {
             if (!g_.kw("Functional")) g_.fail_expected("'Functional', the one characteristic of a data property");
             g_.advance();
             return FunctionalDataProperty{p};
           }) ||
           list_section("SubPropertyOf:", [&] { return SubDataPropertyOf{p, data_property()}; }) ||
           list_section("EquivalentTo:", [&] { return EquivalentDataProperties{{p, data_property()}}; }) ||
           list_section("DisjointWith:", [&] { return DisjointDataProperties{{p, data_property()}}; })) {
    }
    end_of_frame("DataProperty");
  }

  void annotation_property_frame() {
    AnnotationProperty p{iri("an annotation property IRI")};
    add(DeclareAnnotationProperty{p}, {});
    while (annotations_section(p.iri) ||
           list_section("Domain:", [&] { return AnnotationPropertyDomain{p, iri("an IRI")}; }) ||
           list_section("Range:", [&] { return AnnotationPropertyRange{p, iri("an IRI")}; }) ||
           list_section("SubPropertyOf:", [&] {
             return SubAnnotationPropertyOf{p, AnnotationProperty{iri("an annotation property")}};
           })) {
    }
    end_of_frame("AnnotationProperty");
  }

  void individual_frame() {
    Individual x = individual();
    AnnotationSubject subject;
    if (auto* named = std::get_if<NamedIndividual>(&x)) {
      add(DeclareNamedIndividual{*named}, {});
      subject = named->iri;
    } else {
      subject = std::get<AnonymousIndividual>(x);
    }
    while (annotations_section(subject) ||
           list_section("Types:", [&] { return ClassAssertion{g_.description(), x}; }) ||
           list_section("Facts:", [&] { return fact(x); }) ||
           list_section("SameAs:", [&] { return SameIndividual{{x, individual()}}; }) ||
           list_section("DifferentFrom:", [&] { return DifferentIndividuals{{x, individual()}}; })) {
    }
    end_of_frame("Individual");
  }

  // ['not'] property value: a literal value makes a data property fact unless the
  // document has the property as an object property.
  Axiom fact(const Individual& subject) {
    bool negative = g_.kw("not");
    if (negative) g_.advance();
    Iri p = iri("a property");
    std::string s(p.str());
    bool data = is_data_property(p.str());
    if (!data && !ctx_.object_properties.contains(s))
      data = g_.at_literal();
    if (data) {
      Literal value = g_.literal();
      if (negative) return NegativeDataPropertyAssertion{DataProperty{std::move(p)}, subject, std::move(value)};
      return DataPropertyAssertion{DataProperty{std::move(p)}, subject, std::move(value)};
    }
    Individual object = individual();
    if (negative) return NegativeObjectPropertyAssertion{ObjectProperty{std::move(p)}, subject, std::move(object)};
    return ObjectPropertyAssertion{ObjectProperty{std::move(p)}, subject, std::move(object)};
  }

  void datatype_frame() {
    Datatype d{iri("a datatype IRI")};
    add(DeclareDatatype{d}, {});
    while (annotations_section(d.iri) ||
           annotated_section("EquivalentTo:", [&] { return DatatypeDefinition{d, g_.data_range()}; })) {
    }
    end_of_frame("Datatype");
  }

  // ---- rules --------------------------------------------------------------------------
  // Rule: [annotations] atom { ',' atom } '->' atom { ',' atom }, where a variable is
  // written ?name and stands for the IRI urn:swrl:var#name.
  void rule() {
    AnnotationSet a = optional_annotations();
    Rule r;
    if (!at_arrow()) r.body = atoms();
    if (!at_arrow()) g_.fail_expected("',' and an atom, or '->'");
    g_.advance();
    g_.advance();
    r.head = atoms();
    add(std::move(r), std::move(a));
    end_of_frame("Rule");
  }

  bool at_arrow() const {
    return g_.kw("-") && g_.peek(1).type == Tok::Symbol && g_.peek(1).text == ">";
  }

  std::vector<Atom> atoms() {
    std::vector<Atom> v{atom()};
    while (g_.cur().type == Tok::Comma) {
      g_.advance();
      v.push_back(atom());
    }
    return v;
  }

  // An argument of an atom and where it stands, for the error about a wrong kind.
  struct Argument {
    std::variant<Variable, Individual, Literal> value;
    size_t offset;
  };

  Argument argument() {
    const Token& t = g_.cur();
    size_t offset = t.offset;
    if (t.type == Tok::Word && t.text.size() > 1 && t.text[0] == '?') {
      Variable v{Iri("urn:swrl:var#" + std::string(t.text.substr(1)))};
      g_.advance();
      return {v, offset};
    }
    if (g_.at_literal()) return {g_.literal(), offset};
    return {individual(), offset};
  }

  std::vector<Argument> arguments() {
    g_.expect(Tok::LParen, "'('");
    std::vector<Argument> v{argument()};
    while (g_.cur().type == Tok::Comma) {
      g_.advance();
      v.push_back(argument());
    }
    g_.expect(Tok::RParen, "',' or ')'");
    return v;
  }

  static IndividualArgument individual_argument(Argument a) {
    if (auto* v = std::get_if<Variable>(&a.value)) return *v;
    if (auto* i = std::get_if<Individual>(&a.value)) return *i;
    throw Failure{a.offset, "expected an individual or a variable, found a literal"};
  }
  static DataArgument data_argument(Argument a) {
    if (auto* v = std::get_if<Variable>(&a.value)) return *v;
    if (auto* l = std::get_if<Literal>(&a.value)) return *l;
    throw Failure{a.offset, "expected a literal or a variable, found an individual"};
  }

  Atom atom() {
    if (g_.cur().type == Tok::LParen) {
      g_.advance();
      ClassExpression c = g_.description();
      g_.expect(Tok::RParen, "')'");
      auto args = arguments();
      if (args.size() != 1) throw Failure{args[1].offset, "a class atom takes one argument"};
      return ClassAtom{std::move(c), individual_argument(std::move(args[0]))};
    }
    if (g_.kw("SameAs") || g_.kw("DifferentFrom")) {
      bool same = g_.kw("SameAs");
      g_.advance();
      auto args = arguments();
      if (args.size() != 2) throw Failure{args[0].offset, "this atom takes two arguments"};
      IndividualArgument first = individual_argument(std::move(args[0]));
      IndividualArgument second = individual_argument(std::move(args[1]));
      if (same) return SameIndividualAtom{std::move(first), std::move(second)};
      return DifferentIndividualsAtom{std::move(first), std::move(second)};
    }
    Iri name = iri("an atom");
    auto args = arguments();
    std::string_view n = name.str();
    bool builtin = n.starts_with("http://www.w3.org/2003/11/swrlb#") || args.size() > 2;
    if (!builtin && args.size() == 1) {
      if (g_.is_datatype_iri(n))
        return DataRangeAtom{Datatype{std::move(name)}, data_argument(std::move(args[0]))};
      return ClassAtom{Class{std::move(name)}, individual_argument(std::move(args[0]))};
    }
    if (!builtin) {
      bool data = is_data_property(n) ||
                  (!ctx_.object_properties.contains(std::string(n)) && std::holds_alternative<Literal>(args[1].value));
      IndividualArgument first = individual_argument(std::move(args[0]));
      if (data) return DataPropertyAtom{DataProperty{std::move(name)}, std::move(first), data_argument(std::move(args[1]))};
      return ObjectPropertyAtom{ObjectProperty{std::move(name)}, std::move(first),
                                individual_argument(std::move(args[1]))};
    }
    BuiltInAtom b{std::move(name), {}};
    for (auto& a : args) b.arguments.push_back(data_argument(std::move(a)));
    return b;
  }

  void misc_axiom(std::string_view k) {
    AnnotationSet a = optional_annotations();
    if (k == "EquivalentClasses:" || k == "DisjointClasses:") {
      auto members = list_of_two_or_more([&] { return g_.description(); }, "class expression");
      if (k == "EquivalentClasses:") add(EquivalentClasses{std::move(members)}, std::move(a));
      else add(DisjointClasses{std::move(members)}, std::move(a));
    } else if (k == "SameIndividual:" || k == "DifferentIndividuals:") {
      auto members = list_of_two_or_more([&] { return individual(); }, "individual");
      if (k == "SameIndividual:") add(SameIndividual{std::move(members)}, std::move(a));
      else add(DifferentIndividuals{std::move(members)}, std::move(a));
    } else {
      // EquivalentProperties: / DisjointProperties: hold data properties when the
      // first member is one.
      bool equivalent = k == "EquivalentProperties:";
      bool data = false;
      if (at_iri())
        if (auto r = g_.resolve(g_.cur())) data = is_data_property(*r);
      if (data) {
        auto members = list_of_two_or_more([&] { return data_property(); }, "data property");
        if (equivalent) add(EquivalentDataProperties{std::move(members)}, std::move(a));
        else add(DisjointDataProperties{std::move(members)}, std::move(a));
      } else {
        auto members = list_of_two_or_more([&] { return object_property(); }, "object property");
        if (equivalent) add(EquivalentObjectProperties{std::move(members)}, std::move(a));
        else add(DisjointObjectProperties{std::move(members)}, std::move(a));
      }
    }
    end_of_frame(k.substr(0, k.size() - 1));
  }

  std::string_view text_;
  LoadedOntology out_;
  BuildContext ctx_;
  manchester::Grammar g_;
  std::vector<AnnotatedAxiom> pending_;
};

}  // namespace

std::expected<LoadedOntology, ParseError> read_manchester(std::string_view text) {
  try {
    DocumentReader reader(text);
    return reader.document();
  } catch (const Failure& f) {
    return std::unexpected(parse_error_at(text, f.offset, f.message));
  }
}

}  // namespace kelmon::owl
