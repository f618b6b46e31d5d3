// The RDF/XML syntax parser over raptor2: the only code that includes raptor.
// Built into the parser library and into the programs that link the parser in.
#include <raptor2.h>

#include <algorithm>

#include "owl/rdf_xml_syntax.h"

namespace {

struct ParseState {
  const KelmonRdfSink* sink = nullptr;
  raptor_parser* parser = nullptr;
  bool stopped = false;
};

KelmonRdfTerm term_of(const raptor_term* t) {
  KelmonRdfTerm out{};
  switch (t->type) {
    case RAPTOR_TERM_TYPE_URI: {
      out.kind = KELMON_RDF_IRI;
      size_t n = 0;
      out.text = reinterpret_cast<const char*>(raptor_uri_as_counted_string(t->value.uri, &n));
      out.text_size = n;
      break;
    }
    case RAPTOR_TERM_TYPE_BLANK:
      out.kind = KELMON_RDF_BLANK;
      out.text = reinterpret_cast<const char*>(t->value.blank.string);
      out.text_size = t->value.blank.string_len;
      break;
    case RAPTOR_TERM_TYPE_LITERAL: {
      const auto& lit = t->value.literal;
      out.kind = KELMON_RDF_LITERAL;
      if (lit.string) {
        out.text = reinterpret_cast<const char*>(lit.string);
        out.text_size = lit.string_len;
      }
      if (lit.language && lit.language_len > 0) {
        out.language = reinterpret_cast<const char*>(lit.language);
        out.language_size = lit.language_len;
      }
      if (lit.datatype) {
        size_t n = 0;
        out.datatype = reinterpret_cast<const char*>(raptor_uri_as_counted_string(lit.datatype, &n));
        out.datatype_size = n;
      }
      break;
    }
    default:
      out.kind = -1;
      break;
  }
  return out;
}

void stop(ParseState& state) {
  state.stopped = true;
  if (state.parser) raptor_parser_parse_abort(state.parser);
}

void on_statement(void* user, raptor_statement* st) {
  auto* state = static_cast<ParseState*>(user);
  if (state->stopped) return;
  KelmonRdfTerm s = term_of(st->subject), p = term_of(st->predicate), o = term_of(st->object);
  if (s.kind < 0 || p.kind < 0 || o.kind < 0) return;
  if (!state->sink->triple(state->sink->user, &s, &p, &o)) stop(*state);
}

void on_log(void* user, raptor_log_message* message) {
  auto* state = static_cast<ParseState*>(user);
  if (message->level < RAPTOR_LOG_LEVEL_ERROR || state->stopped) return;
  const raptor_locator* where = message->locator;
  // XML errors come without a place; the parser's own locator still has one.
  if ((!where || where->line <= 0) && state->parser) where = raptor_parser_get_locator(state->parser);
  long line = where && where->line > 0 ? where->line : 0;
  long column = where && where->column > 0 ? where->column : 0;
  state->sink->error(state->sink->user, line, column, message->text ? message->text : "RDF/XML error");
  stop(*state);
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

int fail(const KelmonRdfSink* sink, const char* message) {
  sink->error(sink->user, 0, 0, message);
  return 1;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int kelmon_rdf_xml_parse(const char* text, size_t size,
                                                                          const char* base,
                                                                          const KelmonRdfSink* sink) {
  ParseState state;
  state.sink = sink;
  RaptorHandles h;
  h.world = raptor_new_world();
  if (!h.world || raptor_world_open(h.world) != 0) return fail(sink, "cannot start the RDF parser");
  raptor_world_set_log_handler(h.world, &state, on_log);
  h.parser = raptor_new_parser(h.world, "rdfxml");
  if (!h.parser) return fail(sink, "cannot start the RDF/XML parser");
  state.parser = h.parser;
  // A document may never make the parser read a file or the network.
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_NET, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_FILE, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_LOAD_EXTERNAL_ENTITIES, nullptr, 0);
  // Language tags keep their case, as the other readers keep them.
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NORMALIZE_LANGUAGE, nullptr, 0);
  raptor_parser_set_statement_handler(h.parser, &state, on_statement);
  h.base = raptor_new_uri(h.world, reinterpret_cast<const unsigned char*>(base));
  if (!h.base) return fail(sink, "cannot start the RDF/XML parser");
  if (raptor_parser_parse_start(h.parser, h.base) != 0)
    return state.stopped ? 1 : fail(sink, "cannot start the RDF/XML parser");
  // Fed in slices: raptor's chunk length is an int inside libxml2.
  constexpr size_t kChunk = size_t{1} << 20;
  size_t at = 0;
  while (!state.stopped && at < size) {
    size_t n = std::min(kChunk, size - at);
    raptor_parser_parse_chunk(h.parser, reinterpret_cast<const unsigned char*>(text + at), n, 0);
    at += n;
  }
  if (!state.stopped) raptor_parser_parse_chunk(h.parser, nullptr, 0, 1);
  return state.stopped ? 1 : 0;
}
