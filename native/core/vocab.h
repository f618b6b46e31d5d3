// Interned names: one namespace each for classes, roles and individuals.
// Ids are dense and given in order of first interning; that order is
// observable downstream, so callers intern in a fixed order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ids.h"
#include "common/seeded_hash.h"

namespace kelmon {

// The untyped table behind every Namespace: names by position plus a seeded index.
class NameTable {
 public:
  NameTable();

  std::uint32_t intern(std::string_view name);
  std::optional<std::uint32_t> find(std::string_view name) const;
  // Room for `n` names in all, so that interning up to them never rehashes.
  void reserve(std::size_t n);
  const std::shared_ptr<const std::string>& shared_name(std::uint32_t id) const;
  std::size_t size() const { return names_.size(); }
  const std::vector<std::shared_ptr<const std::string>>& names() const { return names_; }

 private:
  static constexpr std::uint64_t kEmptySlot = ~std::uint64_t{0};
  std::uint32_t short_hash(std::string_view name) const;
  // The slot holding the name, or the empty slot where it would go.
  std::size_t probe(std::string_view name, std::uint32_t hash) const;
  void grow_index(std::size_t at_least);

  std::vector<std::shared_ptr<const std::string>> names_;
  // Open addressing over ids, at most half full: each slot holds (32-bit hash
  // << 32 | id), and the name is compared only on a hash match. Eight bytes a
  // slot keep the index small, so a lookup seldom leaves the cache.
  std::vector<std::uint64_t> slots_;
  std::uint64_t seed_;
};

template <class Id>
struct NamespaceEntry {
  std::string_view name;  // the stored (shared) name
  Id id;
};

template <class Id>
class Namespace {
 public:
  // Returns the name's id, adding the name when it is new.
  Id intern(std::string_view name) { return Id{table_.intern(name)}; }
  void reserve(std::size_t n) { table_.reserve(n); }

  // Looks a name up without adding it.
  std::optional<NamespaceEntry<Id>> get(std::string_view name) const {
    auto id = table_.find(name);
    if (!id) return std::nullopt;
    return NamespaceEntry<Id>{*table_.shared_name(*id), Id{*id}};
  }

  // The name with this id; an id outside the namespace is an invariant failure.
  std::string_view name(Id id) const { return *table_.shared_name(id.v); }
  const std::shared_ptr<const std::string>& shared_name(Id id) const { return table_.shared_name(id.v); }

  // Number of names; ids run from 0 to size() - 1.
  std::size_t size() const { return table_.size(); }
  const std::vector<std::shared_ptr<const std::string>>& names() const { return table_.names(); }

 private:
  NameTable table_;
};

struct Vocabulary {
  Namespace<ClassId> classes;
  Namespace<RoleId> roles;
  Namespace<IndividualId> individuals;
};

}  // namespace kelmon
