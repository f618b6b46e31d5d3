#include "core/convert/name_cache.h"

#include <algorithm>

namespace kelmon {

namespace {

thread_local NameCache* current = nullptr;

NameCache::Slot* current_slot(const owl::Iri& iri) { return current == nullptr ? nullptr : current->slot(iri); }

template <class Id>
Id cached(std::uint32_t NameCache::Slot::*field, Namespace<Id>& ns, const owl::Iri& iri) {
  NameCache::Slot* s = current_slot(iri);
  if (s == nullptr) return ns.intern(iri.str());
  if (s->*field == NameCache::kNone) s->*field = ns.intern(iri.str()).v;
  return Id{s->*field};
}

}  // namespace

NameCache::Slot* NameCache::slot(const owl::Iri& iri) {
  const void* identity = iri.identity();
  if (identity == nullptr) return nullptr;
  const std::uint32_t index = iri.table_index();
  if (index < index_limit_) {
    if (index >= by_index_.size())
      by_index_.resize(std::min(index_limit_, std::max<std::size_t>(index + 1, by_index_.size() * 2)));
    Slot& s = by_index_[index];
    if (s.iri == identity) return &s;
    if (s.iri == nullptr) {
      s.iri = identity;
      return &s;
    }
  }
  Slot& s = by_identity_[identity];
  s.iri = identity;
  return &s;
}

NameCacheScope::NameCacheScope(NameCache& cache) : previous_(current) { current = &cache; }
NameCacheScope::~NameCacheScope() { current = previous_; }

ClassId intern_class(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::Slot::cls, onto.vocabulary.classes, iri);
}

ConceptId intern_atomic(const owl::Iri& iri, InternalOntology& onto) {
  NameCache::Slot* s = current_slot(iri);
  if (s == nullptr) return onto.concepts.intern(Atomic{onto.vocabulary.classes.intern(iri.str())});
  if (s->atomic != NameCache::kNone) return ConceptId{s->atomic};
  if (s->cls == NameCache::kNone) s->cls = onto.vocabulary.classes.intern(iri.str()).v;
  s->atomic = onto.concepts.intern(Atomic{ClassId{s->cls}}).v;
  return ConceptId{s->atomic};
}

RoleId intern_role(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::Slot::role, onto.vocabulary.roles, iri);
}
IndividualId intern_individual(const owl::Iri& iri, InternalOntology& onto) {
  return cached(&NameCache::Slot::individual, onto.vocabulary.individuals, iri);
}

}  // namespace kelmon
