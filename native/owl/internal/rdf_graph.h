#pragma once
// The RDF stage of the RDF/XML reader: a document parsed into a graph of interned
// terms and triples, indexed by subject.
#include <cstdint>
#include <expected>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <tsl/robin_map.h>

#include "owl/parse_error.h"

namespace kelmon::owl::rdf {

enum class TermKind : uint8_t { Iri, Blank, Literal };

// A term id: the index of the term in `Graph::terms`. Equal RDF terms share one id.
struct TermId {
  uint32_t v = kNone;
  static constexpr uint32_t kNone = UINT32_MAX;
  bool none() const { return v == kNone; }
  friend bool operator==(TermId, TermId) = default;
};

struct Term {
  TermKind kind = TermKind::Iri;
  std::string_view text;      // the IRI, the blank node id (without "_:") or the lexical form
  std::string_view language;  // literals with a language tag only
  TermId datatype;            // typed literals only
};

struct Triple {
  TermId s, p, o;
};

class Graph {
 public:
  Graph();
  Graph(const Graph&) = delete;
  Graph& operator=(const Graph&) = delete;
  Graph(Graph&&) = default;
  Graph& operator=(Graph&&) = default;

  TermId iri(std::string_view text);
  TermId blank(std::string_view id);
  TermId literal(std::string_view lexical, std::string_view language, TermId datatype);
  // The id of an IRI already in the graph, or none.
  TermId find_iri(std::string_view text) const;
  void add(TermId s, TermId p, TermId o) { triples_.push_back(Triple{s, p, o}); }

  // Sorts the triples by subject (stable within a subject) and builds the subject
  // index; call once, after the last `add`.
  void index();

  const Term& term(TermId t) const { return terms_[t.v]; }
  size_t term_count() const { return terms_.size(); }
  std::span<const Triple> triples() const { return triples_; }
  // The triples whose subject is s, in document order.
  std::span<const Triple> about(TermId s) const {
    if (s.v + 1 >= offsets_.size()) return {};
    return std::span<const Triple>(triples_).subspan(offsets_[s.v], offsets_[s.v + 1] - offsets_[s.v]);
  }

 private:
  std::string_view store(std::string_view text);
  TermId intern(TermKind kind, std::string_view key, const Term& proto);

  struct ViewHash {
    size_t operator()(std::string_view v) const noexcept;
  };
  // Keys are the term's text behind a one-byte kind tag (and, for literals, its
  // language or datatype), so the three kinds never collide.
  tsl::robin_map<std::string_view, uint32_t, ViewHash> ids_;
  std::vector<Term> terms_;
  std::vector<Triple> triples_;
  std::vector<uint32_t> offsets_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_used_ = 0;
  size_t block_size_ = 0;
  std::string key_;
};

// Parses an RDF/XML document into a graph. External entities, DTDs and network or
// file access are never loaded; any XML or RDF/XML error fails the whole parse.
std::expected<Graph, ParseError> parse_rdf_xml_graph(std::string_view text);

}  // namespace kelmon::owl::rdf
