#include "owl/internal/rdf_graph.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "owl/internal/callback_guard.h"
#include "owl/iri.h"
#include "owl/rdf_xml_syntax.h"
#include "owl/reader_fault.h"

namespace kelmon::owl::rdf {

size_t Graph::ViewHash::operator()(std::string_view v) const noexcept {
  return static_cast<size_t>(internal::hash_text(v));
}

Graph::Graph() { terms_.reserve(1024); }

std::string_view Graph::store(std::string_view text) {
  if (text.empty()) return {};
  if (block_used_ + text.size() > block_size_) {
    block_size_ = std::max<size_t>(size_t{1} << 16, text.size());
    blocks_.push_back(std::make_unique<char[]>(block_size_));
    block_used_ = 0;
  }
  char* at = blocks_.back().get() + block_used_;
  std::memcpy(at, text.data(), text.size());
  block_used_ += text.size();
  return std::string_view(at, text.size());
}

TermId Graph::intern(TermKind kind, std::string_view key, const Term& proto) {
  auto it = ids_.find(key);
  if (it != ids_.end()) return TermId{it->second};
  std::string_view stored_key = store(key);
  Term t = proto;
  t.kind = kind;
  // The text is the tail of the key (after the tag), the language its head for
  // tagged literals; both view the stored key.
  size_t text_at = key.size() - proto.text.size();
  t.text = stored_key.substr(text_at);
  if (!proto.language.empty()) t.language = stored_key.substr(1, proto.language.size());
  uint32_t id = static_cast<uint32_t>(terms_.size());
  terms_.push_back(t);
  ids_.emplace(stored_key, id);
  return TermId{id};
}

TermId Graph::iri(std::string_view text) {
  key_.assign(1, 'I');
  key_.append(text);
  return intern(TermKind::Iri, key_, Term{TermKind::Iri, text, {}, {}});
}

TermId Graph::find_iri(std::string_view text) const {
  std::string key(1, 'I');
  key.append(text);
  auto it = ids_.find(key);
  return it == ids_.end() ? TermId{} : TermId{it->second};
}

TermId Graph::blank(std::string_view id) {
  key_.assign(1, 'B');
  key_.append(id);
  return intern(TermKind::Blank, key_, Term{TermKind::Blank, id, {}, {}});
}

TermId Graph::literal(std::string_view lexical, std::string_view language, TermId datatype) {
  // Tag, language or datatype id, a separator that no language tag or id holds, text.
  if (!language.empty()) {
    key_.assign(1, '@');
    key_.append(language);
  } else if (!datatype.none()) {
    key_.assign(1, '^');
    key_.append(std::to_string(datatype.v));
  } else {
    key_.assign(1, '"');
  }
  key_.push_back('\n');
  key_.append(lexical);
  return intern(TermKind::Literal, key_, Term{TermKind::Literal, lexical, language, datatype});
}

void Graph::index() {
  offsets_.assign(terms_.size() + 1, 0);
  for (const Triple& t : triples_) ++offsets_[t.s.v + 1];
  for (size_t i = 1; i < offsets_.size(); ++i) offsets_[i] += offsets_[i - 1];
  std::vector<Triple> sorted(triples_.size());
  std::vector<uint32_t> next(offsets_.begin(), offsets_.end() - 1);
  for (const Triple& t : triples_) sorted[next[t.s.v]++] = t;
  triples_ = std::move(sorted);
}

namespace {

struct ParseState {
  Graph graph;
  ParseError error;
  CallbackGuard callbacks;
};

TermId term_of(Graph& g, const KelmonRdfTerm& t) {
  const std::string_view text(t.text, t.text_size);
  switch (t.kind) {
    case KELMON_RDF_IRI:
      return g.iri(text);
    case KELMON_RDF_BLANK:
      return g.blank(text);
    case KELMON_RDF_LITERAL: {
      TermId datatype;
      if (t.datatype) datatype = g.iri(std::string_view(t.datatype, t.datatype_size));
      return g.literal(text, std::string_view(t.language, t.language_size), datatype);
    }
    default:
      return TermId{};
  }
}

void add_statement(ParseState& state, const KelmonRdfTerm& subject, const KelmonRdfTerm& predicate,
                   const KelmonRdfTerm& object) {
  reader_fault_point();
  TermId s = term_of(state.graph, subject);
  TermId p = term_of(state.graph, predicate);
  TermId o = term_of(state.graph, object);
  if (s.none() || p.none() || o.none()) return;
  state.graph.add(s, p, o);
}

void record_error(ParseState& state, long line, long column, const char* message) {
  state.error.line = line > 0 ? static_cast<uint32_t>(line) : 0;
  state.error.column = column > 0 ? static_cast<uint32_t>(column) : 0;
  std::string text = message;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  state.error.message = std::move(text);
}

// The parser is C and must not be unwound through: what the sink throws is kept
// and thrown again once the parse has returned.
int on_triple(void* user, const KelmonRdfTerm* s, const KelmonRdfTerm* p, const KelmonRdfTerm* o) {
  auto* state = static_cast<ParseState*>(user);
  return state->callbacks.run([&] { add_statement(*state, *s, *p, *o); }) ? 1 : 0;
}

void on_error(void* user, long line, long column, const char* message) {
  auto* state = static_cast<ParseState*>(user);
  state->callbacks.run([&] { record_error(*state, line, column, message); });
}

// The element depth of the document, up to `limit`, found by a lexical scan that
// skips comments, CDATA sections, processing instructions and declarations. The RDF/XML
// parser's time grows with the square of the depth, so deep documents are refused
// before it runs. Returns the offset of the first element deeper than the limit.
std::optional<size_t> too_deep_element(std::string_view text, size_t limit) {
  size_t depth = 0;
  size_t i = 0;
  const size_t n = text.size();
  auto skip_past = [&](std::string_view end) {
    size_t at = text.find(end, i);
    i = at == std::string_view::npos ? n : at + end.size();
  };
  while (i < n) {
    const void* lt = std::memchr(text.data() + i, '<', n - i);
    if (!lt) break;
    i = static_cast<size_t>(static_cast<const char*>(lt) - text.data());
    std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--")) {
      skip_past("-->");
    } else if (rest.starts_with("<![CDATA[")) {
      skip_past("]]>");
    } else if (rest.starts_with("<?")) {
      skip_past("?>");
    } else if (rest.starts_with("<!")) {
      skip_past(">");
    } else if (rest.starts_with("</")) {
      if (depth > 0) --depth;
      skip_past(">");
    } else {
      size_t start = i;
      ++i;
      char quote = 0;
      while (i < n) {
        char c = text[i];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
        ++i;
      }
      bool self_closing = i < n && i > start && text[i - 1] == '/';
      ++i;
      if (!self_closing && ++depth > limit) return start;
    }
  }
  return std::nullopt;
}

// Relative references in a document without xml:base resolve against this.
constexpr const char* kDocumentBase = "urn:kelmon-document";

}  // namespace

std::expected<Graph, ParseError> parse_rdf_xml_graph(std::string_view text) {
  if (auto at = too_deep_element(text, kMaxNestingDepth)) {
    ParseError e;
    line_and_column(text, *at, e.line, e.column);
    e.message = "XML elements nested deeper than " + std::to_string(kMaxNestingDepth) + " levels";
    return std::unexpected(std::move(e));
  }
  auto parse = rdf_xml_syntax_parser();
  if (!parse) return std::unexpected(ParseError{0, 0, std::move(parse.error())});
  ParseState state;
  const KelmonRdfSink sink{&state, on_triple, on_error};
  const bool complete = (*parse)(text.data(), text.size(), kDocumentBase, &sink) == 0;
  state.callbacks.rethrow();
  if (!complete) {
    if (state.error.message.empty()) state.error.message = "RDF/XML error";
    return std::unexpected(std::move(state.error));
  }
  state.graph.index();
  return std::move(state.graph);
}

}  // namespace kelmon::owl::rdf
