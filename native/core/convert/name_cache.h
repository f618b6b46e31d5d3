// Ids of the loaded model's IRIs during one conversion. A reader stores each
// distinct IRI once, so the text's address identifies it and a lookup by
// address saves hashing the text on every use. Active only inside a
// NameCacheScope; elsewhere lookups go straight to the namespaces.
#pragma once

#include <string_view>
#include <vector>

#include <tsl/robin_map.h>

#include "core/ir.h"
#include "owl/iri.h"

namespace kelmon {

struct NameCache {
  tsl::robin_map<const char*, std::uint32_t> classes, roles, individuals;
  std::vector<std::uint32_t> atomic_of_class;  // ConceptId of Atomic(class id), or ~0 when not yet known
};

// Makes `cache` the current thread's cache until the scope ends.
class NameCacheScope {
 public:
  explicit NameCacheScope(NameCache& cache);
  ~NameCacheScope();
  NameCacheScope(const NameCacheScope&) = delete;
  NameCacheScope& operator=(const NameCacheScope&) = delete;

 private:
  NameCache* previous_;
};

ClassId intern_class(const owl::Iri& iri, InternalOntology& onto);
// The pooled Atomic concept of the class (interned on first use).
ConceptId intern_atomic(const owl::Iri& iri, InternalOntology& onto);
RoleId intern_role(const owl::Iri& iri, InternalOntology& onto);
IndividualId intern_individual(const owl::Iri& iri, InternalOntology& onto);

}  // namespace kelmon
