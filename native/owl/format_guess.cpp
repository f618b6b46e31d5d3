#include "owl/format_guess.h"

namespace kelmon::owl {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void skip_blanks(std::string_view& s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
}

// Drops everything up to and including `end`; false when it never comes.
bool skip_past(std::string_view& s, std::string_view end) {
  const size_t at = s.find(end);
  if (at == std::string_view::npos) return false;
  s.remove_prefix(at + end.size());
  return true;
}

// The XML declaration, processing instructions, comments and a document type
// (with its internal subset) say nothing of which XML syntax follows.
void skip_xml_prolog(std::string_view& s) {
  for (;;) {
    skip_blanks(s);
    if (s.starts_with("<?")) {
      if (!skip_past(s, "?>")) return;
    } else if (s.starts_with("<!--")) {
      if (!skip_past(s, "-->")) return;
    } else if (s.starts_with("<!DOCTYPE")) {
      const size_t bracket = s.find('[');
      const size_t close = s.find('>');
      if (bracket != std::string_view::npos && bracket < close && !skip_past(s, "]")) return;
      if (!skip_past(s, ">")) return;
    } else {
      return;
    }
  }
}

// `word` followed by optional blanks and then `mark`.
bool keyword_then(std::string_view s, std::string_view word, char mark) {
  if (!s.starts_with(word)) return false;
  s.remove_prefix(word.size());
  skip_blanks(s);
  return !s.empty() && s.front() == mark;
}

// `<name` ending the tag name there.
bool start_tag(std::string_view s, std::string_view name) {
  if (!s.starts_with(name)) return false;
  s.remove_prefix(name.size());
  return !s.empty() && (blank(s.front()) || s.front() == '>' || s.front() == '/');
}

std::string_view syntax_name(DocumentFormat f) {
  switch (f) {
    case DocumentFormat::Functional: return "OWL functional syntax";
    case DocumentFormat::OwlXml: return "OWL/XML";
    case DocumentFormat::RdfXml: return "RDF/XML";
    case DocumentFormat::Manchester: return "Manchester syntax";
  }
  return "";
}

std::string_view format_name(DocumentFormat f) {
  switch (f) {
    case DocumentFormat::Functional: return "ofn";
    case DocumentFormat::OwlXml: return "owx";
    case DocumentFormat::RdfXml: return "rdf-xml";
    case DocumentFormat::Manchester: return "omn";
  }
  return "";
}

}  // namespace

std::optional<DocumentFormat> format_by_look(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // byte order mark
  skip_xml_prolog(text);
  if (start_tag(text, "<Ontology")) return DocumentFormat::OwlXml;
  if (start_tag(text, "<rdf:RDF")) return DocumentFormat::RdfXml;
  if (keyword_then(text, "Prefix", '(') || keyword_then(text, "Ontology", '(')) return DocumentFormat::Functional;
  if (text.starts_with("Prefix:") || text.starts_with("Class:") || text.starts_with("Ontology:"))
    return DocumentFormat::Manchester;
  return std::nullopt;
}

std::string other_format_note(std::string_view text, DocumentFormat tried) {
  const auto seen = format_by_look(text);
  if (!seen || *seen == tried) return {};
  return " \u2014 the document looks like " + std::string(syntax_name(*seen)) + "; classify_bytes(data, format=\"" +
         std::string(format_name(*seen)) + "\") reads it";
}

}  // namespace kelmon::owl
