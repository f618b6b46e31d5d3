#include "owl/iri.h"

#include <cstring>
#include <new>

namespace kelmon::owl {

namespace internal {
uint64_t hash_text(std::string_view text) {
  // Eight bytes at a time with a multiply-xorshift mix; only used for in-memory tables.
  constexpr uint64_t kMul = 0x9E3779B97F4A7C15ULL;
  uint64_t h = text.size() * kMul;
  const char* p = text.data();
  size_t n = text.size();
  while (n >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * kMul;
    h ^= h >> 32;
    p += 8;
    n -= 8;
  }
  if (n > 0) {
    uint64_t w = 0;
    std::memcpy(&w, p, n);
    h = (h ^ w) * kMul;
  }
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 32;
  return h;
}
}  // namespace internal

namespace internal {
IriRep* IriRep::create(std::string_view text) {
  void* mem = ::operator new(sizeof(IriRep) + text.size());
  auto* rep = new (mem) IriRep{{1}, static_cast<uint32_t>(text.size()), hash_text(text), Iri::kNoTableIndex};
  std::memcpy(rep->text(), text.data(), text.size());
  return rep;
}
void IriRep::destroy(IriRep* rep) noexcept {
  rep->~IriRep();
  ::operator delete(rep);
}
}  // namespace internal

Iri::Iri(std::string_view text) : rep_(internal::IriRep::create(text)) {}

Iri IriTable::intern(std::string_view text) {
  auto it = map_.find(text);
  if (it != map_.end()) return it->second;
  Iri iri = numbered(text);
  // The key views the text owned by the Iri stored alongside it.
  std::string_view key = iri.str();
  map_.emplace(key, iri);
  return iri;
}

Iri IriTable::numbered(std::string_view text) {
  Iri iri(text);
  if (next_index_ != Iri::kNoTableIndex) iri.rep_->table_index = next_index_++;
  return iri;
}

}  // namespace kelmon::owl
