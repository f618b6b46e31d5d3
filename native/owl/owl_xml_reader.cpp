#include "owl/owl_xml_reader.h"

#include <expat.h>

#include <charconv>
#include <climits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <tsl/robin_map.h>

#include "owl/axiom_set.h"
#include "owl/facet.h"
#include "owl/internal/callback_guard.h"
#include "owl/internal/owl_xml_elements.h"
#include "owl/iri_resolution.h"
#include "owl/reader_fault.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {

namespace {

using internal::OwxElement;
using E = OwxElement;
using internal::owx_name;

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kRdfPlainLiteral = "http://www.w3.org/1999/02/22-rdf-syntax-ns#PlainLiteral";
constexpr std::string_view kRdfLangString = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString";
// Separates a namespace from a local name in expat's element and attribute names; a
// space cannot occur in either.
constexpr char kNsSeparator = ' ';
// The input is handed to expat in pieces of this size (its length argument is an int).
constexpr size_t kChunk = size_t{1} << 26;

// Thrown inside the reader only; read_owl_xml turns it into the error value. Without
// an offset the error is placed at the event being handled.
struct Failure {
  std::string message;
  std::optional<uint64_t> offset;
};

std::string tag(E e) { return "<" + std::string(owx_name(e)) + ">"; }

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_xml_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_xml_space(s.back())) s.remove_suffix(1);
  return s;
}

// ---- values of finished elements ----------------------------------------------------
struct EntityValue { Iri iri; };  // its kind is the element's
struct IriValue { Iri iri; };     // <IRI> or <AbbreviatedIRI>
struct AtomList { std::vector<Atom> atoms; };

using Value = std::variant<std::monostate, EntityValue, IriValue, AnonymousIndividual, Literal,
                           ClassExpression, DataRange, ObjectInverseOf, ObjectPropertyChain,
                           Annotation, FacetRestriction, Atom, AtomList>;

struct Child {
  E el;
  uint64_t at;  // byte offset of its start tag
  Value value;
};

// One open element. Frames are reused from element to element so that their vectors
// keep their capacity.
struct Frame {
  E el;
  uint64_t at = 0;    // byte offset of the start tag
  uint32_t base = 0;  // index into the reader's xml:base stack
  bool own_base = false;  // this element's xml:base is the top of that stack
  uint64_t base_generation = 0;  // which xml:base is in effect; never reused
  Iri iri;            // entity, variable and built-in IRIs
  std::string node_id;
  std::optional<std::string> datatype;  // Literal datatypeIRI, resolved
  std::string lang;
  uint32_t cardinality = 0;
  Facet facet = Facet::Length;
  std::string text;
  std::vector<Child> children;
};

// Reads the children of one finished element in order.
struct Cursor {
  Frame& f;
  size_t i = 0;
  bool more() const { return i < f.children.size(); }
  E peek() const { return f.children[i].el; }
  Child& next() { return f.children[i++]; }
};

class OwlXmlReader {
 public:
  explicit OwlXmlReader(std::string_view text) : text_(text) {
    prefixes_.emplace("owl", std::string(vocab::kOwl));
    prefixes_.emplace("rdf", std::string(vocab::kRdf));
    prefixes_.emplace("rdfs", std::string(vocab::kRdfs));
    prefixes_.emplace("xsd", std::string(vocab::kXsd));
    prefixes_.emplace("xml", std::string(kXmlNamespace));
    bases_.emplace_back();  // no base until an xml:base says so
    pending_.reserve(text.size() / 120 + 16);
  }

  std::expected<LoadedOntology, ParseError> run() {
    parser_ = XML_ParserCreateNS("UTF-8", kNsSeparator);
    if (!parser_) return error_at(0, "cannot create the XML parser");
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OwlXmlReader::on_start, &OwlXmlReader::on_end);
    XML_SetCharacterDataHandler(parser_, &OwlXmlReader::on_text);
    // Neither the external DTD subset nor external entities are ever read.
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetExternalEntityRefHandler(parser_, &OwlXmlReader::on_external_entity);
    XML_SetSkippedEntityHandler(parser_, &OwlXmlReader::on_skipped_entity);

    bool ok = true;
    size_t pos = 0;
    do {
      size_t n = std::min(kChunk, text_.size() - pos);
      bool last = pos + n == text_.size();
      ok = XML_Parse(parser_, text_.data() + pos, static_cast<int>(n), last) == XML_STATUS_OK;
      pos += n;
    } while (ok && pos < text_.size());
    if (callbacks_.failed()) {
      XML_ParserFree(parser_);
      parser_ = nullptr;
      callbacks_.rethrow();
    }

