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

#include <tsl/robin_map.h>

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
  struct SeededStringHash {
    std::uint64_t seed = 0;
    std::size_t operator()(std::string_view s) const { return hash_bytes(s, seed); }
  };
  // Keys view the shared strings held by names_, which never move or die
  // while any copy of the table holds them.
  std::vector<std::shared_ptr<const std::string>> names_;
  tsl::robin_map<std::string_view, std::uint32_t, SeededStringHash> index_;
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
