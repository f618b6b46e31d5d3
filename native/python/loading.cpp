#include "python/loading.h"

#include "python/errors.h"

namespace kelmon::py {

namespace {
std::optional<owl::LoadedOntology> or_raise(owl::LoadResult loaded) {
  if (!loaded) {
    raise_parse_error(loaded.error());
    return std::nullopt;
  }
  return std::move(*loaded);
}
}  // namespace

std::optional<owl::LoadedOntology> load_or_raise(const std::string& path) { return or_raise(owl::load_ontology(path)); }

std::optional<owl::LoadedOntology> load_with_prefixes_or_raise(const std::string& path) {
  return or_raise(owl::load_ontology_with_prefixes(path));
}

std::optional<owl::LoadedOntology> parse_bytes_or_raise(std::string_view data, std::string_view format) {
  return or_raise(owl::parse_ontology_bytes(data, format));
}

}  // namespace kelmon::py
