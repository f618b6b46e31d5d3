#include "owl/internal/rdf_graph.h"

#include <raptor2.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "owl/internal/callback_guard.h"
#include "owl/iri.h"
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
  raptor_parser* parser = nullptr;
  bool failed = false;
  ParseError error;
  CallbackGuard callbacks;
};

std::string_view view(const unsigned char* s, size_t n) {
  return std::string_view(reinterpret_cast<const char*>(s), n);
}

TermId term_of(Graph& g, const raptor_term* t) {
  switch (t->type) {
    case RAPTOR_TERM_TYPE_URI: {
      size_t n = 0;
      const unsigned char* s = raptor_uri_as_counted_string(t->value.uri, &n);
      return g.iri(view(s, n));
    }
    case RAPTOR_TERM_TYPE_BLANK:
      return g.blank(view(t->value.blank.string, t->value.blank.string_len));
    case RAPTOR_TERM_TYPE_LITERAL: {
      const auto& lit = t->value.literal;
      TermId datatype;
      if (lit.datatype) {
        size_t n = 0;
        const unsigned char* s = raptor_uri_as_counted_string(lit.datatype, &n);
        datatype = g.iri(view(s, n));
      }
      std::string_view language;
      if (lit.language && lit.language_len > 0) language = view(lit.language, lit.language_len);
      std::string_view lexical;
      if (lit.string) lexical = view(lit.string, lit.string_len);
      return g.literal(lexical, language, datatype);
    }
    default:
      return TermId{};
  }
}

void add_statement(ParseState& state, const raptor_statement* st) {
  reader_fault_point();
  TermId s = term_of(state.graph, st->subject);
  TermId p = term_of(state.graph, st->predicate);
  TermId o = term_of(state.graph, st->object);
  if (s.none() || p.none() || o.none()) return;
  state.graph.add(s, p, o);
}

void record_error(ParseState& state, const raptor_log_message* message) {
  const raptor_locator* where = message->locator;
  // XML errors come without a place; the parser's own locator still has one.
  if ((!where || where->line <= 0) && state.parser) where = raptor_parser_get_locator(state.parser);
  if (where) {
    state.error.line = where->line > 0 ? static_cast<uint32_t>(where->line) : 0;
    state.error.column = where->column > 0 ? static_cast<uint32_t>(where->column) : 0;
  }
  std::string text = message->text ? message->text : "RDF/XML error";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  state.error.message = std::move(text);
}

// Raptor's callbacks. Raptor is C and must not be unwound through: what they
// throw is kept and thrown again once the parse has returned.
void on_statement(void* user, raptor_statement* st) {
  auto* state = static_cast<ParseState*>(user);
  if (state->failed) return;
  if (state->callbacks.run([&] { add_statement(*state, st); })) return;
  state->failed = true;
  raptor_parser_parse_abort(state->parser);
}

void on_log(void* user, raptor_log_message* message) {
  auto* state = static_cast<ParseState*>(user);
  if (message->level < RAPTOR_LOG_LEVEL_ERROR || state->failed) return;
  state->failed = true;
  state->callbacks.run([&] { record_error(*state, message); });
  if (state->parser) raptor_parser_parse_abort(state->parser);
}

// Releases raptor's objects on every path out of the parse.
struct RaptorHandles {
  raptor_world* world = nullptr;
  raptor_parser* parser = nullptr;
  raptor_uri* base = nullptr;
  ~RaptorHandles() {
    if (base) raptor_free_uri(base);
    if (parser) raptor_free_parser(parser);
    if (world) raptor_free_world(world);
  }
};

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
  ParseState state;
  RaptorHandles h;
  h.world = raptor_new_world();
  if (!h.world || raptor_world_open(h.world) != 0)
    return std::unexpected(ParseError{0, 0, "cannot start the RDF parser"});
  raptor_world_set_log_handler(h.world, &state, on_log);
  h.parser = raptor_new_parser(h.world, "rdfxml");
  if (!h.parser) return std::unexpected(ParseError{0, 0, "cannot start the RDF/XML parser"});
  state.parser = h.parser;
  // A document may never make the parser read a file or the network.
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_NET, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_FILE, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_LOAD_EXTERNAL_ENTITIES, nullptr, 0);
  // Language tags keep their case, as the other readers keep them.
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NORMALIZE_LANGUAGE, nullptr, 0);
  raptor_parser_set_statement_handler(h.parser, &state, on_statement);
  h.base = raptor_new_uri(h.world, reinterpret_cast<const unsigned char*>(kDocumentBase));
  if (raptor_parser_parse_start(h.parser, h.base) != 0 && !state.failed)
    return std::unexpected(ParseError{0, 0, "cannot start the RDF/XML parser"});
  // Fed in slices: raptor's chunk length is an int inside libxml2.
  constexpr size_t kChunk = size_t{1} << 20;
  size_t at = 0;
  while (!state.failed && at < text.size()) {
    size_t n = std::min(kChunk, text.size() - at);
    raptor_parser_parse_chunk(h.parser, reinterpret_cast<const unsigned char*>(text.data() + at), n, 0);
    at += n;
  }
  if (!state.failed) raptor_parser_parse_chunk(h.parser, nullptr, 0, 1);
  state.callbacks.rethrow();
  if (state.failed) return std::unexpected(std::move(state.error));
  state.graph.index();
  return std::move(state.graph);
}

}  // namespace kelmon::owl::rdf
