#include "core/vocab.h"

#include <limits>

#include "common/invariant.h"

namespace kelmon {

NameTable::NameTable() : index_(0, SeededStringHash{fresh_hash_seed()}) {}

std::uint32_t NameTable::intern(std::string_view name) {
  if (auto it = index_.find(name); it != index_.end()) return it->second;
  invariant(names_.size() <= std::numeric_limits<std::uint32_t>::max(), "Vocabulary: namespace exceeds u32::MAX");
  auto stored = std::make_shared<const std::string>(name);
  auto id = static_cast<std::uint32_t>(names_.size());
  names_.push_back(stored);
  index_.emplace(std::string_view(*stored), id);
  return id;
}

void NameTable::reserve(std::size_t n) {
  names_.reserve(n);
  index_.reserve(n);
}

std::optional<std::uint32_t> NameTable::find(std::string_view name) const {
  if (auto it = index_.find(name); it != index_.end()) return it->second;
  return std::nullopt;
}

const std::shared_ptr<const std::string>& NameTable::shared_name(std::uint32_t id) const {
  invariant(id < names_.size(), "Namespace: name id out of range");
  return names_[id];
}

}  // namespace kelmon
