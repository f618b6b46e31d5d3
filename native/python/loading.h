// Loading a document for a Python call: failures are raised as ParseError.
#pragma once

#include <optional>
#include <string>

#include "owl/load.h"
#include "python/py.h"

namespace kelmon::py {

// nullopt with ParseError set on failure.
std::optional<owl::LoadedOntology> load_or_raise(const std::string& path);
std::optional<owl::LoadedOntology> load_with_prefixes_or_raise(const std::string& path);
std::optional<owl::LoadedOntology> parse_bytes_or_raise(std::string_view data, std::string_view format);

}  // namespace kelmon::py
