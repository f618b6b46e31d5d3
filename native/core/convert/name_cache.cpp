#include "core/convert/name_cache.h"

#include <algorithm>

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
ConceptId intern_atomic(const owl::Iri& iri, InternalOntology& onto) {
  ClassId cls = intern_class(iri, onto);
  if (current == nullptr) return onto.concepts.intern(Atomic{cls});
  auto& known = current->atomic_of_class;
  if (cls.v < known.size() && known[cls.v] != ~std::uint32_t{0}) return ConceptId{known[cls.v]};
  ConceptId id = onto.concepts.intern(Atomic{cls});
  if (cls.v >= known.size()) known.resize(std::max<std::size_t>(cls.v + 1, known.size() * 2), ~std::uint32_t{0});
  known[cls.v] = id.v;
  return id;
}

RoleId intern_role(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::roles, onto.vocabulary.roles, iri);
}
IndividualId intern_individual(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::individuals, onto.vocabulary.individuals, iri);
}

}  // namespace kelmon
