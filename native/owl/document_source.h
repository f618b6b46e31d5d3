// Getting a document's text and format before any reader runs: reading the
// file, checking UTF-8, and choosing the format from a name or an extension.
// Failures are the user-facing message texts; the caller raises them.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

namespace kelmon::owl {

enum class DocumentFormat { Functional, OwlXml, RdfXml, Manchester };

// The whole file as UTF-8 text, or "read {path}: {reason}".
std::expected<std::string, std::string> read_document_file(const std::string& path);

// The format name for the path's extension ("ofn", "owx", "rdf-xml" or "omn"),
// or the no-extension / unknown-extension message.
std::expected<std::string, std::string> format_from_extension(std::string_view path);

// The reader a format name selects (exact, case-sensitive), or nullopt.
std::optional<DocumentFormat> format_by_name(std::string_view name);
std::string unknown_format_message(std::string_view name);

// nullopt when `data` is valid UTF-8; otherwise the error text
// ("invalid utf-8 sequence of {n} bytes from index {i}" or
// "incomplete utf-8 byte sequence from index {i}").
std::optional<std::string> utf8_error(std::string_view data);

}  // namespace kelmon::owl