    std::expected<LoadedOntology, ParseError> result;
    if (failure_) {
      result = error_at(*failure_->offset, failure_->message);
    } else if (!ok) {
      XML_Error code = XML_GetErrorCode(parser_);
      result = error_at(static_cast<uint64_t>(std::max<XML_Index>(0, XML_GetCurrentByteIndex(parser_))),
                        "malformed XML: " + std::string(XML_ErrorString(code)));
    } else if (!seen_root_) {
      result = error_at(text_.size(), "expected <Ontology>, found the end of the document");
    } else {
      out_.axioms.insert_all(std::move(pending_));
      for (auto& [name, iri] : prefixes_) out_.prefixes.emplace(name, iri);
      result = std::move(out_);
    }
    XML_ParserFree(parser_);
    parser_ = nullptr;
    return result;
  }

 private:
  std::unexpected<ParseError> error_at(uint64_t offset, std::string message) const {
    ParseError e;
    line_and_column(text_, static_cast<size_t>(offset), e.line, e.column);
    e.message = std::move(message);
    return std::unexpected(std::move(e));
  }

  uint64_t here() const {
    return static_cast<uint64_t>(std::max<XML_Index>(0, XML_GetCurrentByteIndex(parser_)));
  }

  [[noreturn]] void fail(std::string message) { throw Failure{std::move(message), std::nullopt}; }

  // Runs one callback's work; a failure stops expat, which must not be unwound
  // through. A reader failure becomes the parse error; anything else (a broken
  // invariant, exhausted memory) is thrown again once expat has returned.
  template <class F>
  void guarded(F&& work) {
    if (failure_) return;
    const bool ok = callbacks_.run([&] {
      try {
        work();
      } catch (Failure& f) {
        if (!f.offset) f.offset = here();
        failure_ = std::move(f);
      }
    });
    if (!ok || failure_) XML_StopParser(parser_, XML_FALSE);
  }

  static void XMLCALL on_start(void* self, const XML_Char* name, const XML_Char** atts) {
    auto* r = static_cast<OwlXmlReader*>(self);
    r->guarded([&] { r->start(name, atts); });
  }
  static void XMLCALL on_end(void* self, const XML_Char*) {
    auto* r = static_cast<OwlXmlReader*>(self);
    r->guarded([&] { r->end(); });
  }
  static void XMLCALL on_text(void* self, const XML_Char* s, int len) {
    auto* r = static_cast<OwlXmlReader*>(self);
    r->guarded([&] { r->characters(std::string_view(s, static_cast<size_t>(len))); });
  }
  static int XMLCALL on_external_entity(XML_Parser p, const XML_Char*, const XML_Char*,
                                        const XML_Char* system_id, const XML_Char*) {
    auto* r = static_cast<OwlXmlReader*>(XML_GetUserData(p));
    if (!r->failure_) {
      r->callbacks_.run([&] {
        r->failure_ = Failure{"external entity '" + std::string(system_id ? system_id : "") + "' is not loaded",
                              r->here()};
      });
    }
    return XML_STATUS_ERROR;
  }

  // An entity whose declaration expat did not read (it would be in an external DTD):
  // dropping its text silently would change the ontology.
  static void XMLCALL on_skipped_entity(void* self, const XML_Char* name, int is_parameter) {
    auto* r = static_cast<OwlXmlReader*>(self);
    r->guarded([&] {
      r->fail(std::string("entity '") + (is_parameter ? "%" : "&") + name +
              ";' is not declared in the document (external DTDs are not read)");
    });
  }

  // ---- element events -------------------------------------------------------------
  Frame& top() { return frames_[depth_ - 1]; }

  void start(std::string_view name, const XML_Char** atts) {
    size_t sep = name.rfind(kNsSeparator);
    std::string_view ns = sep == std::string_view::npos ? std::string_view() : name.substr(0, sep);
    std::string_view local = sep == std::string_view::npos ? name : name.substr(sep + 1);
    if (ns != vocab::kOwl) {
      fail("unknown element <" + std::string(local) + ">" +
           (ns.empty() ? std::string(" (not in the OWL namespace)")
                       : " in namespace " + std::string(ns)));
    }
    auto found = internal::owx_element(local);
    if (!found) fail("unknown element <" + std::string(local) + ">");
    E el = *found;
    check_place(el);
    if (depth_ >= kMaxNestingDepth)
      fail("elements nested deeper than " + std::to_string(kMaxNestingDepth) + " levels");

    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& f = frames_[depth_];
    f.el = el;
    f.at = here();
    f.base = depth_ == 0 ? 0 : frames_[depth_ - 1].base;
    f.base_generation = depth_ == 0 ? 0 : frames_[depth_ - 1].base_generation;
    f.own_base = false;
    f.iri = Iri();
    f.datatype.reset();
    f.lang.clear();
    f.text.clear();
    f.children.clear();
    ++depth_;
    read_attributes(f, atts);
    if (el == E::Ontology) seen_root_ = true;
  }

  // Where an element may appear; the content of each element is checked at its end.
  void check_place(E el) {
    if (depth_ == 0) {
      if (seen_root_ || el != E::Ontology)
        fail("expected <Ontology> as the document element, found " + tag(el));
      return;
    }
    E parent = top().el;
    if (internal::is_owx_text_element(parent) || internal::is_owx_empty_element(parent))
      fail(tag(parent) + " takes no child elements, found " + tag(el));
    bool top_level = internal::is_owx_axiom(el) || el == E::Prefix || el == E::Import;
    if (parent == E::Ontology) {
      if (!top_level && el != E::Annotation)
        fail("expected an axiom, <Prefix>, <Import> or <Annotation> in <Ontology>, found " +
             tag(el));
    } else if (top_level || el == E::Ontology) {
      fail("unexpected " + tag(el) + " inside " + tag(parent));
    }
  }

  void read_attributes(Frame& f, const XML_Char** atts) {
    std::string_view iri_attr, abbreviated, node_id, datatype, cardinality, facet, base;
    std::string_view prefix_name, ontology_iri, version_iri;
    bool has_iri = false, has_abbreviated = false, has_node_id = false, has_cardinality = false;
    bool has_facet = false, has_base = false, has_prefix_name = false;
    bool has_ontology_iri = false, has_version_iri = false, has_datatype = false;
    for (size_t i = 0; atts[i]; i += 2) {
      std::string_view n = atts[i], v = atts[i + 1];
      if (n == "IRI") { iri_attr = v; has_iri = true; }
      else if (n == "abbreviatedIRI") { abbreviated = v; has_abbreviated = true; }
      else if (n == "nodeID") { node_id = v; has_node_id = true; }
      else if (n == "datatypeIRI") { datatype = v; has_datatype = true; }
      else if (n == "cardinality") { cardinality = v; has_cardinality = true; }
      else if (n == "facet") { facet = v; has_facet = true; }
      else if (n == "name") { prefix_name = v; has_prefix_name = true; }
      else if (n == "ontologyIRI") { ontology_iri = v; has_ontology_iri = true; }
      else if (n == "versionIRI") { version_iri = v; has_version_iri = true; }
      else if (n.starts_with(kXmlNamespace) && n.size() > kXmlNamespace.size() &&
               n[kXmlNamespace.size()] == kNsSeparator) {
        std::string_view local = n.substr(kXmlNamespace.size() + 1);
        if (local == "base") { base = v; has_base = true; }
        else if (local == "lang") f.lang.assign(v);
      }
      // Other attributes carry nothing of the model and are ignored.
    }
    if (has_base) {
      bases_.push_back(resolve_iri(bases_[f.base], trim(base)));
      f.base = static_cast<uint32_t>(bases_.size() - 1);
      f.base_generation = ++base_generations_;
      f.own_base = true;
    }
    switch (f.el) {
      case E::Ontology:
        if (has_version_iri && !has_ontology_iri)
          fail("<Ontology> has a versionIRI but no ontologyIRI");
        if (has_ontology_iri) {
          OntologyHeader h{full_iri(f, ontology_iri), {}};
          if (has_version_iri) h.version_iri = full_iri(f, version_iri);
          pending_.push_back(AnnotatedAxiom{std::move(h), {}});
        }
        break;
      case E::Prefix:
        if (!has_prefix_name || !has_iri) fail("<Prefix> needs the attributes name and IRI");
        prefixes_[std::string(prefix_name)] = resolve_iri(bases_[f.base], trim(iri_attr));
        abbreviated_cache_.clear();  // a prefix declared late changes later expansions
        break;
      case E::Class: case E::Datatype: case E::ObjectProperty: case E::DataProperty:
      case E::AnnotationProperty: case E::NamedIndividual: case E::Variable:
      case E::BuiltInAtom:
        if (has_iri == has_abbreviated)
          fail(tag(f.el) + " needs exactly one of the attributes IRI and abbreviatedIRI");
        f.iri = has_iri ? full_iri(f, iri_attr) : abbreviated_iri(abbreviated);
        break;
      case E::AnonymousIndividual:
        if (!has_node_id || node_id.empty()) fail("<AnonymousIndividual> needs a nodeID");
        f.node_id.assign(node_id.starts_with("_:") ? node_id.substr(2) : node_id);
        break;
      case E::Literal:
        if (has_datatype) {
          f.datatype = resolve_iri(bases_[f.base], trim(datatype));
          if (!f.lang.empty() && *f.datatype != kRdfPlainLiteral && *f.datatype != kRdfLangString)
            fail("a <Literal> with xml:lang cannot have the datatype '" + *f.datatype + "'");
        }
        break;
      case E::ObjectMinCardinality: case E::ObjectMaxCardinality: case E::ObjectExactCardinality:
      case E::DataMinCardinality: case E::DataMaxCardinality: case E::DataExactCardinality:
        if (!has_cardinality) fail(tag(f.el) + " needs a cardinality attribute");
        f.cardinality = parse_cardinality(cardinality);
        break;
      case E::FacetRestriction: {
        if (!has_facet) fail("<FacetRestriction> needs a facet attribute");
        std::string facet_iri = resolve_iri(bases_[f.base], trim(facet));
        auto found = facet_from_iri(facet_iri);
        if (!found) fail("unknown facet '" + facet_iri + "'");
        f.facet = *found;
        break;
      }
      default:
        break;
    }
  }

  uint32_t parse_cardinality(std::string_view v) {
    std::string_view t = trim(v);
    if (t.starts_with('+')) t.remove_prefix(1);
    uint64_t n = 0;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (t.empty() || ec != std::errc() || ptr != t.data() + t.size() || n > UINT32_MAX)
      fail("expected a non-negative integer below 2^32 as cardinality, found '" + std::string(v) +
           "'");
    return static_cast<uint32_t>(n);
  }

  void characters(std::string_view s) {
    if (depth_ == 0) return;
    Frame& f = top();
    if (internal::is_owx_text_element(f.el)) {
      f.text.append(s);
      return;
    }
    for (char c : s)
      if (!is_xml_space(c)) fail("unexpected text in " + tag(f.el));
  }

  void end() {
    Frame& f = top();
    if (depth_ == 1) {
      if (f.own_base) bases_.pop_back();
      --depth_;  // </Ontology>
      return;
    }
    if (depth_ == 2) {
      finish_top_level(f);
    } else {
      Value v = finish(f);
      frames_[depth_ - 2].children.push_back(Child{f.el, f.at, std::move(v)});
    }
    if (f.own_base) bases_.pop_back();
    --depth_;
  }

  // ---- IRIs -------------------------------------------------------------------------
  Iri full_iri(const Frame& f, std::string_view text) {
    text = trim(text);
    const std::string& base = bases_[f.base];
    if (base.empty() || has_scheme(text)) return table_.intern(text);
    // Relative IRIs ("#A") repeat under one base: resolve each once per base.
    if (relative_cache_base_ != f.base_generation) {
      relative_cache_.clear();
      relative_cache_base_ = f.base_generation;
    }
    auto it = relative_cache_.find(text);
    if (it != relative_cache_.end()) return it->second;
    Iri iri = table_.intern(resolve_iri(base, text));
    relative_cache_.emplace(std::string(text), iri);
    return iri;
  }

  Iri abbreviated_iri(std::string_view text) {
    text = trim(text);
    auto cached = abbreviated_cache_.find(text);
    if (cached != abbreviated_cache_.end()) return cached->second;
    size_t colon = text.find(':');
    if (colon == std::string_view::npos)
      fail("expected an abbreviated IRI 'prefix:name', found '" + std::string(text) + "'");
    auto it = prefixes_.find(text.substr(0, colon));
    if (it == prefixes_.end())
      fail("unknown prefix '" + std::string(text.substr(0, colon + 1)) + "'");
    buf_.assign(it->second);
    buf_.append(text.substr(colon + 1));
    Iri iri = table_.intern(buf_);
    abbreviated_cache_.emplace(std::string(text), iri);
    return iri;
  }

  // ---- reading children -------------------------------------------------------------
  [[noreturn]] void expected(Cursor& c, std::string_view what) {
    if (c.more()) {
      throw Failure{"expected " + std::string(what) + " in " + tag(c.f.el) + ", found " +
                        tag(c.peek()),
                    c.f.children[c.i].at};
    }
    fail("expected " + std::string(what) + " in " + tag(c.f.el) + ", found its end");
  }

  void done(Cursor& c) {
    if (c.more())
      throw Failure{"unexpected " + tag(c.peek()) + " in " + tag(c.f.el), c.f.children[c.i].at};
  }

  ClassExpression named_class(const Iri& iri) {
    auto it = class_cache_.find(iri.identity());
    if (it != class_cache_.end()) return it->second;
    ClassExpression ce = Class{iri};
    class_cache_.emplace(iri.identity(), ce);
    return ce;
  }

  ClassExpression class_expression(Cursor& c) {
    if (c.more()) {
      if (c.peek() == E::Class) return named_class(std::get<EntityValue>(c.next().value).iri);
      if (std::holds_alternative<ClassExpression>(c.f.children[c.i].value))
        return std::move(std::get<ClassExpression>(c.next().value));
    }
    expected(c, "a class expression");
  }

  DataRange data_range(Cursor& c) {
    if (c.more()) {
      if (c.peek() == E::Datatype) {
        const Iri& iri = std::get<EntityValue>(c.next().value).iri;
        auto it = range_cache_.find(iri.identity());
        if (it != range_cache_.end()) return it->second;
        DataRange d = Datatype{iri};
        range_cache_.emplace(iri.identity(), d);
        return d;
      }
      if (std::holds_alternative<DataRange>(c.f.children[c.i].value))
        return std::move(std::get<DataRange>(c.next().value));
    }
    expected(c, "a data range");
  }

  Iri entity(Cursor& c, E kind, std::string_view what) {
    if (!c.more() || c.peek() != kind) expected(c, what);
    return std::move(std::get<EntityValue>(c.next().value).iri);
  }
  Class class_entity(Cursor& c) { return Class{entity(c, E::Class, "a <Class>")}; }
  Datatype datatype(Cursor& c) { return Datatype{entity(c, E::Datatype, "a <Datatype>")}; }
  DataProperty data_property(Cursor& c) {
    return DataProperty{entity(c, E::DataProperty, "a <DataProperty>")};
  }
  AnnotationProperty annotation_property(Cursor& c) {
    return AnnotationProperty{entity(c, E::AnnotationProperty, "an <AnnotationProperty>")};
  }

  bool at_object_property(const Cursor& c) const {
    return c.more() && (c.peek() == E::ObjectProperty || c.peek() == E::ObjectInverseOf);
  }
  ObjectPropertyExpression object_property(Cursor& c) {
    if (!at_object_property(c)) expected(c, "an object property expression");
    Child& ch = c.next();
    if (ch.el == E::ObjectProperty) return ObjectProperty{std::move(std::get<EntityValue>(ch.value).iri)};
    return std::move(std::get<ObjectInverseOf>(ch.value));
  }

  Individual individual(Cursor& c) {
    if (c.more()) {
      if (c.peek() == E::NamedIndividual)
        return NamedIndividual{std::move(std::get<EntityValue>(c.next().value).iri)};
      if (c.peek() == E::AnonymousIndividual)
        return std::move(std::get<AnonymousIndividual>(c.next().value));
    }
    expected(c, "an individual");
  }

  Literal literal(Cursor& c) {
    if (!c.more() || c.peek() != E::Literal) expected(c, "a <Literal>");
    return std::move(std::get<Literal>(c.next().value));
  }

  bool at_iri(const Cursor& c) const {
    return c.more() && (c.peek() == E::IRI || c.peek() == E::AbbreviatedIRI);
  }
  Iri iri(Cursor& c) {
    if (!at_iri(c)) expected(c, "an <IRI> or <AbbreviatedIRI>");
    return std::move(std::get<IriValue>(c.next().value).iri);
  }

  AnnotationSubject annotation_subject(Cursor& c) {
    if (c.more() && c.peek() == E::AnonymousIndividual)
      return std::move(std::get<AnonymousIndividual>(c.next().value));
    if (!at_iri(c)) expected(c, "an annotation subject (<IRI>, <AbbreviatedIRI> or <AnonymousIndividual>)");
    return iri(c);
  }

  AnnotationValue annotation_value(Cursor& c) {
    if (c.more() && c.peek() == E::Literal) return literal(c);
    if (c.more() && c.peek() == E::AnonymousIndividual)
      return std::move(std::get<AnonymousIndividual>(c.next().value));
    if (!at_iri(c))
      expected(c, "an annotation value (<IRI>, <AbbreviatedIRI>, <AnonymousIndividual> or <Literal>)");
    return iri(c);
  }

  AnnotationSet annotations(Cursor& c) {
    if (!c.more() || c.peek() != E::Annotation) return {};
    std::vector<Annotation> list;
    while (c.more() && c.peek() == E::Annotation)
      list.push_back(std::move(std::get<Annotation>(c.next().value)));
    return AnnotationSet::from(std::move(list));
  }

  std::string count_of(size_t n, std::string_view what) {
    return "at least " + std::to_string(n) + " " + std::string(what);
  }
  std::vector<ClassExpression> class_expressions(Cursor& c, size_t at_least) {
    std::vector<ClassExpression> v;
    while (c.more()) v.push_back(class_expression(c));
    if (v.size() < at_least) expected(c, count_of(at_least, "class expressions"));
    return v;
  }
  std::vector<DataRange> data_ranges(Cursor& c, size_t at_least) {
    std::vector<DataRange> v;
    while (c.more()) v.push_back(data_range(c));
    if (v.size() < at_least) expected(c, count_of(at_least, "data ranges"));
    return v;
  }
  std::vector<ObjectPropertyExpression> object_properties(Cursor& c, size_t at_least) {
    std::vector<ObjectPropertyExpression> v;
    while (c.more()) v.push_back(object_property(c));
    if (v.size() < at_least) expected(c, count_of(at_least, "object property expressions"));
    return v;
  }
  std::vector<DataProperty> data_properties(Cursor& c, size_t at_least) {
    std::vector<DataProperty> v;
    while (c.more()) v.push_back(data_property(c));
    if (v.size() < at_least) expected(c, count_of(at_least, "data properties"));
    return v;
  }
  std::vector<Individual> individuals(Cursor& c, size_t at_least) {
    std::vector<Individual> v;
    while (c.more()) v.push_back(individual(c));
    if (v.size() < at_least) expected(c, count_of(at_least, "individuals"));
    return v;
  }

  IndividualArgument individual_argument(Cursor& c) {
    if (c.more() && c.peek() == E::Variable)
      return Variable{std::move(std::get<EntityValue>(c.next().value).iri)};
    if (c.more() && (c.peek() == E::NamedIndividual || c.peek() == E::AnonymousIndividual))
      return individual(c);
    expected(c, "a <Variable> or an individual");
  }
  DataArgument data_argument(Cursor& c) {
    if (c.more() && c.peek() == E::Variable)
      return Variable{std::move(std::get<EntityValue>(c.next().value).iri)};
    if (c.more() && c.peek() == E::Literal) return literal(c);
    expected(c, "a <Variable> or a <Literal>");
  }

  ClassExpression thing() {
    if (!thing_) thing_ = named_class(table_.intern(vocab::kOwlThing));
    return thing_;
  }
  DataRange rdfs_literal() {
    if (!rdfs_literal_) rdfs_literal_ = Datatype{table_.intern(vocab::kRdfsLiteral)};
    return rdfs_literal_;
  }

  // ---- finishing elements -----------------------------------------------------------
  Literal make_literal(Frame& f) {
    bool tagged = !f.lang.empty();
    if (f.datatype && *f.datatype != kRdfPlainLiteral && !tagged)
      return Literal::typed(std::move(f.text), Datatype{table_.intern(*f.datatype)});
    if (tagged) return Literal::language_tagged(std::move(f.text), table_.intern(f.lang));
    return Literal::plain(std::move(f.text));
  }

  // The value of an element nested inside an axiom or annotation.
  Value finish(Frame& f) {
    Cursor c{f};
    Value v = finish_value(f, c);
    done(c);
    return v;
  }

  Value finish_value(Frame& f, Cursor& c) {
    switch (f.el) {
      case E::Class: case E::Datatype: case E::ObjectProperty: case E::DataProperty:
      case E::AnnotationProperty: case E::NamedIndividual: case E::Variable:
        return EntityValue{f.iri};
      case E::AnonymousIndividual:
        return AnonymousIndividual{table_.intern(f.node_id)};
      case E::Literal:
        return make_literal(f);
      case E::IRI: {
        std::string_view t = trim(f.text);
        if (t.empty()) fail("empty <IRI>");
        return IriValue{full_iri(f, t)};
      }
      case E::AbbreviatedIRI:
        return IriValue{abbreviated_iri(f.text)};
      case E::ObjectInverseOf:
        return ObjectInverseOf{ObjectProperty{entity(c, E::ObjectProperty, "an <ObjectProperty>")}};
      case E::ObjectPropertyChain:
        return ObjectPropertyChain{object_properties(c, 2)};
      case E::FacetRestriction:
        return FacetRestriction{f.facet, literal(c)};
      case E::Annotation:
        return annotation(c);

      // class expressions
      case E::ObjectIntersectionOf:
        return ClassExpression(ObjectIntersectionOf{class_expressions(c, 2)});
      case E::ObjectUnionOf:
        return ClassExpression(ObjectUnionOf{class_expressions(c, 2)});
      case E::ObjectComplementOf:
        return ClassExpression(ObjectComplementOf{class_expression(c)});
      case E::ObjectOneOf:
        return ClassExpression(ObjectOneOf{individuals(c, 1)});
      case E::ObjectSomeValuesFrom: {
        auto p = object_property(c);
        return ClassExpression(ObjectSomeValuesFrom{std::move(p), class_expression(c)});
      }
      case E::ObjectAllValuesFrom: {
        auto p = object_property(c);
        return ClassExpression(ObjectAllValuesFrom{std::move(p), class_expression(c)});
      }
      case E::ObjectHasValue: {
        auto p = object_property(c);
        return ClassExpression(ObjectHasValue{std::move(p), individual(c)});
      }
      case E::ObjectHasSelf:
        return ClassExpression(ObjectHasSelf{object_property(c)});
      case E::ObjectMinCardinality: case E::ObjectMaxCardinality: case E::ObjectExactCardinality: {
        auto p = object_property(c);
        ClassExpression filler = c.more() ? class_expression(c) : thing();
        uint32_t n = f.cardinality;
        if (f.el == E::ObjectMinCardinality)
          return ClassExpression(ObjectMinCardinality{n, std::move(p), std::move(filler)});
        if (f.el == E::ObjectMaxCardinality)
          return ClassExpression(ObjectMaxCardinality{n, std::move(p), std::move(filler)});
        return ClassExpression(ObjectExactCardinality{n, std::move(p), std::move(filler)});
      }
      case E::DataSomeValuesFrom: {
        auto p = data_property(c);
        return ClassExpression(DataSomeValuesFrom{std::move(p), data_range(c)});
      }
      case E::DataAllValuesFrom: {
        auto p = data_property(c);
        return ClassExpression(DataAllValuesFrom{std::move(p), data_range(c)});
      }
      case E::DataHasValue: {
        auto p = data_property(c);
        return ClassExpression(DataHasValue{std::move(p), literal(c)});
      }
      case E::DataMinCardinality: case E::DataMaxCardinality: case E::DataExactCardinality: {
        auto p = data_property(c);
        DataRange filler = c.more() ? data_range(c) : rdfs_literal();
        uint32_t n = f.cardinality;
        if (f.el == E::DataMinCardinality)
          return ClassExpression(DataMinCardinality{n, std::move(p), std::move(filler)});
        if (f.el == E::DataMaxCardinality)
          return ClassExpression(DataMaxCardinality{n, std::move(p), std::move(filler)});
        return ClassExpression(DataExactCardinality{n, std::move(p), std::move(filler)});
      }

      // data ranges
      case E::DataIntersectionOf:
        return DataRange(DataIntersectionOf{data_ranges(c, 2)});
      case E::DataUnionOf:
        return DataRange(DataUnionOf{data_ranges(c, 2)});
      case E::DataComplementOf:
        return DataRange(DataComplementOf{data_range(c)});
      case E::DataOneOf: {
        std::vector<Literal> lits;
        while (c.more()) lits.push_back(literal(c));
        if (lits.empty()) expected(c, "at least one <Literal>");
        return DataRange(DataOneOf{std::move(lits)});
      }
      case E::DatatypeRestriction: {
        DatatypeRestriction r{datatype(c), {}};
        while (c.more()) {
          if (c.peek() != E::FacetRestriction) expected(c, "a <FacetRestriction>");
          r.restrictions.push_back(std::move(std::get<FacetRestriction>(c.next().value)));
        }
        if (r.restrictions.empty()) expected(c, "a <FacetRestriction>");
        return DataRange(std::move(r));
      }

      // rules
      case E::Body: case E::Head: {
        AtomList list;
        while (c.more()) {
          if (!std::holds_alternative<Atom>(c.f.children[c.i].value)) expected(c, "an atom");
          list.atoms.push_back(std::move(std::get<Atom>(c.next().value)));
        }
        return list;
      }
      case E::ClassAtom: {
        auto ce = class_expression(c);
        return Atom(ClassAtom{std::move(ce), individual_argument(c)});
      }
      case E::DataRangeAtom: {
        auto dr = data_range(c);
        return Atom(DataRangeAtom{std::move(dr), data_argument(c)});
      }
      case E::ObjectPropertyAtom: {
        auto p = object_property(c);
        auto x = individual_argument(c);
        return Atom(ObjectPropertyAtom{std::move(p), std::move(x), individual_argument(c)});
      }
      case E::DataPropertyAtom: {
        auto p = data_property(c);
        auto x = individual_argument(c);
        return Atom(DataPropertyAtom{std::move(p), std::move(x), data_argument(c)});
      }
      case E::BuiltInAtom: {
        BuiltInAtom b{f.iri, {}};
        while (c.more()) b.arguments.push_back(data_argument(c));
        if (b.arguments.empty()) expected(c, "at least one argument");
        return Atom(std::move(b));
      }
      case E::SameIndividualAtom: case E::DifferentIndividualsAtom: {
        auto x = individual_argument(c);
        auto y = individual_argument(c);
        if (f.el == E::SameIndividualAtom) return Atom(SameIndividualAtom{std::move(x), std::move(y)});
        return Atom(DifferentIndividualsAtom{std::move(x), std::move(y)});
      }
      default:
        fail("unexpected " + tag(f.el));  // axioms and the like are placed by check_place
    }
  }

  Annotation annotation(Cursor& c) {
    Annotation a;
    a.annotations = annotations(c);
    a.property = annotation_property(c);
    a.value = annotation_value(c);
    return a;
  }

  AtomList atoms(Cursor& c, E which) {
    if (!c.more() || c.peek() != which) expected(c, tag(which));
    return std::move(std::get<AtomList>(c.next().value));
  }

  // A child of <Ontology>: an import, an ontology annotation or an axiom.
  void finish_top_level(Frame& f) {
    Cursor c{f};
    switch (f.el) {
      case E::Prefix:
        return;  // read with its attributes
      case E::Import: {
        std::string_view t = trim(f.text);
        if (t.empty()) fail("empty <Import>");
        pending_.push_back(AnnotatedAxiom{Import{full_iri(f, t)}, {}});
        return;
      }
      case E::Annotation:
        pending_.push_back(AnnotatedAxiom{OntologyAnnotation{annotation(c)}, {}});
        break;
      default: {
        AnnotationSet annos = annotations(c);
        Axiom ax = axiom_body(f, c);
        reader_fault_point();
        pending_.push_back(AnnotatedAxiom{std::move(ax), std::move(annos)});
        break;
      }
    }
    done(c);
  }

  Axiom declaration(Cursor& c) {
    if (!c.more()) expected(c, "an entity");
    E k = c.peek();
    switch (k) {
      case E::Class: return DeclareClass{class_entity(c)};
      case E::ObjectProperty:
        return DeclareObjectProperty{ObjectProperty{entity(c, k, "")}};
      case E::DataProperty: return DeclareDataProperty{data_property(c)};
      case E::AnnotationProperty: return DeclareAnnotationProperty{annotation_property(c)};
      case E::NamedIndividual:
        return DeclareNamedIndividual{NamedIndividual{entity(c, k, "")}};
      case E::Datatype: return DeclareDatatype{datatype(c)};
      default: expected(c, "an entity");
    }
  }

  Axiom axiom_body(Frame& f, Cursor& c) {
    switch (f.el) {
      case E::Declaration: return declaration(c);
      case E::SubClassOf: {
        auto sub = class_expression(c);
        return SubClassOf{std::move(sub), class_expression(c)};
      }
      case E::EquivalentClasses: return EquivalentClasses{class_expressions(c, 2)};
      case E::DisjointClasses: return DisjointClasses{class_expressions(c, 2)};
      case E::DisjointUnion: {
        Class cls = class_entity(c);
        return DisjointUnion{std::move(cls), class_expressions(c, 2)};
      }
      case E::SubObjectPropertyOf: {
        SubObjectPropertyExpression sub;
        if (c.more() && c.peek() == E::ObjectPropertyChain)
          sub = std::move(std::get<ObjectPropertyChain>(c.next().value));
        else
          sub = object_property(c);
        return SubObjectPropertyOf{std::move(sub), object_property(c)};
      }
      case E::EquivalentObjectProperties: return EquivalentObjectProperties{object_properties(c, 2)};
      case E::DisjointObjectProperties: return DisjointObjectProperties{object_properties(c, 2)};
      case E::InverseObjectProperties: {
        auto p = object_property(c);
        return InverseObjectProperties{std::move(p), object_property(c)};
      }
      case E::ObjectPropertyDomain: {
        auto p = object_property(c);
        return ObjectPropertyDomain{std::move(p), class_expression(c)};
      }
      case E::ObjectPropertyRange: {
        auto p = object_property(c);
        return ObjectPropertyRange{std::move(p), class_expression(c)};
      }
      case E::FunctionalObjectProperty: return FunctionalObjectProperty{object_property(c)};
      case E::InverseFunctionalObjectProperty:
        return InverseFunctionalObjectProperty{object_property(c)};
      case E::ReflexiveObjectProperty: return ReflexiveObjectProperty{object_property(c)};
      case E::IrreflexiveObjectProperty: return IrreflexiveObjectProperty{object_property(c)};
      case E::SymmetricObjectProperty: return SymmetricObjectProperty{object_property(c)};
      case E::AsymmetricObjectProperty: return AsymmetricObjectProperty{object_property(c)};
      case E::TransitiveObjectProperty: return TransitiveObjectProperty{object_property(c)};
      case E::SubDataPropertyOf: {
        auto p = data_property(c);
        return SubDataPropertyOf{std::move(p), data_property(c)};
      }
      case E::EquivalentDataProperties: return EquivalentDataProperties{data_properties(c, 2)};
      case E::DisjointDataProperties: return DisjointDataProperties{data_properties(c, 2)};
      case E::DataPropertyDomain: {
        auto p = data_property(c);
        return DataPropertyDomain{std::move(p), class_expression(c)};
      }
      case E::DataPropertyRange: {
        auto p = data_property(c);
        return DataPropertyRange{std::move(p), data_range(c)};
      }
      case E::FunctionalDataProperty: return FunctionalDataProperty{data_property(c)};
      case E::DatatypeDefinition: {
        auto d = datatype(c);
        return DatatypeDefinition{std::move(d), data_range(c)};
      }
      case E::HasKey: {
        HasKey h;
        h.class_expression = class_expression(c);
        // The key properties: object property expressions, then data properties; each
        // element says which it is, so the two kinds are also accepted interleaved.
        while (c.more()) {
          if (at_object_property(c)) h.object_properties.push_back(object_property(c));
          else if (c.peek() == E::DataProperty) h.data_properties.push_back(data_property(c));
          else expected(c, "an object property expression or a <DataProperty>");
        }
        if (h.object_properties.empty() && h.data_properties.empty())
          expected(c, "at least one key property");
        return h;
      }
      case E::SameIndividual: return SameIndividual{individuals(c, 2)};
      case E::DifferentIndividuals: return DifferentIndividuals{individuals(c, 2)};
      case E::ClassAssertion: {
        auto ce = class_expression(c);
        return ClassAssertion{std::move(ce), individual(c)};
      }
      case E::ObjectPropertyAssertion: case E::NegativeObjectPropertyAssertion: {
        auto p = object_property(c);
        auto s = individual(c);
        auto o = individual(c);
        if (f.el == E::ObjectPropertyAssertion)
          return ObjectPropertyAssertion{std::move(p), std::move(s), std::move(o)};
        return NegativeObjectPropertyAssertion{std::move(p), std::move(s), std::move(o)};
      }
      case E::DataPropertyAssertion: case E::NegativeDataPropertyAssertion: {
        auto p = data_property(c);
        auto s = individual(c);
        auto v = literal(c);
        if (f.el == E::DataPropertyAssertion)
          return DataPropertyAssertion{std::move(p), std::move(s), std::move(v)};
        return NegativeDataPropertyAssertion{std::move(p), std::move(s), std::move(v)};
      }
      case E::AnnotationAssertion: {
        auto p = annotation_property(c);
        auto s = annotation_subject(c);
        return AnnotationAssertion{std::move(p), std::move(s), annotation_value(c)};
      }
      case E::SubAnnotationPropertyOf: {
        auto p = annotation_property(c);
        return SubAnnotationPropertyOf{std::move(p), annotation_property(c)};
      }
      case E::AnnotationPropertyDomain: {
        auto p = annotation_property(c);
        return AnnotationPropertyDomain{std::move(p), iri(c)};
      }
      case E::AnnotationPropertyRange: {
        auto p = annotation_property(c);
        return AnnotationPropertyRange{std::move(p), iri(c)};
      }
      case E::DLSafeRule: {
        auto body = atoms(c, E::Body);
        return Rule{std::move(body.atoms), atoms(c, E::Head).atoms};
      }
      default:
        fail("unexpected " + tag(f.el) + " in <Ontology>");
    }
  }

  std::string_view text_;
  XML_Parser parser_ = nullptr;
  std::optional<Failure> failure_;
  CallbackGuard callbacks_;
  bool seen_root_ = false;
  std::vector<Frame> frames_;
  size_t depth_ = 0;
  std::vector<std::string> bases_;
  IriTable table_;
  PrefixMapping prefixes_;
  LoadedOntology out_;
  std::vector<AnnotatedAxiom> pending_;
  std::string buf_;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view v) const noexcept {
      return static_cast<size_t>(internal::hash_text(v));
    }
  };
  struct TextEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return a == b; }
  };
  using TextCache = tsl::robin_map<std::string, Iri, TextHash, TextEqual>;
  TextCache abbreviated_cache_;
  TextCache relative_cache_;
  uint64_t relative_cache_base_ = 0;
  uint64_t base_generations_ = 0;
  tsl::robin_map<const void*, ClassExpression> class_cache_;
  tsl::robin_map<const void*, DataRange> range_cache_;
  ClassExpression thing_;
  DataRange rdfs_literal_;
};

}  // namespace

std::expected<LoadedOntology, ParseError> read_owl_xml(std::string_view text) {
  OwlXmlReader reader(text);
  return reader.run();
}

}  // namespace kelmon::owl
