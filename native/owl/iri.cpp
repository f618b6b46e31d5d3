#include "owl/iri.h"

namespace kelmon::owl {

namespace internal {
uint64_t hash_text(std::string_view text) {
  // FNV-1a folded with a final mix; only used for in-memory tables.
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : text) { h ^= c; h *= 1099511628211ULL; }
  h ^= h >> 29; h *= 0xbf58476d1ce4e5b9ULL; h ^= h >> 32;
  return h;
}
}  // namespace internal

Iri::Iri(std::string_view text) : rep_(new internal::IriRep) {
  rep_->text.assign(text);
  rep_->hash = internal::hash_text(text);
}

Iri IriTable::intern(std::string_view text) {
  auto it = map_.find(text);
  if (it != map_.end()) return it->second;
  Iri iri(text);
  // The key views the text owned by the Iri stored alongside it.
  std::string_view key = iri.str();
  map_.emplace(key, iri);
  return iri;
}

}  // namespace kelmon::owl
