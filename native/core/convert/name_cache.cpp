#include "core/convert/name_cache.h"

namespace kelmon {

namespace {

thread_local NameCache* current = nullptr;

template <class Id>
Id cached(tsl::robin_map<const char*, std::uint32_t> NameCache::*table, Namespace<Id>& ns, const owl::Iri& iri) {
  std::string_view text = iri.str();
  if (current == nullptr || text.data() == nullptr) return ns.intern(text);
  auto& map = current->*table;
  auto it = map.find(text.data());
  if (it != map.end()) return Id{it->second};
  Id id = ns.intern(text);
  map.emplace(text.data(), id.v);
  return id;
}

}  // namespace

NameCacheScope::NameCacheScope(NameCache& cache) : previous_(current) { current = &cache; }
NameCacheScope::~NameCacheScope() { current = previous_; }

ClassId intern_class(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::classes, onto.vocabulary.classes, iri);
}
RoleId intern_role(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::roles, onto.vocabulary.roles, iri);
}
IndividualId intern_individual(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::individuals, onto.vocabulary.individuals, iri);
}

}  // namespace kelmon
