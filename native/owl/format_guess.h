// What syntax a document's first words show, so that a document read in the
// wrong format (a functional-syntax file named .owl, say) can be named in the
// parse error together with the format that reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "owl/document_source.h"

namespace kelmon::owl {

// The syntax the first non-blank text shows (after an XML declaration,
// comments and a document type), or nullopt when it shows none.
std::optional<DocumentFormat> format_by_look(std::string_view text);

// The note a failed parse in `tried` adds when the text looks like another
// syntax: which one, and how to read it. Empty otherwise.
std::string other_format_note(std::string_view text, DocumentFormat tried);

}  // namespace kelmon::owl
