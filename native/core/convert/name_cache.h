// Ids of the loaded model's IRIs during one conversion. A reader stores each
// distinct IRI once and numbers it (its table index), so most lookups are one
// read of a flat table instead of hashing the text on every use. Active only
// inside a NameCacheScope; elsewhere lookups go straight to the namespaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <tsl/robin_map.h>

#include "core/ir.h"
#include "owl/iri.h"

namespace kelmon {

class NameCache {
 public:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  // What one IRI stands for so far; kNone until interned.
  struct Slot {
    const void* iri = nullptr;  // the IRI's identity: a table index of another table is another IRI
    std::uint32_t cls = kNone, atomic = kNone, role = kNone, individual = kNone;
  };

  // Table indices from `index_limit` on are looked up by identity instead, so a
  // few IRIs of a huge table cost no huge flat table.
  explicit NameCache(std::size_t index_limit) : index_limit_(index_limit) {}

  // The IRI's slot (valid until the next call), or nullptr for an IRI without text storage.
  Slot* slot(const owl::Iri& iri);

 private:
  std::size_t index_limit_;
  std::vector<Slot> by_index_;
  tsl::robin_map<const void*, Slot> by_identity_;
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
